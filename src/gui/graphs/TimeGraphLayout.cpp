#include "graphs/TimeGraphLayout.h"

#include "graphs/GraphLabels.h"
#include "graphs/PixelRounding.h"
#include "math/VDoubleVec.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace kv {
namespace {

constexpr int kFrameWidth = 2;
// The time tick series runs 10 µs, 20 µs, 50 µs, … up to 10^12 s.
constexpr double kSmallestTickSpacing = 1e-5;
constexpr int kTickSpacingSteps = 51;
constexpr std::array<double, 3> kSpacingMultipliers = {1.0, 2.0, 5.0};

double TimeUnitFactor(double tMax) {
    return tMax < 0.5 ? 1000.0 : 1.0;
}

// The right end of the value labels, left of the frame and its ticks.
int ValueLabelRight(int frameLeft, const TextMetrics& metrics) {
    return frameLeft - MajorTickLength(metrics) - 2;
}

// The widest label a tick spacing would produce, estimated from its first
// and last labels; the gap of a character keeps neighbours apart.
int MinimumTickPixels(double spacing, double timeSpan, double tMin, double factor,
                      const TextMetrics& metrics) {
    const double lastTick = std::floor(timeSpan / spacing) * spacing;
    const int widest =
        std::max({metrics.width(TimeLabelText((tMin + spacing) * factor)),
                  metrics.width(TimeLabelText((tMin + lastTick) * factor)),
                  metrics.width(TimeLabelText((tMin + lastTick - spacing) * factor))});
    return widest + metrics.charWidth;
}

void AddValueAxis(GraphLayout& layout, const TimeGraphSetup& setup, int frameLeft,
                  const TextMetrics& metrics, int fontHeight) {
    const PixelRect& plot = layout.plot;
    GraphScene& scene = layout.scene;
    const double pixelsPerStep = plot.Height() / (setup.yMax - setup.yMin) * setup.yStep;
    for (int k = 1; k * pixelsPerStep <= 0.99 * plot.Height(); ++k) {
        const int y = plot.top + static_cast<int>(std::lround(k * pixelsPerStep));
        scene.lines.push_back(
            {{frameLeft + 1, y}, {plot.right, y}, setup.colours.grid, LineStyle::Dotted});
    }
    const std::vector<double> values = TimeValueTickValues(setup);
    for (std::size_t i = 0; i < values.size(); ++i) {
        int y = plot.top + static_cast<int>(std::lround(static_cast<double>(i) * pixelsPerStep));
        y = std::min(y, plot.bottom - 1);
        scene.lines.push_back(
            {{frameLeft - MajorTickLength(metrics), y}, {frameLeft, y}, setup.colours.frame});
        scene.texts.push_back({TimeValueLabelText(values[i]),
                               {ValueLabelRight(frameLeft, metrics), y - metrics.charHeight / 2},
                               TextAnchor::TopRight,
                               fontHeight,
                               false,
                               setup.colours.text});
    }
    scene.texts.push_back({setup.unit,
                           {ValueLabelRight(frameLeft, metrics), LabelRowTop(plot, metrics)},
                           TextAnchor::TopRight,
                           fontHeight,
                           false,
                           setup.unitColour});
}

void AddTimeAxis(GraphLayout& layout, const TimeGraphSetup& setup, const TextMetrics& metrics,
                 int fontHeight) {
    const PixelRect& plot = layout.plot;
    GraphScene& scene = layout.scene;
    const std::string unit = TimeAxisUnit(setup.tMax);
    const int labelTop = LabelRowTop(plot, metrics);
    const int unitClearance = plot.right - metrics.width(unit) - metrics.charWidth / 2;
    const int tickLength = std::max(2 * (metrics.charHeight / 3), 2);
    for (const TimeTick& tick : TimeTicks(setup, plot, metrics)) {
        scene.lines.push_back(
            {{tick.x, plot.top + 1}, {tick.x, plot.bottom}, setup.colours.grid, LineStyle::Dotted});
        const int labelWidth = metrics.width(tick.text);
        if (tick.x - labelWidth / 2 + labelWidth < unitClearance) {
            scene.lines.push_back(
                {{tick.x, plot.bottom}, {tick.x, plot.bottom + tickLength}, setup.colours.frame});
            scene.texts.push_back({tick.text,
                                   {tick.x, labelTop},
                                   TextAnchor::TopCentre,
                                   fontHeight,
                                   false,
                                   setup.colours.text});
        }
    }
    scene.texts.push_back({unit,
                           {plot.right, labelTop},
                           TextAnchor::TopRight,
                           fontHeight,
                           false,
                           setup.colours.text});
}

} // namespace

std::vector<double> TimeValueTickValues(const TimeGraphSetup& setup) {
    std::vector<double> values;
    const double range = setup.yMax - setup.yMin;
    const bool drawable = std::isfinite(range) && range > 0.0 && setup.yStep > 0.0 &&
                          range / setup.yStep <= kMaxTimeValueTicks;
    if (!drawable) {
        return values;
    }
    for (int i = 0; i * setup.yStep <= 1.01 * range; ++i) {
        values.push_back(setup.yMax - i * setup.yStep);
    }
    return values;
}

std::string TimeAxisUnit(double tMax) {
    return tMax < 0.5 ? "ms" : "s";
}

double TimeTickSpacing(const TimeGraphSetup& setup, int plotWidth, const TextMetrics& metrics) {
    const double span = setup.tMax - setup.tMin;
    if (!(span > 0.0) || !std::isfinite(span) || plotWidth < 1) {
        return 0.0;
    }
    const double factor = TimeUnitFactor(setup.tMax);
    for (int step = 0; step < kTickSpacingSteps; ++step) {
        const double spacing = kSpacingMultipliers[step % kSpacingMultipliers.size()] *
                               kSmallestTickSpacing * std::pow(10.0, step / 3);
        const double pixels = spacing * plotWidth / span;
        if (pixels >= metrics.charWidth &&
            pixels >= MinimumTickPixels(spacing, span, setup.tMin, factor, metrics)) {
            return spacing;
        }
    }
    return 0.0;
}

std::vector<TimeTick> TimeTicks(const TimeGraphSetup& setup, const PixelRect& plot,
                                const TextMetrics& metrics) {
    std::vector<TimeTick> ticks;
    const double spacing = TimeTickSpacing(setup, plot.Width(), metrics);
    if (spacing == 0.0) {
        return ticks;
    }
    const double span = setup.tMax - setup.tMin;
    const double factor = TimeUnitFactor(setup.tMax);
    for (int j = 0; j <= plot.Width(); ++j) {
        const int x = plot.left + static_cast<int>(std::lround(j * spacing * plot.Width() / span));
        if (x >= plot.right - 1) {
            break;
        }
        ticks.push_back({x, TimeLabelText((j * spacing + setup.tMin) * factor)});
    }
    return ticks;
}

PixelRect TimePlotRect(const PixelRect& rect, const TextMetrics& metrics, int labelWidth) {
    const int cx = metrics.charWidth;
    const int cy = metrics.charHeight;
    PixelRect plot{rect.left + labelWidth + cx + 4, rect.top + 2 * (cy / 3),
                   rect.right - 2 - cx / 2, rect.bottom - 2 - 2 * (cy / 3) - cy};
    plot.right = std::max(plot.right, plot.left + 4);
    plot.bottom = std::max(plot.bottom, plot.top + 4);
    return plot;
}

LinearValueAxis TimeValueScale(const TimeGraphSetup& setup, const PixelRect& plot) {
    return {setup.yMax, setup.yMax - setup.yMin, plot.top, plot.Height()};
}

GraphLayout LayOutTimeGraph(const TimeGraphSetup& setup, const PixelRect& rect,
                            const TextMetrics& metrics, int fontHeight) {
    GraphLayout layout;
    if (rect.Height() < 1) {
        return layout;
    }
    int labelWidth = metrics.width(setup.unit);
    for (const double value : TimeValueTickValues(setup)) {
        labelWidth = std::max(labelWidth, metrics.width(TimeValueLabelText(value)));
    }
    PixelRect& plot = layout.plot;
    plot = TimePlotRect(rect, metrics, labelWidth);
    GraphScene& scene = layout.scene;
    scene.fills.push_back({rect, setup.colours.margin});
    scene.fills.push_back({plot, setup.colours.plot});
    scene.frames.push_back(
        {{plot.left, plot.top, plot.right + 1, plot.bottom + 1}, kFrameWidth, setup.colours.frame});
    const int frameLeft = plot.left;
    // Time 0 stands clear of the frame, so a response that starts at once
    // is not hidden under it.
    plot.left += plot.Width() / 128;
    if (TimeValueScale(setup, plot).Valid() && !TimeValueTickValues(setup).empty()) {
        AddValueAxis(layout, setup, frameLeft, metrics, fontHeight);
    }
    AddTimeAxis(layout, setup, metrics, fontHeight);
    layout.hasPlot = TimeValueScale(setup, plot).Valid();
    return layout;
}

int TimeDecimation(int samples) {
    return std::max(1, (samples + kMaxTimeCurvePoints - 1) / kMaxTimeCurvePoints);
}

std::vector<QPointF> TimeCurvePoints(const TimeGraphSetup& setup, const PixelRect& plot,
                                     const VDoubleVec& samples, double samplePeriod,
                                     double pixelRatio) {
    std::vector<QPointF> points;
    const LinearValueAxis scale = TimeValueScale(setup, plot);
    if (!scale.Valid() || !(samplePeriod > 0.0) || samples.Empty()) {
        return points;
    }
    const double lastIndex = samples.GetSize() - 1;
    const int first =
        static_cast<int>(std::clamp(std::round(setup.tMin / samplePeriod), 0.0, lastIndex));
    const int last =
        static_cast<int>(std::clamp(std::round(setup.tMax / samplePeriod), 0.0, lastIndex));
    if (first >= last) {
        return points;
    }
    const int n = last - first + 1;
    const int k = TimeDecimation(n);
    const double pixelsPerSample = plot.Width() * pixelRatio / n;
    points.reserve(static_cast<std::size_t>(n / k + 2));
    for (int i = first; i <= last; i += k) {
        const int groupEnd = std::min(i + k - 1, last);
        double peak = samples[i];
        for (int j = i + 1; j <= groupEnd; ++j) {
            if (std::abs(samples[j]) > std::abs(peak) || !std::isfinite(peak)) {
                peak = samples[j];
            }
        }
        if (!std::isfinite(peak)) {
            continue;
        }
        const QPointF point(plot.left + RoundToPixel((i - first) * pixelsPerSample) / pixelRatio,
                            scale.Y(peak, pixelRatio));
        if (points.empty() || points.back() != point) {
            points.push_back(point);
        }
    }
    if (!points.empty()) {
        points.emplace_back(plot.right, points.back().y());
    }
    return points;
}

} // namespace kv
