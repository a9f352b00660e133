#pragma once

#include "graphs/CurveKinds.h"
#include "graphs/GraphScene.h"

#include <QPointF>
#include <vector>

class QPainter;

namespace kv {

// The legend of a view: a line per shown curve with a sample of its level
// line and its name, and, when phase or group delay lines are shown, a key
// of the patterns that tell them apart.
struct Legend {
    std::vector<CurveLook> curves;
    bool phase = false;
    bool delay = false;
};

// The legend's box and its rows, in pixels of the plot.
struct LegendLayout {
    // Empty when there is nothing to name or no room for it.
    PixelRect box;
    int rowHeight = 0;
    int sampleLength = 0;
};

// The smallest box the legend's rows fit in, at the top right of the plot.
LegendLayout MeasureLegend(const Legend& legend, const TextMetrics& metrics, const PixelRect& plot);

// The legend moved into the corner of the plot where it hides the fewest
// curve points: top right, top left, bottom right, bottom left in that
// order among equals; the bottom corners leave bottomClearance pixels for
// the titles written there.
LegendLayout PlaceLegend(LegendLayout layout, const PixelRect& plot,
                         const std::vector<QPointF>& curvePoints, int bottomClearance);

// Paints a placed legend in the font of the given height.
void PaintLegend(QPainter& painter, const Legend& legend, const LegendLayout& layout,
                 int fontHeight);

} // namespace kv
