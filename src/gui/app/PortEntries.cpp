#include "app/PortEntries.h"

#include "CComPort.h"
#include "hardware/UnitProgramming.h"

#include <QComboBox>

namespace kv {

QString PortEntryText(int portNumber, const QStringList& ports) {
    const QString entry = QStringLiteral(" COM%1").arg(portNumber);
#ifdef Q_OS_WIN
    (void)ports;
    return entry;
#else
    const bool known = portNumber >= 1 && portNumber <= ports.size();
    return entry + (known ? QStringLiteral(" (%1)").arg(ports[portNumber - 1])
                          : QStringLiteral(" (no device)"));
#endif
}

void FillPortCombo(QComboBox& combo, int portNumber, int fallback) {
    combo.clear();
    const QStringList ports = CComPort::NumberedPorts();
    for (int n = kFirstPortNumber; n <= kLastPortNumber; ++n) {
        combo.addItem(PortEntryText(n, ports), n);
    }
    const int index = combo.findData(portNumber);
    combo.setCurrentIndex(index >= 0 ? index : combo.findData(fallback));
}

} // namespace kv
