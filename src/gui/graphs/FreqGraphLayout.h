#pragma once

#include "graphs/GraphLabels.h"
#include "graphs/GraphScene.h"
#include "graphs/LinearValueAxis.h"
#include "graphs/LogFrequencyAxis.h"

#include <QColor>
#include <QPointF>
#include <climits>
#include <string>
#include <vector>

namespace kv {

class VDoubleVec;

inline constexpr int kMaxValueAxes = 8;
// More divisions than any axis could label legibly; the cap keeps a wild
// descriptor from looping for ever.
inline constexpr int kMaxAxisDivisions = 1000;

// One value axis of a frequency graph: the value at the top edge, the range
// down to the bottom edge, the number of major intervals, a factor applied
// to each value before it is printed, the unit printed under the axis and
// the axis colour. Major ticks stand at the top and every span / divisions
// below it; or, with a step, at the multiples of the step (a zoomed axis
// whose ends are no round values still reads in round steps). Labels are
// written in the given style.
struct CurveAxisDescriptor {
    double top = 0.0;
    double span = 0.0;
    double labelFactor = 1.0;
    int divisions = 1;
    std::string unit;
    QColor colour;
    double step = 0.0;
    LabelStyle labels = LabelStyle::Engineering;
};

// What a frequency graph shows: its frequency range and its value axes, the
// first on the left of the plot, every further one on the right.
struct FreqGraphSetup {
    double fMin = 10.0;
    double fMax = 40000.0;
    std::vector<CurveAxisDescriptor> axes;
    GraphColours colours;
};

struct FrequencyGridLine {
    int x;
    bool solid;
};

struct FrequencyTick {
    int x;
    int length;
};

// A label centred on x, covering left … right.
struct AxisLabel {
    std::string text;
    int x;
    int left;
    int right;
};

struct ValueLabel {
    double value;
    std::string text;
};

struct ValueTick {
    int y;
    std::string text;
};

// Grid lines at 1, 1.5, 2, 3 … 9 of each decade inside the range, solid at
// the decades; none at either end of the range.
std::vector<FrequencyGridLine> FrequencyGridLines(const LogFrequencyAxis& axis);

// Ticks at 1, 1.5, 2 … 5 of each decade, long at 1, 2 and 5, up to limit.
// An axis zoomed in to less than a decade has a long tick at every grid
// line instead, where it has its labels.
std::vector<FrequencyTick> FrequencyTicks(const LogFrequencyAxis& axis, int tickLength, int limit);

// Labels at 1, 2 and 5 of each decade (at every grid line on an axis zoomed
// in to less than a decade); a label that would reach left to leftLimit or
// touch the one before it is left out, and labelling stops before a label
// reaches limit.
std::vector<AxisLabel> FrequencyLabels(const LogFrequencyAxis& axis, const TextMetrics& metrics,
                                       int limit, int leftLimit = INT_MIN);

// The major values of an axis from its top down, with their labels.
std::vector<ValueLabel> ValueAxisLabels(const CurveAxisDescriptor& axis);

// The room the labels and the unit of an axis need: the widest of them
// plus 8 pixels.
int ValueAxisLabelWidth(const CurveAxisDescriptor& axis, const TextMetrics& metrics);

// The major ticks of an axis that fall within the plot.
std::vector<ValueTick> ValueAxisTicks(const CurveAxisDescriptor& axis, const LinearValueAxis& scale,
                                      const PixelRect& plot);

// Minor ticks every tenth of a major step, or every fifth when a tenth is
// under 2 pixels; none when even that is not over 2 pixels.
std::vector<int> MinorTickPositions(const CurveAxisDescriptor& axis, const LinearValueAxis& scale,
                                    const PixelRect& plot);

// The plot inside a rectangle, leaving room for the label column of every
// value axis and for the frequency labels below.
PixelRect FreqPlotRect(const PixelRect& rect, const TextMetrics& metrics,
                       const std::vector<int>& axisLabelWidths);

LinearValueAxis ValueAxisScale(const CurveAxisDescriptor& axis, const PixelRect& plot);
LogFrequencyAxis FrequencyAxisScale(const FreqGraphSetup& setup, const PixelRect& plot);

// The frame, grid, axes and labels of a frequency graph, and its plot.
GraphLayout LayOutFreqGraph(const FreqGraphSetup& setup, const PixelRect& rect,
                            const TextMetrics& metrics, int fontHeight);

// The x of every frequency (NaN for those a logarithmic axis cannot place),
// on the device pixel grid of a pixel ratio.
std::vector<double> FrequencyPositions(const LogFrequencyAxis& axis, const VDoubleVec& frequencies,
                                       double pixelRatio);

// The points of a curve, x from FrequencyPositions of its frequencies: those
// at or above floor that lie within the frequency range or next to one that
// does, so that the line runs to the edges; a point on the same device pixel
// as the one before is dropped.
std::vector<QPointF> FreqCurvePoints(const LogFrequencyAxis& frequencyAxis,
                                     const std::vector<double>& positions,
                                     const LinearValueAxis& valueAxis,
                                     const VDoubleVec& frequencies, const VDoubleVec& values,
                                     double floor, double pixelRatio);

} // namespace kv
