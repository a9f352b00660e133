#include "dialogs/PortCombo.h"

#include "hardware/UnitProgramming.h"
#include "platform/CComPort.h"
#include "session/PortEntries.h"

#include <QComboBox>

namespace kv {

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
