#pragma once

#include <QString>
#include <QStringList>

class QComboBox;

namespace kv {

// " COM3", and where the numbers stand for devices of other names (ports
// as CComPort::NumberedPorts lists them) the device too:
// " COM3 (/dev/ttyUSB0)", or " COM3 (no device)".
QString PortEntryText(int portNumber, const QStringList& ports);

// Fills a combo box with the ports (item data: the number) and selects
// portNumber, or fallback when the list has no such port.
void FillPortCombo(QComboBox& combo, int portNumber, int fallback);

} // namespace kv
