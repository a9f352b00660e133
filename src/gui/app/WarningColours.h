#pragma once

#include <QColor>

namespace kv {

// The ink of what stops programming, in the schematic and the status bar.
inline const QColor kWarningInk(176, 0, 0);
// Settings that may harm a driver: violet, told apart from the refusal's red
// and the in-use amber also by eyes that confuse red and green.
inline const QColor kCautionEdge(110, 40, 170);

} // namespace kv
