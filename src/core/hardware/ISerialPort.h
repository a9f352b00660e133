#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace kv {

enum class Parity { None, Odd, Even, Mark, Space };
enum class StopBits { One, OneAndHalf, Two };

// One serial port as the programming protocol needs it: blocking reads with
// a total time-out, whole writes, and purge. A port whose device goes away
// while open closes itself, so that callers waiting for an answer can stop at
// once instead of running out their time-outs.
class ISerialPort {
public:
    virtual ~ISerialPort() = default;

    // Opens port n: COMn on Windows, elsewhere the n-th serial port the system
    // lists (sorted by name). False when n names no port or a port is open.
    virtual bool Open(int portNumber) = 0;
    // Opens a port by its system name ("COM3", "/dev/ttyUSB0").
    virtual bool OpenByName(const std::string& name) = 0;
    virtual bool IsOpen() const = 0;
    // Why the last Open or OpenByName failed, for the user: the device, the
    // system's reason and what to do; empty when it did not fail or there is
    // nothing to add.
    virtual std::string WhyNotOpen() const = 0;

    // Line settings, no flow control of any kind, DTR and RTS held inactive.
    // Does nothing when closed.
    virtual void Configure(int baud, Parity parity, int byteSize, StopBits stopBits) = 0;

    // Waits until buffer.size() bytes have arrived or timeoutMs has passed
    // since the call, and returns how many bytes it stored: all of them, fewer
    // at the time-out, 0 when nothing came, the port is closed or it failed.
    // Bytes that trickle in over the time-out are collected into one read.
    virtual std::size_t Read(std::span<std::uint8_t> buffer, int timeoutMs) = 0;
    // Sends the bytes and returns how many went out; fewer than asked means
    // the write failed, and the unsent rest is dropped, never sent later.
    virtual std::size_t Write(std::span<const std::uint8_t> data) = 0;
    // Discards everything unread and unsent in both directions; false when
    // closed.
    virtual bool Purge() = 0;
    virtual void Close() = 0;
};

} // namespace kv
