#pragma once

#include <QString>

class QComboBox;

namespace kv {

// The serial ports a user picks from: port numbers 1 to 8.
inline constexpr int kFirstPortNumber = 1;
inline constexpr int kLastPortNumber = 8;

// " COM3", and where the number stands for a device of another name the
// device too: " COM3 (/dev/ttyUSB0)", or " COM3 (no device)".
QString PortEntryText(int portNumber);

// Fills a combo box with the ports (item data: the number) and selects
// portNumber, or fallback when the list has no such port.
void FillPortCombo(QComboBox& combo, int portNumber, int fallback);

} // namespace kv
