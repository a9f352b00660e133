#pragma once

#include "session/FilterHandles.h"

#include <QPointF>

class QPainter;

namespace kv {

// How far from a handle's centre the pointer still takes it, in pixels.
inline constexpr double kHandleReach = 7.0;

// A handle on the band pane, shaped by its kind so that it reads without
// colour: a circle for an equaliser, a diamond for a shelf, a triangle for
// a notch, a square for a crossover slot; filled while it is dragged or
// under the pointer.
void DrawHandleMark(QPainter& painter, const QPointF& at, HandleKind kind, bool active);

} // namespace kv
