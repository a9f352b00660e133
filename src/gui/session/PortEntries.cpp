#include "session/PortEntries.h"

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

} // namespace kv
