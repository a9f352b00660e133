#pragma once

#include "hardware/ISerialPort.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace kv {

class IMessageBox;
class IProgressBar;

// The waits of the programming protocol, in milliseconds. The defaults are
// the unit's; tests shorten them to keep fault runs quick.
struct MC24LC64Timing {
    int handshakePauseMs = 50;
    int handshakeReadMs = 100;
    int handshakeRereads = 8;
    int ackReadMs = 500;
    int ackPauseMs = 10;
    int ackRereads = 1000;
    // The unit acknowledges within milliseconds; past this a missing
    // acknowledgement is a pulled cable or a dead unit, not a slow one.
    int ackDeadlineMs = 10000;
    int restartPauseMs = 40;
};

// The protocol by which the HMQ27's firmware stores blocks of the TAS3103
// image in its 24LC64 EEPROM, over a serial port that the caller owns.
class CMC24LC64 {
public:
    static constexpr int kBaud = 38400;
    static constexpr std::size_t kEepromSize = 8192;
    static constexpr std::size_t kBlockLength = 128;
    // Written first, blank, so that a transfer that breaks off leaves an
    // image the unit does not boot from.
    static constexpr std::size_t kGuardBlockAddress = 2304;
    static constexpr int kConnectAttempts = 6;
    static constexpr int kMaxResends = 3;
    static constexpr std::uint8_t kHandshakeRequest = 0x80;
    static constexpr std::uint8_t kBeginTransfer = 0x81;
    static constexpr std::uint8_t kEndTransfer = 0x82;
    static constexpr std::uint8_t kBlockPacket = 0x83;
    static constexpr std::array<std::uint8_t, 4> kHandshakeReply{0xF0, 0x25, 0x1E, 0x01};
    static constexpr std::array<std::uint8_t, 2> kAck{0x8F, 0x01};
    static constexpr const char* kNoUnitMessage = "There is no HMQ27 connected to the COM port ! ";

    CMC24LC64(ISerialPort& port, IMessageBox& messages, const MC24LC64Timing& timing = {});
    // Closes the port if it is still open.
    virtual ~CMC24LC64();
    CMC24LC64(const CMC24LC64&) = delete;
    CMC24LC64& operator=(const CMC24LC64&) = delete;

    // Open the port and set it up for the unit; false when it did not open.
    bool Open(int portNumber);
    bool OpenByName(const std::string& name);
    void Close();

    // Stores the image from EEPROM address 0, its last block filled up with
    // 0xFF. True only when every block was acknowledged and so was the end of
    // the transfer. progress may be null.
    bool Program(std::span<const std::uint8_t> image, IProgressBar* progress);
    // One step per block written, plus headroom: 0..20 for a 2368-byte image.
    static void SetProgress(std::size_t size, IProgressBar* progress, int passes);

    // The unit's check byte: the second of two running sums modulo 255.
    static std::uint8_t BlockChecksum(std::span<const std::uint8_t> data);

    bool Handshake();
    bool WaitAck();
    bool BeginTransfer();
    bool EndTransfer();
    bool Connect();
    bool WriteBlock(std::span<const std::uint8_t> data, std::size_t address);

private:
    bool AfterOpen(bool opened);
    bool WriteWhole(std::span<const std::uint8_t> bytes);
    bool WriteByte(std::uint8_t byte);
    bool WriteImageBlocks(std::span<const std::uint8_t> image, IProgressBar* progress);
    static void Pause(int milliseconds);

    ISerialPort& port_;
    IMessageBox& messages_;
    MC24LC64Timing timing_;
};

} // namespace kv
