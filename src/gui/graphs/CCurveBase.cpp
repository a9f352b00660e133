#include "graphs/CCurveBase.h"

#include "archive/VString.h"
#include "graphs/CurveLegend.h"
#include "graphs/FreqGraphLayout.h"
#include "graphs/GraphLabels.h"
#include "graphs/LogFrequencyAxis.h"
#include "math/Complex.h"
#include "math/ResponseCurves.h"
#include "model/CConfiguration.h"

#include <QPainter>
#include <QRect>
#include <algorithm>
#include <cmath>

namespace kv {
namespace {

constexpr double kFrequencyViewFloor = -1e37;
constexpr double kNoLevel = -1000.0;
// Name and titles sit this far inside the plot's bottom right corner.
constexpr int kCornerTitleInset = 4;
constexpr int kMinimumTitleHeight = 8;
constexpr double kTimeTitleShare = 0.046;
// The value axes of the time view leave a tenth above the largest peak and
// run in five round steps each way; a peak that rounds to nothing at eight
// decimals is silence.
constexpr double kPeakHeadroom = 1.1;
constexpr int kTimeValueSteps = 5;
constexpr double kSilence = 0.5e-8;
// The legend looks at every few grid points of a curve to find where it
// hides the least.
constexpr int kLegendPointStride = 3;

// The extremes of the finite values of curves; empty (maximum below
// minimum) until a value comes.
struct Extremes {
    double maximum = -1e37;
    double minimum = 1e37;

    void Include(const VDoubleVec& values, int first, int last) {
        for (int i = first; i <= last; ++i) {
            if (std::isfinite(values[i])) {
                maximum = std::max(maximum, values[i]);
                minimum = std::min(minimum, values[i]);
            }
        }
    }
};

// Level, phase and group delay of one shown curve.
struct FrequencyCurve {
    const ViewCurve* curve;
    VDoubleVec level;
    VDoubleVec phase;
    VDoubleVec delay;
};

// The grid points a zoomed view shows: those within its range and the one
// on either side, so that its extremes cover the lines to the edges.
struct GridSpan {
    int first;
    int last;
};

GridSpan VisibleSpan(const VDoubleVec& grid, const ViewZoom& zoom) {
    const auto low = std::lower_bound(grid.begin(), grid.end(), zoom.fMin);
    const auto high = std::upper_bound(grid.begin(), grid.end(), zoom.fMax);
    const int size = grid.GetSize();
    return {std::max(0, static_cast<int>(low - grid.begin()) - 1),
            std::min(size - 1, static_cast<int>(high - grid.begin()))};
}

double PeakMagnitude(const VDoubleVec& samples) {
    double peak = 0.0;
    for (const double sample : samples) {
        if (std::isfinite(sample)) {
            peak = std::max(peak, std::abs(sample));
        }
    }
    return peak;
}

bool HasTimeResponses(const ViewCurve& curve) {
    return curve.shown && !curve.impulse.Empty() && !curve.step.Empty();
}

const VDoubleVec& ImpulseOf(const ViewCurve& curve) {
    return curve.impulse;
}

const VDoubleVec& StepOf(const ViewCurve& curve) {
    return curve.step;
}

bool OnGrid(const ViewCurve& curve, const VDoubleVec& grid) {
    return !curve.response.Empty() && curve.response.GetSize() == grid.GetSize();
}

// Level, phase and group delay of the shown curves that have a response on
// the grid, levels raised by the target level where the curve asks.
std::vector<FrequencyCurve> ShownFrequencyCurves(const std::vector<ViewCurve>& curves,
                                                 const ResponseViewSource& source) {
    std::vector<FrequencyCurve> shown;
    const bool unwrapped = source.showFlags[ShowFlag::UnwrappedPhase];
    for (const ViewCurve& curve : curves) {
        FrequencyCurve computed{&curve, VDoubleVec(), VDoubleVec(), VDoubleVec()};
        if (curve.shown && OnGrid(curve, source.frequencies) &&
            ComputeResponseCurves(curve.response, source.frequencies, computed.level,
                                  computed.phase, computed.delay, unwrapped)) {
            if (curve.relativeToTargetLevel) {
                computed.level += source.configuration.targetLevel;
            }
            shown.push_back(std::move(computed));
        }
    }
    return shown;
}

// The point of an ascending grid nearest to a frequency on a logarithmic
// axis: the lower or upper neighbour, whichever the smaller ratio apart.
int NearestGridPoint(const VDoubleVec& grid, double hz) {
    const auto above = std::lower_bound(grid.begin(), grid.end(), hz);
    if (above == grid.begin()) {
        return 0;
    }
    const auto below = above - 1;
    const bool takeAbove = above != grid.end() && *above / hz < hz / *below;
    return static_cast<int>((takeAbove ? above : below) - grid.begin());
}

bool Contains(const PixelRect& plot, int x, int y) {
    return x >= plot.left && x < plot.right && y >= plot.top && y < plot.bottom;
}

// Every few points of a curve's values as the plot places them, for the
// legend to keep clear of.
void AddSampledPoints(std::vector<QPointF>& points, const LogFrequencyAxis& frequencyAxis,
                      const LinearValueAxis& valueAxis, const VDoubleVec& grid,
                      const VDoubleVec& values, const GridSpan& span) {
    if (!frequencyAxis.Valid() || !valueAxis.Valid()) {
        return;
    }
    for (int i = span.first; i <= span.last && i < values.GetSize(); i += kLegendPointStride) {
        if (std::isfinite(values[i])) {
            points.emplace_back(frequencyAxis.X(grid[i]), valueAxis.Y(values[i]));
        }
    }
}

// The value axes of a time view: a round step, and the range of whole steps
// that leaves a tenth above the peak; -1 … 1 when there is no peak.
struct TimeValueSteps {
    double range;
    double step;
};

TimeValueSteps TimeValueStepsFor(double peak) {
    const double least = kPeakHeadroom * peak;
    if (!(least >= kSilence) || !std::isfinite(least)) {
        return {1.0, 1.0 / kTimeValueSteps};
    }
    const double step = OneTwoFiveStep(least / kTimeValueSteps);
    return {step * std::ceil(least / step - 1e-9), step};
}

} // namespace

CCurveBase::CCurveBase(ResponseViewSource& source) : source_(source) {
    graph_.SetMarginColour(kResponseMarginColour);
    graph_.SetMinimumFontHeight(kResponseMinimumFontHeight);
    for (VTimeGraph* graph : {&impulseGraph_, &stepGraph_}) {
        graph->SetMarginColour(kResponseMarginColour);
        graph->SetMinimumFontHeight(kResponseMinimumFontHeight);
    }
    // A fresh pane shows a level axis from 10 dB down to -30 dB.
    ResponseAxesRequest fresh;
    fresh.maxLevel = 5.0;
    SetAxes(fresh);
}

void CCurveBase::SetAxes(ResponseAxesRequest request) {
    request.level = zoom_.level;
    graph_.SetCurves(zoom_.fMin, zoom_.fMax, BuildResponseAxes(request));
}

bool CCurveBase::DrawFrequencyCurves(QPainter& painter, const QRect& rect, int titleHeight) {
    const ShowFlags& flags = source_.showFlags;
    ResponseAxesRequest request;
    request.levelRange = LevelRange();
    const std::vector<ViewCurve> curves = Curves();
    const std::vector<FrequencyCurve> shown = ShownFrequencyCurves(curves, source_);
    if (shown.empty()) {
        request.maxLevel = 5.0;
        SetAxes(request);
        graph_.Draw(painter, rect);
        return false;
    }
    request.showPhase = flags[ShowFlag::Phase];
    request.showDelay = flags[ShowFlag::GroupDelay];
    request.unwrapped = flags[ShowFlag::UnwrappedPhase];
    const VDoubleVec& grid = source_.frequencies;
    const GridSpan span = VisibleSpan(grid, zoom_);
    Extremes level;
    Extremes phase;
    Extremes delay;
    for (const FrequencyCurve& curve : shown) {
        level.Include(curve.level, span.first, span.last);
        phase.Include(curve.phase, span.first, span.last);
        delay.Include(curve.delay, span.first, span.last);
    }
    request.maxLevel = std::max(kNoLevel, level.maximum);
    request.phaseMax = phase.maximum;
    request.phaseMin = phase.minimum;
    request.delayMax = delay.maximum;
    request.delayMin = delay.minimum;
    SetAxes(request);
    graph_.Draw(painter, rect);

    const int delayAxis = request.showPhase ? 2 : 1;
    const PixelRect& plot = graph_.PlotRect();
    const LogFrequencyAxis frequencyAxis = FrequencyAxisScale(graph_.Setup(), plot);
    const auto valueAxis = [&](int axis) {
        return ValueAxisScale(graph_.Setup().axes[static_cast<std::size_t>(axis)], plot);
    };
    Legend legend{{}, request.showPhase, request.showDelay};
    std::vector<QPointF> points;
    const auto drawLine = [&](const FrequencyCurve& curve, int axis, const VDoubleVec& values,
                              Quantity quantity, int width) {
        const CurveLook& look = curve.curve->look;
        graph_.DrawCurve(painter, axis, grid, values, look.colour, width,
                         QuantityPen(quantity, look), kFrequencyViewFloor);
        AddSampledPoints(points, frequencyAxis, valueAxis(axis), grid, values, span);
    };
    for (const FrequencyCurve& curve : shown) {
        if (request.showDelay) {
            drawLine(curve, delayAxis, curve.delay, Quantity::GroupDelay, 1);
        }
        if (request.showPhase) {
            drawLine(curve, 1, curve.phase, Quantity::Phase, 1);
        }
        drawLine(curve, 0, curve.level, Quantity::Level, curve.curve->look.levelWidth);
        legend.curves.push_back(curve.curve->look);
    }
    const int fontHeight = GraphFontHeight(rect.height(), kResponseMinimumFontHeight);
    DrawLegend(painter, legend, plot, points, fontHeight, titleHeight);
    return true;
}

void CCurveBase::DrawLegend(QPainter& painter, const Legend& legend, const PixelRect& plot,
                            const std::vector<QPointF>& points, int fontHeight,
                            int titleHeight) const {
    const TextMetrics metrics = MeasureFont(GraphFont(fontHeight, false), painter.device());
    const LegendLayout layout =
        PlaceLegend(MeasureLegend(legend, metrics, plot), plot, points, titleHeight);
    PaintLegend(painter, legend, layout, fontHeight);
}

void CCurveBase::DrawTimeView(QPainter& painter, const QRect& rect) {
    const std::vector<ViewCurve> curves = Curves();
    double impulsePeak = 0.0;
    double stepPeak = 0.0;
    Legend legend;
    for (const ViewCurve& curve : curves) {
        if (HasTimeResponses(curve)) {
            impulsePeak = std::max(impulsePeak, PeakMagnitude(curve.impulse));
            stepPeak = std::max(stepPeak, PeakMagnitude(curve.step));
            legend.curves.push_back(curve.look);
        }
    }
    const int half = rect.height() / 2;
    const QRect impulseRect(rect.left(), rect.top(), rect.width(), half);
    const QRect stepRect(rect.left(), rect.top() + half + 1, rect.width(),
                         rect.height() - half - 1);
    DrawTimeGraph(painter, impulseGraph_, impulseRect, impulsePeak, "PIR", curves, ImpulseOf);
    DrawTimeGraph(painter, stepGraph_, stepRect, stepPeak, "Step Response", curves, StepOf);
    const PixelRect& plot = impulseGraph_.PlotRect();
    DrawLegend(painter, legend, plot, {},
               GraphFontHeight(impulseRect.height(), kResponseMinimumFontHeight), plot.Height());
}

void CCurveBase::DrawTimeGraph(QPainter& painter, VTimeGraph& graph, const QRect& rect, double peak,
                               const std::string& title, const std::vector<ViewCurve>& curves,
                               const VDoubleVec& (*samples)(const ViewCurve&)) {
    const TimeValueSteps scale = TimeValueStepsFor(peak);
    graph.SetScale(0.0, source_.visiblePirLength, scale.range, -scale.range, scale.step);
    graph.SetUnit("Pa");
    graph.Draw(painter, rect);
    DrawCornerTitle(painter, graph, graph.PlotRect(), title, kTimeTitleShare);
    const double samplePeriod = 1.0 / source_.configuration.sampleRate;
    for (const ViewCurve& curve : curves) {
        if (HasTimeResponses(curve)) {
            graph.DrawCurve(painter, samples(curve), samplePeriod, curve.look.levelWidth,
                            curve.look.levelPen, curve.look.colour);
        }
    }
}

void CCurveBase::DrawCornerTitle(QPainter& painter, const VGraphics& graph, const PixelRect& plot,
                                 const std::string& text, double heightShare, TextAnchor corner,
                                 const QColor& colour) const {
    const int height =
        std::max(kMinimumTitleHeight, static_cast<int>(std::lround(heightShare * plot.Height())));
    const int x = corner == TextAnchor::BottomLeft ? plot.left + kCornerTitleInset
                                                   : plot.right - kCornerTitleInset;
    graph.DrawText(painter,
                   {text, {x, plot.bottom - kCornerTitleInset}, corner, height, true, colour});
}

int CCurveBase::CornerTitleHeight(double heightShare) const {
    const int plotHeight = graph_.PlotRect().Height();
    return std::max(kMinimumTitleHeight, static_cast<int>(std::lround(heightShare * plotHeight))) +
           kCornerTitleInset;
}

} // namespace kv

namespace kv {

ViewPart CCurveBase::PartAt(const QPoint& point) const {
    const PixelRect& plot = graph_.PlotRect();
    if (plot.Width() <= 0 || plot.Height() <= 0) {
        return ViewPart::Outside;
    }
    const bool besidePlot = point.y() >= plot.top && point.y() < plot.bottom;
    const bool underPlot = point.x() >= plot.left && point.x() < plot.right;
    if (besidePlot && underPlot) {
        return ViewPart::Plot;
    }
    if (underPlot && point.y() >= plot.bottom) {
        return ViewPart::FrequencyAxis;
    }
    if (besidePlot && point.x() < plot.left) {
        return ViewPart::LevelAxis;
    }
    return ViewPart::Outside;
}

double CCurveBase::FrequencyAt(double x) const {
    return FrequencyAxisScale(graph_.Setup(), graph_.PlotRect()).Frequency(x);
}

double CCurveBase::XOf(double hz) const {
    return FrequencyAxisScale(graph_.Setup(), graph_.PlotRect()).X(hz);
}

double CCurveBase::LevelAt(double y) const {
    return ValueAxisScale(graph_.Setup().axes.front(), graph_.PlotRect()).Value(y);
}

LevelWindow CCurveBase::ShownLevels() const {
    const CurveAxisDescriptor& level = graph_.Setup().axes.front();
    return {level.top, level.span};
}

std::optional<QPointF> CCurveBase::HandlePoint(double) const {
    return std::nullopt;
}

double CCurveBase::LevelOf(const ViewCurve& curve, double hz) const {
    const VDoubleVec& grid = source_.frequencies;
    if (!OnGrid(curve, grid) || !(hz > 0.0)) {
        return kNoLevel;
    }
    const double at = std::clamp(hz, grid[0], grid[grid.GetSize() - 1]);
    const auto above = std::lower_bound(grid.begin(), grid.end(), at);
    const int upper = std::clamp(static_cast<int>(above - grid.begin()), 1, grid.GetSize() - 1);
    const int lower = upper - 1;
    // Between two grid points the level runs straight on the logarithmic
    // axis, as the drawn line does.
    const double level =
        LogInterpolate(at, grid[lower], MagnitudeToDb(Magnitude(curve.response[lower])),
                       grid[upper], MagnitudeToDb(Magnitude(curve.response[upper])));
    return curve.relativeToTargetLevel ? level + source_.configuration.targetLevel : level;
}

std::vector<ReadoutLine> CCurveBase::FrequencyReadout(int x) const {
    std::vector<ReadoutLine> lines;
    const PixelRect& plot = graph_.PlotRect();
    const VDoubleVec& grid = source_.frequencies;
    if (x < plot.left || x >= plot.right || grid.Empty()) {
        return lines;
    }
    const LogFrequencyAxis axis = FrequencyAxisScale(graph_.Setup(), plot);
    if (!axis.Valid()) {
        return lines;
    }
    const int point = NearestGridPoint(grid, axis.Frequency(x));
    lines.push_back({ReadoutFrequencyText(grid[point]), QColor(32, 32, 96)});
    const std::vector<ViewCurve> curves = Curves();
    const bool showPhase = source_.showFlags[ShowFlag::Phase];
    const bool showDelay = source_.showFlags[ShowFlag::GroupDelay];
    for (const FrequencyCurve& curve : ShownFrequencyCurves(curves, source_)) {
        VString text;
        text.Format("%s: %.1f dB", curve.curve->look.name.c_str(), curve.level[point]);
        if (showPhase) {
            VString phase;
            phase.Format(", %.0f\u00B0", curve.phase[point]);
            text += phase;
        }
        if (showDelay) {
            VString delay;
            delay.Format(", %.2f ms", curve.delay[point]);
            text += delay;
        }
        lines.push_back({text, curve.curve->look.colour});
    }
    return lines;
}

std::vector<ReadoutLine> CCurveBase::TimeReadout(int x, int y) const {
    std::vector<ReadoutLine> lines;
    const bool impulse = Contains(impulseGraph_.PlotRect(), x, y);
    const VTimeGraph& graph = impulse ? impulseGraph_ : stepGraph_;
    const PixelRect& plot = graph.PlotRect();
    if (!Contains(plot, x, y) || plot.Width() <= 0) {
        return lines;
    }
    const TimeGraphSetup& setup = graph.Setup();
    const double t = setup.tMin + (x - plot.left) * (setup.tMax - setup.tMin) / plot.Width();
    VString time;
    time.Format("%s, t = %.3f ms", impulse ? "PIR" : "Step Response", t * 1000.0);
    lines.push_back({time, QColor(32, 32, 96)});
    const double sampleRate = source_.configuration.sampleRate;
    for (const ViewCurve& curve : Curves()) {
        const VDoubleVec& samples = impulse ? curve.impulse : curve.step;
        const auto index = static_cast<int>(std::lround(t * sampleRate));
        if (HasTimeResponses(curve) && index >= 0 && index < samples.GetSize()) {
            VString text;
            text.Format("%s: %.4g Pa", curve.look.name.c_str(), samples[index]);
            lines.push_back({text, curve.look.colour});
        }
    }
    return lines;
}

} // namespace kv
