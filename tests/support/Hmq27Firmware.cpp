#include "support/Hmq27Firmware.h"

namespace kv::test {
namespace {

constexpr std::uint8_t kHandshakeRequest = 0x80;
constexpr std::uint8_t kBeginTransfer = 0x81;
constexpr std::uint8_t kEndTransfer = 0x82;
constexpr std::uint8_t kBlockPacket = 0x83;
// Command, block number, length.
constexpr std::size_t kHeaderSize = 3;

// The unit's own check of a block, written from the protocol's definition
// rather than borrowed from the program under test.
std::uint8_t UnitCheckByte(const std::vector<std::uint8_t>& data) {
    unsigned sum = 0;
    unsigned sumOfSums = 0;
    for (const std::uint8_t byte : data) {
        sum = (sum + byte) % 255;
        sumOfSums = (sumOfSums + sum) % 255;
    }
    return static_cast<std::uint8_t>(sumOfSums);
}

} // namespace

Hmq27Firmware::Hmq27Firmware(const UnitFaults& faults)
    : eeprom(kEepromSize, 0xFF), written(kEepromSize, false), faults_(faults) {}

std::vector<Hmq27Firmware::Reply> Hmq27Firmware::Receive(std::span<const std::uint8_t> bytes) {
    pending_.insert(pending_.end(), bytes.begin(), bytes.end());
    std::vector<Reply> replies;
    while (!pending_.empty() && !vanished_ && TakeMessage(replies)) {
    }
    return replies;
}

bool Hmq27Firmware::TakeMessage(std::vector<Reply>& replies) {
    const std::uint8_t command = pending_.front();
    if (command == kBlockPacket) {
        if (pending_.size() < kHeaderSize) {
            return false;
        }
        const std::size_t length = pending_[2];
        const std::size_t packetSize = kHeaderSize + length + 1;
        if (pending_.size() < packetSize) {
            return false;
        }
        commands.push_back(command);
        TakeBlockPacket(length, replies);
        pending_.erase(pending_.begin(), pending_.begin() + static_cast<long>(packetSize));
        return true;
    }
    pending_.erase(pending_.begin());
    commands.push_back(command);
    if (command == kHandshakeRequest) {
        AnswerHandshake(replies);
    } else if (command == kBeginTransfer || command == kEndTransfer) {
        Answer(replies, {0, {0x8F, 0x01}});
    }
    return true;
}

void Hmq27Firmware::TakeBlockPacket(std::size_t length, std::vector<Reply>& replies) {
    const int packetNumber = packetsReceived_++;
    const std::size_t blockNumber = pending_[1];
    blockNumbers.push_back(static_cast<int>(blockNumber));
    if (faults_.vanishAtPacket && packetNumber == faults_.packet) {
        vanished_ = true;
        return;
    }
    if (faults_.silentFromPacket && packetNumber == faults_.packet) {
        pulled_ = true;
    }
    const auto dataBegin = pending_.begin() + static_cast<long>(kHeaderSize);
    std::vector<std::uint8_t> data(dataBegin, dataBegin + static_cast<long>(length));
    if (Affects(faults_.corruptedPackets, packetNumber) && !data.empty()) {
        data.front() ^= 0x01;
    }
    if (UnitCheckByte(data) != pending_[kHeaderSize + length]) {
        return;
    }
    if (packetNumber == faults_.refusedPacket) {
        Answer(replies, {0, {0x8F, 0x00}});
        return;
    }
    const std::size_t address = blockNumber * length;
    for (std::size_t i = 0; i < length && address + i < kEepromSize; ++i) {
        eeprom[address + i] = data[i];
        written[address + i] = true;
    }
    if (!Affects(faults_.lostAcks, packetNumber)) {
        AcknowledgeBlock(packetNumber, replies);
    }
}

void Hmq27Firmware::AcknowledgeBlock(int packetNumber, std::vector<Reply>& replies) const {
    std::vector<std::uint8_t> ack{0x8F, 0x01};
    if (packetNumber != faults_.packet) {
        Answer(replies, {0, ack});
        return;
    }
    if (faults_.oneByteAck) {
        ack.pop_back();
    }
    Answer(replies, {0, ack});
    if (faults_.duplicatedAck) {
        Answer(replies, {0, ack});
    }
    if (!faults_.strayBytes.empty()) {
        Answer(replies, {faults_.strayDelayMs, faults_.strayBytes});
    }
}

void Hmq27Firmware::AnswerHandshake(std::vector<Reply>& replies) const {
    const std::uint8_t last = faults_.wrongHandshake ? 0x00 : 0x01;
    if (faults_.splitReplyGapMs < 0) {
        Answer(replies, {0, {0xF0, 0x25, 0x1E, last}});
        return;
    }
    Answer(replies, {0, {0xF0, 0x25}});
    Answer(replies, {faults_.splitReplyGapMs, {0x1E, last}});
}

void Hmq27Firmware::Answer(std::vector<Reply>& replies, Reply reply) const {
    if (!faults_.silent && !pulled_) {
        replies.push_back(std::move(reply));
    }
}

bool Hmq27Firmware::Affects(int count, int packetNumber) const {
    return faults_.packet >= 0 && packetNumber >= faults_.packet &&
           packetNumber < faults_.packet + count;
}

} // namespace kv::test
