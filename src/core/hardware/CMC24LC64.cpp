#include "hardware/CMC24LC64.h"

#include "ui/IProgressBar.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <thread>
#include <vector>

namespace kv {
namespace {

using Clock = std::chrono::steady_clock;

constexpr int kBaud = 38400;
constexpr std::size_t kEepromSize = 8192;
constexpr std::size_t kBlockLength = 128;
// Written first, blank, so that a transfer that breaks off leaves an
// image the unit does not boot from.
constexpr std::size_t kGuardBlockAddress = 2304;
constexpr std::uint8_t kHandshakeRequest = 0x80;
constexpr std::uint8_t kBeginTransfer = 0x81;
constexpr std::uint8_t kEndTransfer = 0x82;
constexpr std::uint8_t kBlockPacket = 0x83;
constexpr std::array<std::uint8_t, 4> kHandshakeReply{0xF0, 0x25, 0x1E, 0x01};
constexpr std::array<std::uint8_t, 2> kAck{0x8F, 0x01};
constexpr std::uint8_t kBlankByte = 0xFF;
// The packet carries the length in one byte.
static_assert(kBlockLength <= 255);

int MillisecondsUntil(Clock::time_point deadline) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return static_cast<int>(std::max<decltype(left)>(left, 0));
}

// The blank guard block and the image's blocks.
int BlocksOfTransfer(std::size_t imageSize) {
    return static_cast<int>(1 + (imageSize + kBlockLength - 1) / kBlockLength);
}

void StepProgress(IProgressBar* progress) {
    if (progress != nullptr) {
        progress->Step();
    }
}

// The packet that asks the unit to store one block at an EEPROM address.
std::vector<std::uint8_t> BlockPacket(std::span<const std::uint8_t> block, std::size_t address) {
    std::vector<std::uint8_t> packet;
    packet.reserve(block.size() + 4);
    packet.push_back(kBlockPacket);
    packet.push_back(static_cast<std::uint8_t>(address / block.size()));
    packet.push_back(static_cast<std::uint8_t>(block.size()));
    packet.insert(packet.end(), block.begin(), block.end());
    packet.push_back(CMC24LC64::BlockChecksum(block));
    return packet;
}

} // namespace

CMC24LC64::CMC24LC64(ISerialPort& port, const MC24LC64Timing& timing)
    : port_(port), timing_(timing) {}

CMC24LC64::~CMC24LC64() {
    Close();
}

bool CMC24LC64::Open(int portNumber) {
    return AfterOpen(port_.Open(portNumber));
}

bool CMC24LC64::OpenByName(const std::string& name) {
    return AfterOpen(port_.OpenByName(name));
}

bool CMC24LC64::AfterOpen(bool opened) {
    if (opened) {
        port_.Configure(kBaud, Parity::None, 8, StopBits::One);
        port_.Purge();
    }
    return opened;
}

void CMC24LC64::Close() {
    if (port_.IsOpen()) {
        port_.Close();
    }
}

void CMC24LC64::SetProgress(std::size_t size, IProgressBar* progress, int passes) {
    if (progress == nullptr) {
        return;
    }
    const auto steps = size * static_cast<std::size_t>(passes) / kBlockLength;
    progress->SetRange(0, static_cast<int>(steps) + 2);
    progress->SetPosition(0);
}

std::uint8_t CMC24LC64::BlockChecksum(std::span<const std::uint8_t> data) {
    unsigned s1 = 0;
    unsigned s2 = 0;
    for (const std::uint8_t byte : data) {
        s1 = (s1 + byte) % 255;
        s2 = (s2 + s1) % 255;
    }
    return static_cast<std::uint8_t>(s2);
}

void CMC24LC64::Pause(int milliseconds) {
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

// A packet that went out only in part would leave the unit waiting for the
// rest, so anything short of the whole packet is a failed write.
bool CMC24LC64::WriteWhole(std::span<const std::uint8_t> bytes) {
    return port_.Write(bytes) == bytes.size();
}

bool CMC24LC64::WriteByte(std::uint8_t byte) {
    return WriteWhole(std::span(&byte, 1));
}

bool CMC24LC64::Handshake() {
    if (!WriteByte(kHandshakeRequest)) {
        return false;
    }
    std::array<std::uint8_t, 4> reply{};
    std::size_t received = 0;
    for (int read = 0; read <= timing_.handshakeRereads && received != reply.size(); ++read) {
        if (!port_.IsOpen()) {
            return false;
        }
        Pause(timing_.handshakePauseMs);
        received = port_.Read(reply, timing_.handshakeReadMs);
    }
    return received == reply.size() && reply == kHandshakeReply;
}

bool CMC24LC64::WaitAck() {
    const auto deadline = Clock::now() + std::chrono::milliseconds(timing_.ackDeadlineMs);
    std::array<std::uint8_t, 2> reply{};
    std::size_t received = port_.Read(reply, std::min(timing_.ackReadMs, timing_.ackDeadlineMs));
    for (int reread = 0; received == 0 && reread < timing_.ackRereads; ++reread) {
        if (!port_.IsOpen()) {
            return false;
        }
        Pause(timing_.ackPauseMs);
        const int left = MillisecondsUntil(deadline);
        if (left == 0) {
            return false;
        }
        received = port_.Read(reply, std::min(timing_.ackReadMs, left));
    }
    return received == reply.size() && reply == kAck;
}

bool CMC24LC64::BeginTransfer() {
    return WriteByte(kBeginTransfer) && WaitAck();
}

CMC24LC64::Failure CMC24LC64::EndTransfer() {
    Pause(timing_.restartPauseMs);
    port_.Purge();
    if (!WriteByte(kEndTransfer)) {
        return ProgramOutcome::PortFailed;
    }
    return WaitAck() ? Failure{} : NotAcknowledged(ProgramOutcome::EndNotAcknowledged);
}

CMC24LC64::Failure CMC24LC64::Connect() {
    bool handshook = false;
    for (int attempt = 0; attempt < kConnectAttempts; ++attempt) {
        if (handshook) {
            Pause(timing_.restartPauseMs);
            port_.Purge();
        }
        handshook = Handshake();
        if (handshook && BeginTransfer()) {
            return {};
        }
    }
    return handshook ? ProgramOutcome::NotStarted : ProgramOutcome::NoUnit;
}

CMC24LC64::Failure CMC24LC64::WriteBlock(std::span<const std::uint8_t> data, std::size_t address) {
    const std::vector<std::uint8_t> packet = BlockPacket(data, address);
    for (int resends = 0; resends <= kMaxResends && port_.IsOpen(); ++resends) {
        // Whatever is in the input now answers no packet of ours; left there
        // it would be read as the answer to this one. Storing a block twice
        // does no harm, taking another packet's answer for this one's does.
        port_.Purge();
        if (!WriteWhole(packet)) {
            return ProgramOutcome::PortFailed;
        }
        if (WaitAck() && LineStaysQuiet()) {
            return {};
        }
    }
    return NotAcknowledged(ProgramOutcome::BlockNotAcknowledged);
}

// A port that closed itself while the program waited had lost its device.
CMC24LC64::Failure CMC24LC64::NotAcknowledged(ProgramOutcome outcome) const {
    return port_.IsOpen() ? outcome : ProgramOutcome::PortFailed;
}

bool CMC24LC64::LineStaysQuiet() {
    std::array<std::uint8_t, 1> extra{};
    return port_.Read(extra, timing_.ackSettleMs) == 0;
}

CMC24LC64::Failure CMC24LC64::WriteImageBlocks(std::span<const std::uint8_t> image,
                                               IProgressBar* progress, int& acknowledged) {
    const std::vector<std::uint8_t> blank(kBlockLength, kBlankByte);
    if (const Failure failure = WriteBlock(blank, kGuardBlockAddress)) {
        return failure;
    }
    ++acknowledged;
    StepProgress(progress);
    for (std::size_t address = 0; address < image.size(); address += kBlockLength) {
        std::vector<std::uint8_t> block(kBlockLength, kBlankByte);
        const auto part = image.subspan(address, std::min(kBlockLength, image.size() - address));
        std::copy(part.begin(), part.end(), block.begin());
        if (const Failure failure = WriteBlock(block, address)) {
            return failure;
        }
        ++acknowledged;
        StepProgress(progress);
    }
    return {};
}

ProgramResult CMC24LC64::Program(std::span<const std::uint8_t> image, IProgressBar* progress) {
    ProgramResult result;
    if (image.empty() || image.size() > kEepromSize) {
        return result;
    }
    result.blocks = BlocksOfTransfer(image.size());
    SetProgress(image.size(), progress, 1);
    if (const Failure failure = Connect()) {
        result.outcome = *failure;
        return result;
    }
    const Failure blocksFailure = WriteImageBlocks(image, progress, result.blocksAcknowledged);
    // Ended either way, so that the unit stops waiting for blocks.
    const Failure endFailure = EndTransfer();
    result.outcome = blocksFailure.value_or(endFailure.value_or(ProgramOutcome::Programmed));
    return result;
}

} // namespace kv
