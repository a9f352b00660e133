#pragma once

#include "graphs/CCurveBase.h"

#include <vector>

class QPainter;
class QPoint;
class QRect;

namespace kv {

// Where the readout box goes: beside the pointer, never over it, turned to
// the other side where the area would cut it off.
QRect ReadoutBoxRect(const QRect& area, const QPoint& pointer, const QSize& box);

// The readout's lines in a small box beside the pointer.
void DrawReadoutBox(QPainter& painter, const QRect& area, const QPoint& pointer,
                    const std::vector<ReadoutLine>& lines);

} // namespace kv
