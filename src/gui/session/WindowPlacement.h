#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>
#include <vector>

namespace kv {

// Where a window of the given frame size opens beside the main window:
// right or left of it, below or above it, or over the part of it below the
// areas to keep clear (the schematic below the response panes), the first
// of these that covers none of those areas; when none does, where it covers
// the first area least, then the next, then the window. The frame always
// lies within the screen where it fits; a frame larger than the screen
// starts at its top left corner.
QPoint PlaceWindow(const QSize& frame, const QRect& screen, const QRect& window,
                   const std::vector<QRect>& keepClear);

// The nearest position at which a frame lies wholly within the screen.
QPoint KeepOnScreen(const QRect& frame, const QRect& screen);

} // namespace kv
