#include "support/PtyUnit.h"

#include <array>
#include <chrono>
#include <climits>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

namespace kv::test {
namespace {

constexpr int kPollMs = 10;

} // namespace

PtyUnit::PtyUnit(const UnitFaults& faults) : firmware_(faults) {
    std::array<char, PATH_MAX> name{};
    termios raw{};
    cfmakeraw(&raw);
    if (openpty(&controller_, &device_, name.data(), &raw, nullptr) != 0) {
        return;
    }
    deviceName_ = name.data();
    thread_ = std::thread([this] { Serve(); });
}

PtyUnit::~PtyUnit() {
    stopping_ = true;
    if (thread_.joinable()) {
        thread_.join();
    }
    CloseDevice();
}

Hmq27Firmware PtyUnit::Firmware() const {
    const std::lock_guard lock(mutex_);
    return firmware_;
}

void PtyUnit::Serve() {
    std::array<std::uint8_t, 4096> buffer{};
    while (!stopping_) {
        pollfd incoming{controller_, POLLIN, 0};
        if (poll(&incoming, 1, kPollMs) <= 0 || (incoming.revents & POLLIN) == 0) {
            continue;
        }
        const ssize_t received = read(controller_, buffer.data(), buffer.size());
        if (received <= 0) {
            continue;
        }
        std::unique_lock lock(mutex_);
        const auto replies =
            firmware_.Receive(std::span(buffer.data(), static_cast<std::size_t>(received)));
        const bool vanished = firmware_.Vanished();
        lock.unlock();
        if (vanished) {
            CloseDevice();
            return;
        }
        for (const auto& reply : replies) {
            Send(reply);
        }
    }
}

void PtyUnit::Send(const Hmq27Firmware::Reply& reply) const {
    std::this_thread::sleep_for(std::chrono::milliseconds(reply.delayMs));
    std::size_t sent = 0;
    while (sent < reply.bytes.size()) {
        const ssize_t written =
            write(controller_, reply.bytes.data() + sent, reply.bytes.size() - sent);
        if (written <= 0) {
            return;
        }
        sent += static_cast<std::size_t>(written);
    }
}

void PtyUnit::CloseDevice() {
    for (int* descriptor : {&controller_, &device_}) {
        if (*descriptor >= 0) {
            close(*descriptor);
            *descriptor = -1;
        }
    }
}

} // namespace kv::test
