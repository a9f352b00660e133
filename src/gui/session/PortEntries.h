#pragma once

#include <QString>
#include <QStringList>

namespace kv {

// " COM3", and where the numbers stand for devices of other names (ports
// as CComPort::NumberedPorts lists them) the device too:
// " COM3 (/dev/ttyUSB0)", or " COM3 (no device)".
QString PortEntryText(int portNumber, const QStringList& ports);

} // namespace kv
