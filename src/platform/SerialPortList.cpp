#include "platform/SerialPortList.h"

#include <QSerialPortInfo>
#include <algorithm>

namespace kv {
namespace {

// The run of digits that starts at i, and where it ends.
std::pair<QStringView, qsizetype> DigitRun(QStringView text, qsizetype i) {
    qsizetype end = i;
    while (end < text.size() && text[end].isDigit()) {
        ++end;
    }
    return {text.mid(i, end - i), end};
}

// Compares runs of digits by their value, so that ttyS2 comes before ttyS10.
bool NumberedNameLess(QStringView a, QStringView b) {
    qsizetype i = 0;
    qsizetype j = 0;
    while (i < a.size() && j < b.size()) {
        if (a[i].isDigit() && b[j].isDigit()) {
            auto [runA, endA] = DigitRun(a, i);
            auto [runB, endB] = DigitRun(b, j);
            while (runA.size() > 1 && runA.front() == u'0') {
                runA = runA.mid(1);
            }
            while (runB.size() > 1 && runB.front() == u'0') {
                runB = runB.mid(1);
            }
            if (runA.size() != runB.size()) {
                return runA.size() < runB.size();
            }
            if (runA != runB) {
                return runA < runB;
            }
            i = endA;
            j = endB;
            continue;
        }
        if (a[i] != b[j]) {
            return a[i] < b[j];
        }
        ++i;
        ++j;
    }
    return a.size() - i < b.size() - j;
}

QString EntryText(const PortDescription& port) {
    const QString description = port.description.isEmpty() && port.usb
                                    ? QStringLiteral("USB serial adapter")
                                    : port.description;
    return description.isEmpty() ? port.device
                                 : QStringLiteral("%1 (%2)").arg(description, port.device);
}

PortDescription Described(const QSerialPortInfo& info) {
#ifdef Q_OS_WIN
    QString device = info.portName();
#else
    QString device = info.systemLocation();
#endif
    const QString description =
        info.description().isEmpty() ? info.manufacturer() : info.description();
    return {std::move(device), description.trimmed(), info.hasVendorIdentifier()};
}

} // namespace

std::vector<PortEntry> OrderedPortEntries(std::vector<PortDescription> ports) {
    std::sort(ports.begin(), ports.end(), [](const PortDescription& a, const PortDescription& b) {
        if (a.usb != b.usb) {
            return a.usb;
        }
        return NumberedNameLess(a.device, b.device);
    });
    std::vector<PortEntry> entries;
    entries.reserve(ports.size());
    for (const PortDescription& port : ports) {
        entries.push_back({port.device, EntryText(port)});
    }
    return entries;
}

std::vector<PortEntry> AvailablePortEntries() {
    std::vector<PortDescription> ports;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
        ports.push_back(Described(info));
    }
    return OrderedPortEntries(std::move(ports));
}

} // namespace kv
