#include "app/PortEntries.h"

#include "CComPort.h"

#include <QComboBox>

namespace kv {

QString PortEntryText(int portNumber) {
    const QString entry = QStringLiteral(" COM%1").arg(portNumber);
#ifdef Q_OS_WIN
    return entry;
#else
    const QString device = CComPort::PortName(portNumber);
    return entry + (device.isEmpty() ? QStringLiteral(" (no device)")
                                     : QStringLiteral(" (%1)").arg(device));
#endif
}

void FillPortCombo(QComboBox& combo, int portNumber, int fallback) {
    combo.clear();
    for (int n = kFirstPortNumber; n <= kLastPortNumber; ++n) {
        combo.addItem(PortEntryText(n), n);
    }
    const int index = combo.findData(portNumber);
    combo.setCurrentIndex(index >= 0 ? index : combo.findData(fallback));
}

} // namespace kv
