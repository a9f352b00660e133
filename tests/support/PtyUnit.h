#pragma once

#include "support/Hmq27Firmware.h"

#include <atomic>
#include <mutex>
#include <string>
#include <thread>

namespace kv::test {

// A simulated HMQ27 behind a pseudo-terminal: the program opens
// DeviceName() as its serial port, and a thread of this object plays the
// unit's firmware on the other side.
class PtyUnit {
public:
    explicit PtyUnit(const UnitFaults& faults = {});
    ~PtyUnit();
    PtyUnit(const PtyUnit&) = delete;
    PtyUnit& operator=(const PtyUnit&) = delete;

    // Empty when no pseudo-terminal could be made.
    const std::string& DeviceName() const { return deviceName_; }
    // The unit's state as it is now.
    Hmq27Firmware Firmware() const;

private:
    void Serve();
    void Send(const Hmq27Firmware::Reply& reply) const;
    void CloseDevice();

    int controller_ = -1;
    int device_ = -1;
    std::string deviceName_;
    mutable std::mutex mutex_;
    Hmq27Firmware firmware_;
    std::atomic<bool> stopping_{false};
    std::thread thread_;
};

} // namespace kv::test
