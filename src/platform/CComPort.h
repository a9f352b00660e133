#pragma once

#include "hardware/ISerialPort.h"

#include <QSerialPort>

namespace kv {

// A serial port on Qt's serial port module. Qt needs a QCoreApplication for
// it; the front ends and the tests create one.
class CComPort : public ISerialPort {
public:
    CComPort() = default;
    ~CComPort() override;
    CComPort(const CComPort&) = delete;
    CComPort& operator=(const CComPort&) = delete;

    bool Open(int portNumber) override;
    bool OpenByName(const std::string& name) override;
    bool IsOpen() const override;
    std::string WhyNotOpen() const override { return whyNotOpen_; }
    void Configure(int baud, Parity parity, int byteSize, StopBits stopBits) override;
    std::size_t Read(std::span<std::uint8_t> buffer, int timeoutMs) override;
    std::size_t Write(std::span<const std::uint8_t> data) override;
    bool Purge() override;
    void Close() override;

    // The system names that port numbers 1, 2, … stand for: COM1 to COM8 on
    // Windows, elsewhere the serial ports the system lists, sorted by name.
    static QStringList NumberedPorts();
    // The system name that port number n stands for (COMn on Windows);
    // empty when there is none.
    static QString PortName(int portNumber);

private:
    bool SurvivedError();
    int WriteTimeoutMs(std::size_t bytes) const;

    QSerialPort port_;
    std::string whyNotOpen_;
};

} // namespace kv
