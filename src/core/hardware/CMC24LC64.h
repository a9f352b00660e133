#pragma once

#include "hardware/ISerialPort.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace kv {

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
    // How long the line must stay quiet after a block's acknowledgement for
    // the acknowledgement to count: anything more (a second acknowledgement,
    // noise) leaves open which packet it answered. One latency period of a
    // USB serial adapter.
    int ackSettleMs = 20;
    int restartPauseMs = 40;
};

// How a transfer ended.
enum class ProgramOutcome {
    Programmed,
    // Empty, or larger than the EEPROM: nothing was sent.
    ImageRefused,
    // No attempt got the handshake reply.
    NoUnit,
    // The unit answered the handshake but did not acknowledge the start.
    NotStarted,
    // A packet did not go out whole, or the device went away.
    PortFailed,
    // A block was not acknowledged beyond doubt, resends included.
    BlockNotAcknowledged,
    // Every block was acknowledged, the end of the transfer was not.
    EndNotAcknowledged,
};

struct ProgramResult {
    ProgramOutcome outcome = ProgramOutcome::ImageRefused;
    // Block packets acknowledged, and all that the transfer sends: the blank
    // guard block and the image's blocks, resends not counted.
    int blocksAcknowledged = 0;
    int blocks = 0;

    bool Succeeded() const { return outcome == ProgramOutcome::Programmed; }
};

// The protocol by which the HMQ27's firmware stores blocks of the TAS3103
// image in its 24LC64 EEPROM, over a serial port that the caller owns.
class CMC24LC64 {
public:
    static constexpr int kConnectAttempts = 6;
    static constexpr int kMaxResends = 3;

    explicit CMC24LC64(ISerialPort& port, const MC24LC64Timing& timing = {});
    // Closes the port if it is still open.
    ~CMC24LC64();
    CMC24LC64(const CMC24LC64&) = delete;
    CMC24LC64& operator=(const CMC24LC64&) = delete;

    // Open the port and set it up for the unit; false when it did not open.
    bool Open(int portNumber);
    bool OpenByName(const std::string& name);
    void Close();

    // Stores the image from EEPROM address 0, its last block filled up with
    // 0xFF. Succeeds only when every block was acknowledged and so was the
    // end of the transfer; tells the user nothing. progress may be null.
    ProgramResult Program(std::span<const std::uint8_t> image, IProgressBar* progress);

    // The unit's check byte: the second of two running sums modulo 255.
    static std::uint8_t BlockChecksum(std::span<const std::uint8_t> data);

private:
    // The acknowledgement tests exercise on its own.
    friend struct CMC24LC64Probe;

    // Why a step of the transfer failed; empty when it succeeded.
    using Failure = std::optional<ProgramOutcome>;

    // One step per block written, plus headroom: 0..20 for a 2368-byte image.
    static void SetProgress(std::size_t size, IProgressBar* progress, int passes);
    bool Handshake();
    // True when the unit acknowledged within the deadline.
    bool WaitAck();
    bool BeginTransfer();
    Failure EndTransfer();
    Failure Connect();
    Failure WriteBlock(std::span<const std::uint8_t> data, std::size_t address);
    Failure NotAcknowledged(ProgramOutcome outcome) const;
    bool LineStaysQuiet();
    bool AfterOpen(bool opened);
    bool WriteWhole(std::span<const std::uint8_t> bytes);
    bool WriteByte(std::uint8_t byte);
    Failure WriteImageBlocks(std::span<const std::uint8_t> image, IProgressBar* progress,
                             int& acknowledged);
    static void Pause(int milliseconds);

    ISerialPort& port_;
    MC24LC64Timing timing_;
};

} // namespace kv
