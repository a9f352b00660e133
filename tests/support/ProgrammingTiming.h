#pragma once

#include "hardware/CMC24LC64.h"

#include <chrono>

namespace kv::test {

// Waits short enough for fault runs to take fractions of a second, with the
// same proportions as the unit's: replies far inside every time-out.
inline constexpr MC24LC64Timing kShortTiming{.handshakePauseMs = 5,
                                             .handshakeReadMs = 20,
                                             .handshakeRereads = 8,
                                             .ackReadMs = 50,
                                             .ackPauseMs = 5,
                                             .ackRereads = 1000,
                                             .ackDeadlineMs = 250,
                                             .ackSettleMs = 10,
                                             .restartPauseMs = 5};

// The longest the rules let the protocol take to give up, from its waits.
// A failed handshake: the first read and up to eight more, each after a pause.
inline std::chrono::milliseconds HandshakeBound(const MC24LC64Timing& timing) {
    return std::chrono::milliseconds((timing.handshakeRereads + 1) *
                                     (timing.handshakePauseMs + timing.handshakeReadMs));
}

// One WaitAck: its deadline, overrun by at most one pause.
inline std::chrono::milliseconds AckBound(const MC24LC64Timing& timing) {
    return std::chrono::milliseconds(timing.ackDeadlineMs + timing.ackPauseMs);
}

// No unit at all: six handshakes, each of them in vain.
inline std::chrono::milliseconds NoUnitBound(const MC24LC64Timing& timing) {
    return CMC24LC64::kConnectAttempts * HandshakeBound(timing);
}

// A block that is never acknowledged beyond doubt: the packet and its three
// resends each wait for an answer and for the line to settle, then the end
// of the transfer waits once more.
inline std::chrono::milliseconds BlockFailureBound(const MC24LC64Timing& timing) {
    return (CMC24LC64::kMaxResends + 1) *
               (AckBound(timing) + std::chrono::milliseconds(timing.ackSettleMs)) +
           std::chrono::milliseconds(timing.restartPauseMs) + AckBound(timing);
}

} // namespace kv::test
