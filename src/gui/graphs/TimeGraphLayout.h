#pragma once

#include "graphs/GraphScene.h"
#include "graphs/LinearValueAxis.h"

#include <QPointF>
#include <string>
#include <vector>

namespace kv {

class VDoubleVec;

// At most this many points (plus the closing one) reach the paint device
// per time curve, whatever the number of samples.
inline constexpr int kMaxTimeCurvePoints = 4096;
// More value ticks than any graph could label legibly; a scale asking for
// more is not drawn.
inline constexpr int kMaxTimeValueTicks = 1000;

// What a time graph shows: the time span in seconds, the value axis from
// yMax down to yMin with a tick every yStep, and its unit.
struct TimeGraphSetup {
    double tMin = 0.0;
    double tMax = 0.1;
    double yMax = 1.0;
    double yMin = -1.0;
    double yStep = 0.2;
    std::string unit = "Volt";
    QColor unitColour{0, 0, 192};
    GraphColours colours;
};

struct TimeTick {
    int x;
    std::string text;
};

// The value ticks from yMax down to yMin, at offsets of the step up to
// 1.01 of the range; empty for a range or step that cannot be drawn.
std::vector<double> TimeValueTickValues(const TimeGraphSetup& setup);

// The unit of the time labels: "ms" below half a second, else "s".
std::string TimeAxisUnit(double tMax);

// The first spacing of 10 µs, 20 µs, 50 µs, 100 µs … whose ticks stand at
// least a label and a character apart on a plot of the given width; 0 when
// none does.
double TimeTickSpacing(const TimeGraphSetup& setup, int plotWidth, const TextMetrics& metrics);

// The time ticks from the plot's left edge while they stay more than a
// pixel left of its right edge, with their labels in the axis unit.
std::vector<TimeTick> TimeTicks(const TimeGraphSetup& setup, const PixelRect& plot,
                                const TextMetrics& metrics);

// The plot inside a rectangle, leaving a label column of the given width.
PixelRect TimePlotRect(const PixelRect& rect, const TextMetrics& metrics, int labelWidth);

LinearValueAxis TimeValueScale(const TimeGraphSetup& setup, const PixelRect& plot);

// The frame, grid, axes and labels of a time graph, and its plot (the
// curves' plot, which starts a 128th of its width right of the frame).
GraphLayout LayOutTimeGraph(const TimeGraphSetup& setup, const PixelRect& rect,
                            const TextMetrics& metrics, int fontHeight);

// The samples per point that keep a curve of n samples within the point
// budget.
int TimeDecimation(int samples);

// The points of a sampled curve between tMin and tMax: each group of
// samples is drawn by its sample of largest magnitude (the first on ties),
// so short spikes stay visible; a closing point at the plot's right edge
// ends the line. Empty when the curve has fewer than two samples to show.
std::vector<QPointF> TimeCurvePoints(const TimeGraphSetup& setup, const PixelRect& plot,
                                     const VDoubleVec& samples, double samplePeriod,
                                     double pixelRatio);

} // namespace kv
