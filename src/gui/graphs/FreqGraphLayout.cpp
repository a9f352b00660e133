#include "graphs/FreqGraphLayout.h"

#include "graphs/GraphLabels.h"
#include "math/VDoubleVec.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <functional>
#include <initializer_list>

namespace kv {
namespace {

constexpr std::initializer_list<double> kGridMultipliers = {1, 1.5, 2, 3, 4, 5, 6, 7, 8, 9};
constexpr std::initializer_list<double> kTickMultipliers = {1, 1.5, 2, 2.5, 3, 3.5, 4, 4.5, 5};
constexpr std::initializer_list<double> kLabelMultipliers = {1, 2, 5};
// Far more decades than 10 Hz … 40 kHz; only guards against wild ranges.
constexpr int kMaxDecades = 24;
constexpr int kLabelColumnPadding = 8;

bool IsLongTickMultiplier(double multiplier) {
    return multiplier == 1.0 || multiplier == 2.0 || multiplier == 5.0;
}

// An axis zoomed in to less than a decade would keep one or two labels of
// 1, 2 and 5; it labels its grid lines instead.
bool LabelsGridLines(const LogFrequencyAxis& axis) {
    return axis.FMax() < 10.0 * axis.FMin();
}

// Calls visit for every decade · multiplier in [fMin, fMax) in rising
// order, until visit returns false.
void ForEachAxisFrequency(const LogFrequencyAxis& axis, std::initializer_list<double> multipliers,
                          const std::function<bool(double hz, double multiplier)>& visit) {
    double decade = DecadeBelow(axis.FMin());
    for (int d = 0; d < kMaxDecades; ++d, decade *= 10.0) {
        for (const double multiplier : multipliers) {
            const double hz = decade * multiplier;
            if (hz >= axis.FMax()) {
                return;
            }
            if (hz >= axis.FMin() && !visit(hz, multiplier)) {
                return;
            }
        }
    }
}

int Divisions(const CurveAxisDescriptor& axis) {
    return std::clamp(axis.divisions, 1, kMaxAxisDivisions);
}

double AxisStep(const CurveAxisDescriptor& axis) {
    return axis.step > 0.0 ? axis.step : axis.span / Divisions(axis);
}

// The values of an axis's ticks, origin - i · spacing: counted from the top
// down, or from zero for an axis of steps, so that they are the multiples of
// the spacing.
struct TickSeries {
    double origin;
    // The first index at or below the top.
    int first;
};

TickSeries TicksOf(const CurveAxisDescriptor& axis, double spacing) {
    if (!(axis.step > 0.0)) {
        return {axis.top, 0};
    }
    // A top a rounding error below a multiple still has its tick.
    constexpr double kOnMultiple = 1e-9;
    const double above = std::clamp(std::floor(axis.top / spacing + kOnMultiple), -1e9, 1e9);
    return {0.0, -static_cast<int>(above)};
}

// Whether a tick value lies within the axis (and the small allowance below
// its bottom that a rounded span needs).
bool WithinAxis(const CurveAxisDescriptor& axis, double value) {
    return axis.top - value < axis.span * 1.01;
}

// The most major ticks an axis gets.
int MaxMajorTicks(const CurveAxisDescriptor& axis) {
    return axis.step > 0.0 ? kMaxAxisDivisions : Divisions(axis);
}

bool HasSteps(const CurveAxisDescriptor& axis) {
    const double step = AxisStep(axis);
    return step > 0.0 && std::isfinite(step) && std::isfinite(axis.top);
}

int FrameWidth(const TextMetrics& metrics) {
    return metrics.charHeight - 1 > 2 ? 2 : 1;
}

int MinorTickLength(const TextMetrics& metrics) {
    return std::max(1, MajorTickLength(metrics) / 2);
}

SceneText Text(std::string text, QPoint at, TextAnchor anchor, int height, const QColor& colour,
               bool bold = false) {
    return {std::move(text), at, anchor, height, bold, colour};
}

void AddFrame(GraphLayout& layout, const GraphColours& colours, const TextMetrics& metrics) {
    const PixelRect& plot = layout.plot;
    const int width = FrameWidth(metrics);
    const int extend = width == 2 ? 1 : 0;
    layout.scene.frames.push_back(
        {{plot.left, plot.top, plot.right + extend, plot.bottom + extend}, width, colours.frame});
}

void AddFrequencyAxis(GraphLayout& layout, const FreqGraphSetup& setup, const TextMetrics& metrics,
                      int fontHeight) {
    const PixelRect& plot = layout.plot;
    const LogFrequencyAxis axis = FrequencyAxisScale(setup, plot);
    if (!axis.Valid()) {
        return;
    }
    GraphScene& scene = layout.scene;
    const GraphColours& colours = setup.colours;
    const int limit = plot.right - metrics.width("Hz") - 1;
    for (const FrequencyGridLine& line : FrequencyGridLines(axis)) {
        scene.lines.push_back({{line.x, plot.top + 1},
                               {line.x, plot.bottom},
                               colours.grid,
                               line.solid ? LineStyle::Solid : LineStyle::Dotted});
    }
    for (const FrequencyTick& tick : FrequencyTicks(axis, 2 * (metrics.charHeight / 3), limit)) {
        scene.lines.push_back(
            {{tick.x, plot.bottom}, {tick.x, plot.bottom + tick.length}, colours.frame});
    }
    const int labelTop = LabelRowTop(plot, metrics);
    // The level axis's unit ends a character left of the plot.
    const int unitEnd = plot.left - metrics.charWidth;
    for (const AxisLabel& label : FrequencyLabels(axis, metrics, limit, unitEnd)) {
        scene.texts.push_back(
            Text(label.text, {label.x, labelTop}, TextAnchor::TopCentre, fontHeight, colours.text));
    }
    scene.texts.push_back(
        Text("Hz", {plot.right, labelTop}, TextAnchor::TopRight, fontHeight, colours.text));
}

// Where an axis stands and on which side its ticks and labels go.
struct AxisPlacement {
    int x;
    bool left;
    int labelWidth;
};

void AddValueTicks(GraphScene& scene, const CurveAxisDescriptor& axis, const AxisPlacement& at,
                   const PixelRect& plot, const GraphColours& colours, const TextMetrics& metrics,
                   int fontHeight) {
    const LinearValueAxis scale = ValueAxisScale(axis, plot);
    const int direction = at.left ? -1 : 1;
    for (const ValueTick& tick : ValueAxisTicks(axis, scale, plot)) {
        if (at.left && tick.y > plot.top && tick.y < plot.bottom) {
            scene.lines.push_back(
                {{plot.left + 1, tick.y}, {plot.right, tick.y}, colours.grid, LineStyle::Dotted});
        }
        scene.lines.push_back(
            {{at.x, tick.y}, {at.x + direction * MajorTickLength(metrics), tick.y}, colours.frame});
        const QPoint labelAt{at.x + direction * metrics.charWidth,
                             tick.y - metrics.charHeight / 2 - 1};
        scene.texts.push_back(Text(tick.text, labelAt,
                                   at.left ? TextAnchor::TopRight : TextAnchor::TopLeft, fontHeight,
                                   colours.text));
    }
    for (const int y : MinorTickPositions(axis, scale, plot)) {
        scene.lines.push_back(
            {{at.x, y}, {at.x + direction * MinorTickLength(metrics), y}, colours.frame});
    }
}

void AddValueAxis(GraphLayout& layout, const CurveAxisDescriptor& axis, const AxisPlacement& at,
                  const GraphColours& colours, const TextMetrics& metrics, int fontHeight) {
    const PixelRect& plot = layout.plot;
    GraphScene& scene = layout.scene;
    if (!at.left) {
        for (int line = 0; line < FrameWidth(metrics); ++line) {
            scene.lines.push_back(
                {{at.x + line, plot.top}, {at.x + line, plot.bottom + 1}, colours.frame});
        }
    }
    if (HasSteps(axis)) {
        AddValueTicks(scene, axis, at, plot, colours, metrics, fontHeight);
    }
    // The unit heads the axis's label column, on the row of the frequency
    // labels.
    const int column = at.labelWidth - kLabelColumnPadding;
    const int columnCentre =
        at.left ? at.x - metrics.charWidth - column / 2 : at.x + metrics.charWidth + column / 2;
    scene.texts.push_back(Text(axis.unit, {columnCentre, LabelRowTop(plot, metrics)},
                               TextAnchor::TopCentre, fontHeight, axis.colour, true));
}

void AddValueAxes(GraphLayout& layout, const FreqGraphSetup& setup, const std::vector<int>& widths,
                  const TextMetrics& metrics, int fontHeight) {
    int x = layout.plot.right;
    for (std::size_t i = 0; i < setup.axes.size(); ++i) {
        const bool left = i == 0;
        AddValueAxis(layout, setup.axes[i], {left ? layout.plot.left : x, left, widths[i]},
                     setup.colours, metrics, fontHeight);
        if (!left) {
            x += metrics.charWidth / 2 + widths[i] + metrics.charWidth;
        }
    }
}

} // namespace

std::vector<FrequencyGridLine> FrequencyGridLines(const LogFrequencyAxis& axis) {
    std::vector<FrequencyGridLine> lines;
    if (!axis.Valid()) {
        return lines;
    }
    ForEachAxisFrequency(axis, kGridMultipliers, [&](double hz, double multiplier) {
        if (hz != axis.FMin()) {
            lines.push_back({axis.PixelX(hz), multiplier == 1.0});
        }
        return true;
    });
    return lines;
}

std::vector<FrequencyTick> FrequencyTicks(const LogFrequencyAxis& axis, int tickLength, int limit) {
    std::vector<FrequencyTick> ticks;
    if (!axis.Valid()) {
        return ticks;
    }
    const bool zoomed = LabelsGridLines(axis);
    ForEachAxisFrequency(axis, zoomed ? kGridMultipliers : kTickMultipliers,
                         [&](double hz, double multiplier) {
                             const int x = axis.PixelX(hz);
                             if (x >= limit) {
                                 return false;
                             }
                             const bool labelled = zoomed || IsLongTickMultiplier(multiplier);
                             const int length = labelled ? tickLength : tickLength / 2 + 1;
                             ticks.push_back({x, std::max(length, 2)});
                             return true;
                         });
    return ticks;
}

std::vector<AxisLabel> FrequencyLabels(const LogFrequencyAxis& axis, const TextMetrics& metrics,
                                       int limit, int leftLimit) {
    std::vector<AxisLabel> labels;
    if (!axis.Valid()) {
        return labels;
    }
    int previousRight = leftLimit;
    const std::initializer_list<double> multipliers =
        LabelsGridLines(axis) ? kGridMultipliers : kLabelMultipliers;
    ForEachAxisFrequency(axis, multipliers, [&](double hz, double) {
        std::string text = FrequencyLabelText(hz);
        const int x = axis.PixelX(hz);
        const int left = x - metrics.width(text) / 2;
        const int right = left + metrics.width(text);
        if (right >= limit) {
            return false;
        }
        if (left > previousRight) {
            labels.push_back({std::move(text), x, left, right});
            previousRight = right;
        }
        return true;
    });
    return labels;
}

std::vector<ValueLabel> ValueAxisLabels(const CurveAxisDescriptor& axis) {
    std::vector<ValueLabel> labels;
    if (!HasSteps(axis)) {
        return labels;
    }
    const double step = AxisStep(axis);
    const TickSeries series = TicksOf(axis, step);
    for (int i = series.first; i - series.first <= MaxMajorTicks(axis); ++i) {
        const double value = series.origin - i * step;
        if (!WithinAxis(axis, value)) {
            break;
        }
        labels.push_back({value, ValueLabelText(value * axis.labelFactor, axis.labels)});
    }
    return labels;
}

int ValueAxisLabelWidth(const CurveAxisDescriptor& axis, const TextMetrics& metrics) {
    int widest = metrics.width(axis.unit);
    for (const ValueLabel& label : ValueAxisLabels(axis)) {
        widest = std::max(widest, metrics.width(label.text));
    }
    return widest + kLabelColumnPadding;
}

std::vector<ValueTick> ValueAxisTicks(const CurveAxisDescriptor& axis, const LinearValueAxis& scale,
                                      const PixelRect& plot) {
    std::vector<ValueTick> ticks;
    if (!scale.Valid()) {
        return ticks;
    }
    for (ValueLabel& label : ValueAxisLabels(axis)) {
        const int y = scale.PixelY(label.value);
        if (y >= plot.top && y <= plot.bottom) {
            ticks.push_back({y, std::move(label.text)});
        }
    }
    return ticks;
}

std::vector<int> MinorTickPositions(const CurveAxisDescriptor& axis, const LinearValueAxis& scale,
                                    const PixelRect& plot) {
    std::vector<int> positions;
    if (!scale.Valid() || !HasSteps(axis)) {
        return positions;
    }
    const double step = AxisStep(axis);
    int perStep = 10;
    if (step / perStep * scale.PixelsPerUnit() < 2.0) {
        perStep = 5;
    }
    const double minor = step / perStep;
    if (!(minor * scale.PixelsPerUnit() > 2.0)) {
        return positions;
    }
    const TickSeries series = TicksOf(axis, minor);
    for (int j = series.first; WithinAxis(axis, series.origin - j * minor); ++j) {
        const int y = scale.PixelY(series.origin - j * minor);
        if (j % perStep != 0 && y >= plot.top && y <= plot.bottom) {
            positions.push_back(y);
        }
    }
    return positions;
}

PixelRect FreqPlotRect(const PixelRect& rect, const TextMetrics& metrics,
                       const std::vector<int>& axisLabelWidths) {
    const int cx = metrics.charWidth;
    const int cy = metrics.charHeight;
    PixelRect plot{rect.left + cx / 2 + axisLabelWidths.front() + cx, rect.top + 2 * (cy / 3) + 1,
                   rect.right - 3 - cx / 2, rect.bottom - 2 - 2 * (cy / 3) - cy};
    for (std::size_t i = 1; i < axisLabelWidths.size(); ++i) {
        plot.right -= cx / 2 + cx + axisLabelWidths[i];
    }
    return plot;
}

LinearValueAxis ValueAxisScale(const CurveAxisDescriptor& axis, const PixelRect& plot) {
    return {axis.top, axis.span, plot.top, plot.Height()};
}

LogFrequencyAxis FrequencyAxisScale(const FreqGraphSetup& setup, const PixelRect& plot) {
    return {setup.fMin, setup.fMax, plot.left, plot.Width()};
}

GraphLayout LayOutFreqGraph(const FreqGraphSetup& setup, const PixelRect& rect,
                            const TextMetrics& metrics, int fontHeight) {
    GraphLayout layout;
    if (rect.Height() < 1) {
        return layout;
    }
    layout.scene.fills.push_back({rect, setup.colours.margin});
    if (setup.axes.empty()) {
        return layout;
    }
    std::vector<int> widths;
    for (const CurveAxisDescriptor& axis : setup.axes) {
        widths.push_back(ValueAxisLabelWidth(axis, metrics));
    }
    layout.plot = FreqPlotRect(rect, metrics, widths);
    if (layout.plot.Width() < 2 || layout.plot.Height() < 2) {
        return layout;
    }
    layout.hasPlot = true;
    layout.scene.fills.push_back({layout.plot, setup.colours.plot});
    AddFrame(layout, setup.colours, metrics);
    AddFrequencyAxis(layout, setup, metrics, fontHeight);
    AddValueAxes(layout, setup, widths, metrics, fontHeight);
    return layout;
}

std::vector<double> FrequencyPositions(const LogFrequencyAxis& axis, const VDoubleVec& frequencies,
                                       double pixelRatio) {
    std::vector<double> positions;
    positions.reserve(static_cast<std::size_t>(frequencies.GetSize()));
    for (const double hz : frequencies) {
        const bool placeable = axis.Valid() && hz > 0.0 && std::isfinite(hz);
        positions.push_back(placeable ? axis.X(hz, pixelRatio) : std::nan(""));
    }
    return positions;
}

std::vector<QPointF> FreqCurvePoints(const LogFrequencyAxis& frequencyAxis,
                                     const std::vector<double>& positions,
                                     const LinearValueAxis& valueAxis,
                                     const VDoubleVec& frequencies, const VDoubleVec& values,
                                     double floor, double pixelRatio) {
    std::vector<QPointF> points;
    if (!frequencyAxis.Valid() || !valueAxis.Valid()) {
        return points;
    }
    const int n =
        std::min({frequencies.GetSize(), values.GetSize(), static_cast<int>(positions.size())});
    const auto inRange = [&](int i) {
        return i >= 0 && i < n && frequencies[i] >= frequencyAxis.FMin() &&
               frequencies[i] <= frequencyAxis.FMax();
    };
    points.reserve(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) {
        const double x = positions[static_cast<std::size_t>(i)];
        const bool drawable = values[i] >= floor && std::isfinite(values[i]) && !std::isnan(x);
        if (!drawable || !(inRange(i) || inRange(i - 1) || inRange(i + 1))) {
            continue;
        }
        const QPointF point(x, valueAxis.Y(values[i], pixelRatio));
        if (points.empty() || points.back() != point) {
            points.push_back(point);
        }
    }
    return points;
}

} // namespace kv
