#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace kv::test {

// What a simulated unit gets wrong on purpose. The packet faults apply to the
// block packet that arrives as number `packet` (counted from 0 over every
// block packet received, resends included) and to the ones after it as far
// as their counts reach.
struct UnitFaults {
    bool silent = false;
    bool wrongHandshake = false;
    // The handshake reply goes out in two halves this many ms apart.
    int splitReplyGapMs = -1;
    int packet = -1;
    int lostAcks = 0;
    int corruptedPackets = 0;
    bool oneByteAck = false;
    // The acknowledgement of `packet` goes out twice.
    bool duplicatedAck = false;
    // Bytes the line makes up strayDelayMs after the answer to `packet`. When
    // that is past the moment the program sends its next packet, they arrive
    // ahead of the answer to that packet.
    std::vector<std::uint8_t> strayBytes{};
    int strayDelayMs = 0;
    // From `packet` on nothing is answered: the cable is pulled.
    bool silentFromPacket = false;
    // At `packet` the device disappears from the system.
    bool vanishAtPacket = false;
    // This packet, counted as `packet` is, is answered 8F 00 and not stored.
    int refusedPacket = -1;
};

// The HMQ27's side of the programming protocol: it answers the handshake,
// acknowledges begin, end and every block packet whose check byte is right,
// and stores those blocks in a 24LC64 that starts out blank (0xFF). A block
// it refuses it answers with 8F 00 and does not store.
class Hmq27Firmware {
public:
    static constexpr std::size_t kEepromSize = 8192;

    struct Reply {
        int delayMs;
        std::vector<std::uint8_t> bytes;
    };

    explicit Hmq27Firmware(const UnitFaults& faults = {});

    // Takes bytes as they come off the line, in any split, and returns what
    // the unit sends back, each part after its delay.
    std::vector<Reply> Receive(std::span<const std::uint8_t> bytes);

    // Whether the device has gone (vanishAtPacket reached).
    bool Vanished() const { return vanished_; }

    // The EEPROM, and which of its bytes a block packet ever wrote.
    std::vector<std::uint8_t> eeprom;
    std::vector<bool> written;
    // Every command byte received in order (0x80 ... 0x83), and the block
    // number of every block packet, resends included.
    std::vector<std::uint8_t> commands;
    std::vector<int> blockNumbers;

private:
    bool TakeMessage(std::vector<Reply>& replies);
    void TakeBlockPacket(std::size_t length, std::vector<Reply>& replies);
    void AcknowledgeBlock(int packetNumber, std::vector<Reply>& replies) const;
    void AnswerHandshake(std::vector<Reply>& replies) const;
    void Answer(std::vector<Reply>& replies, Reply reply) const;
    bool Affects(int count, int packetNumber) const;

    UnitFaults faults_;
    std::vector<std::uint8_t> pending_;
    int packetsReceived_ = 0;
    bool pulled_ = false;
    bool vanished_ = false;
};

} // namespace kv::test
