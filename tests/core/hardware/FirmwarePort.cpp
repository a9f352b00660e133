#include "FirmwarePort.h"

#include <algorithm>
#include <thread>

namespace kv::test {

bool FirmwarePort::Opening() {
    ++calls;
    open_ = opens_;
    return open_;
}

bool FirmwarePort::Open(int portNumber) {
    openedNumber = portNumber;
    return Opening();
}

bool FirmwarePort::OpenByName(const std::string& name) {
    openedName = name;
    return Opening();
}

void FirmwarePort::Configure(int newBaud, Parity, int, StopBits) {
    ++calls;
    baud = newBaud;
}

std::size_t FirmwarePort::Read(std::span<std::uint8_t> buffer, int timeoutMs) {
    ++calls;
    ++reads;
    if (!open_) {
        return 0;
    }
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    const bool complete =
        incoming_.size() >= buffer.size() && incoming_[buffer.size() - 1].due <= deadline;
    std::this_thread::sleep_until(complete ? incoming_[buffer.size() - 1].due : deadline);
    std::size_t received = 0;
    while (received < buffer.size() && !incoming_.empty() && incoming_.front().due <= deadline) {
        buffer[received++] = incoming_.front().byte;
        incoming_.pop_front();
    }
    return received;
}

std::size_t FirmwarePort::Write(std::span<const std::uint8_t> data) {
    ++calls;
    if (!open_) {
        return 0;
    }
    const auto delivered = data.first(std::min(data.size(), writeLimit));
    sent.insert(sent.end(), delivered.begin(), delivered.end());
    Clock::time_point due = Clock::now();
    for (const auto& reply : firmware.Receive(delivered)) {
        due += std::chrono::milliseconds(reply.delayMs);
        for (const std::uint8_t byte : reply.bytes) {
            incoming_.push_back({due, byte});
        }
    }
    return delivered.size();
}

bool FirmwarePort::Purge() {
    ++calls;
    ++purges;
    const Clock::time_point now = Clock::now();
    std::erase_if(incoming_, [now](const Arrival& arrival) { return arrival.due <= now; });
    return open_;
}

void FirmwarePort::Arrive(std::span<const std::uint8_t> bytes) {
    for (const std::uint8_t byte : bytes) {
        incoming_.push_back({Clock::now(), byte});
    }
}

} // namespace kv::test
