#include "platform/CComPort.h"

#include "hardware/UnitProgramming.h"

#include <QDeadlineTimer>
#include <QFileInfo>
#include <QSerialPortInfo>
#include <algorithm>

namespace kv {
namespace {

// Start bit, eight data bits, stop bit.
constexpr int kBitsPerByte = 10;
// What a write may take beyond its time on the line: the driver's queues, a
// USB adapter's latency. Without flow control the bytes always drain.
constexpr int kWriteSlackMs = 1000;

QSerialPort::Parity QtParity(Parity parity) {
    switch (parity) {
    case Parity::Odd:
        return QSerialPort::OddParity;
    case Parity::Even:
        return QSerialPort::EvenParity;
    case Parity::Mark:
        return QSerialPort::MarkParity;
    case Parity::Space:
        return QSerialPort::SpaceParity;
    case Parity::None:
        break;
    }
    return QSerialPort::NoParity;
}

QSerialPort::StopBits QtStopBits(StopBits stopBits) {
    switch (stopBits) {
    case StopBits::OneAndHalf:
        return QSerialPort::OneAndHalfStop;
    case StopBits::Two:
        return QSerialPort::TwoStop;
    case StopBits::One:
        break;
    }
    return QSerialPort::OneStop;
}

QSerialPort::DataBits QtDataBits(int byteSize) {
    return static_cast<QSerialPort::DataBits>(std::clamp(byteSize, 5, 8));
}

// Why the port named name did not open, and what the user can do about it.
// Qt takes the port's lock before it looks for the device: a second program
// trying the same missing path hears of the lock, not of the missing device.
QSerialPort::SerialPortError OpenError(const QString& name, const QSerialPort& port) {
    const bool missingPath = name.contains(QLatin1Char('/')) && !QFileInfo::exists(name);
    return missingPath ? QSerialPort::DeviceNotFoundError : port.error();
}

std::string WhyNotOpened(const QString& name, const QSerialPort& port) {
    QString why;
    switch (OpenError(name, port)) {
    case QSerialPort::DeviceNotFoundError:
        why = QStringLiteral("%1: there is no such device. Plug in the adapter, or choose "
                             "another port.")
                  .arg(name);
        break;
    case QSerialPort::PermissionError:
        why = QStringLiteral("%1: %2. Close any other program that uses the port.")
                  .arg(name, port.errorString());
#ifdef Q_OS_LINUX
        why += QStringLiteral(" If none does, you may not use serial ports yet: join the dialout "
                              "group (sudo usermod -aG dialout $USER) and log in again.");
#endif
        break;
    default:
        why = QStringLiteral("%1: %2.").arg(name, port.errorString());
        break;
    }
    return why.toStdString();
}

} // namespace

CComPort::~CComPort() {
    Close();
}

QStringList CComPort::NumberedPorts() {
    QStringList names;
#ifdef Q_OS_WIN
    for (int n = kFirstPortNumber; n <= kLastPortNumber; ++n) {
        names.push_back(QStringLiteral("COM%1").arg(n));
    }
#else
    QList<QSerialPortInfo> ports = QSerialPortInfo::availablePorts();
    std::sort(ports.begin(), ports.end(), [](const QSerialPortInfo& a, const QSerialPortInfo& b) {
        return a.portName() < b.portName();
    });
    for (const QSerialPortInfo& port : ports) {
        names.push_back(port.systemLocation());
    }
#endif
    return names;
}

QString CComPort::PortName(int portNumber) {
#ifdef Q_OS_WIN
    return portNumber >= 1 ? QStringLiteral("COM%1").arg(portNumber) : QString();
#else
    const QStringList ports = NumberedPorts();
    return portNumber >= 1 && portNumber <= ports.size() ? ports[portNumber - 1] : QString();
#endif
}

bool CComPort::Open(int portNumber) {
    const QString name = PortName(portNumber);
    if (name.isEmpty()) {
        whyNotOpen_ =
            QStringLiteral("COM%1 stands for no serial port: this computer lists only %2. "
                           "Choose a port from the list, or type its device name.")
                .arg(portNumber)
                .arg(NumberedPorts().size())
                .toStdString();
        return false;
    }
    return OpenByName(name.toStdString());
}

bool CComPort::OpenByName(const std::string& name) {
    whyNotOpen_.clear();
    if (port_.isOpen()) {
        return false;
    }
    if (name.empty()) {
        whyNotOpen_ = "No port is chosen: choose one from the list, or type its device name.";
        return false;
    }
    const QString portName = QString::fromStdString(name);
    port_.setPortName(portName);
    if (!port_.open(QIODevice::ReadWrite)) {
        whyNotOpen_ = WhyNotOpened(portName, port_);
        port_.clearError();
        return false;
    }
    Purge();
    return true;
}

bool CComPort::IsOpen() const {
    return port_.isOpen();
}

void CComPort::Configure(int baud, Parity parity, int byteSize, StopBits stopBits) {
    if (!IsOpen()) {
        return;
    }
    port_.setBaudRate(baud);
    port_.setDataBits(QtDataBits(byteSize));
    port_.setParity(QtParity(parity));
    port_.setStopBits(QtStopBits(stopBits));
    port_.setFlowControl(QSerialPort::NoFlowControl);
    port_.setDataTerminalReady(false);
    port_.setRequestToSend(false);
    // A pseudo-terminal has no modem lines, so DTR and RTS fail there as
    // unsupported; a setting the port refuses shows up in the handshake.
    port_.clearError();
}

// A time-out, or an operation this kind of port cannot do, leaves the port
// usable. Anything else means the device is gone or broken: the port closes,
// so that nobody keeps waiting on it.
bool CComPort::SurvivedError() {
    const QSerialPort::SerialPortError error = port_.error();
    if (error == QSerialPort::NoError || error == QSerialPort::TimeoutError ||
        error == QSerialPort::UnsupportedOperationError) {
        port_.clearError();
        return true;
    }
    Close();
    return false;
}

std::size_t CComPort::Read(std::span<std::uint8_t> buffer, int timeoutMs) {
    if (!IsOpen()) {
        return 0;
    }
    const auto wanted = static_cast<qint64>(buffer.size());
    const QDeadlineTimer deadline(std::max(timeoutMs, 0));
    while (port_.bytesAvailable() < wanted && !deadline.hasExpired()) {
        if (!port_.waitForReadyRead(static_cast<int>(deadline.remainingTime())) &&
            !SurvivedError()) {
            return 0;
        }
    }
    const qint64 received = port_.read(reinterpret_cast<char*>(buffer.data()), wanted);
    return received > 0 ? static_cast<std::size_t>(received) : 0;
}

int CComPort::WriteTimeoutMs(std::size_t bytes) const {
    const auto lineMs =
        static_cast<qint64>(bytes) * kBitsPerByte * 1000 / std::max<qint32>(port_.baudRate(), 1);
    return kWriteSlackMs + static_cast<int>(lineMs);
}

std::size_t CComPort::Write(std::span<const std::uint8_t> data) {
    if (!IsOpen()) {
        return 0;
    }
    const auto size = static_cast<qint64>(data.size());
    if (port_.write(reinterpret_cast<const char*>(data.data()), size) != size) {
        if (SurvivedError()) {
            port_.clear(QSerialPort::Output);
        }
        return 0;
    }
    const QDeadlineTimer deadline(WriteTimeoutMs(data.size()));
    while (port_.bytesToWrite() > 0 && !deadline.hasExpired()) {
        if (!port_.waitForBytesWritten(static_cast<int>(deadline.remainingTime())) &&
            !SurvivedError()) {
            return 0;
        }
    }
    const qint64 unsent = port_.bytesToWrite();
    if (unsent > 0) {
        port_.clear(QSerialPort::Output);
    }
    return static_cast<std::size_t>(size - unsent);
}

bool CComPort::Purge() {
    return IsOpen() && port_.clear(QSerialPort::AllDirections);
}

void CComPort::Close() {
    if (port_.isOpen()) {
        Purge();
        port_.close();
    }
    port_.clearError();
}

} // namespace kv
