#pragma once

#include "hardware/ISerialPort.h"
#include "support/Hmq27Firmware.h"

#include <chrono>
#include <cstdint>
#include <deque>
#include <string>

namespace kv::test {

// A serial port wired straight to a simulated unit's firmware, in memory:
// replies arrive on the real clock after their delays, and every call is
// counted so that tests can tell what the protocol did with the port.
class FirmwarePort : public ISerialPort {
public:
    explicit FirmwarePort(const UnitFaults& faults = {}, bool opens = true)
        : firmware(faults), opens_(opens) {}

    bool Open(int portNumber) override;
    bool OpenByName(const std::string& name) override;
    bool IsOpen() const override { return open_; }
    std::string WhyNotOpen() const override { return open_ ? std::string() : whyNotOpen; }
    void Configure(int baud, Parity parity, int byteSize, StopBits stopBits) override;
    std::size_t Read(std::span<std::uint8_t> buffer, int timeoutMs) override;
    std::size_t Write(std::span<const std::uint8_t> data) override;
    bool Purge() override;
    void Close() override { open_ = false; }

    // Bytes that are waiting in the input now, as if the unit had sent them.
    void Arrive(std::span<const std::uint8_t> bytes);
    // Whether anything at all was done with the port.
    bool Touched() const { return calls > 0; }

    Hmq27Firmware firmware;
    std::vector<std::uint8_t> sent;
    int calls = 0;
    int reads = 0;
    int purges = 0;
    int openedNumber = 0;
    std::string openedName;
    // What a port that does not open says of it.
    std::string whyNotOpen;
    int baud = 0;
    // Writes longer than this send only this many bytes.
    std::size_t writeLimit = SIZE_MAX;

private:
    using Clock = std::chrono::steady_clock;
    struct Arrival {
        Clock::time_point due;
        std::uint8_t byte;
    };

    bool Opening();

    bool opens_;
    bool open_ = false;
    std::deque<Arrival> incoming_;
};

} // namespace kv::test
