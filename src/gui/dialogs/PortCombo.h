#pragma once

class QComboBox;

namespace kv {

// Fills a combo box with the ports (item data: the number) and selects
// portNumber, or fallback when the list has no such port.
void FillPortCombo(QComboBox& combo, int portNumber, int fallback);

} // namespace kv
