#include "graphs/CCurveBase.h"

#include "archive/VString.h"
#include "graphs/FreqGraphLayout.h"
#include "graphs/LogFrequencyAxis.h"
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
// The value axes of the time view leave a tenth above the largest peak,
// kept to eight decimals.
constexpr double kPeakHeadroom = 1.1;
constexpr double kPeakRounding = 1e8;

// The extremes of the finite values of curves; empty (maximum below
// minimum) until a value comes.
struct Extremes {
    double maximum = -1e37;
    double minimum = 1e37;

    void Include(const VDoubleVec& values) {
        for (const double value : values) {
            if (std::isfinite(value)) {
                maximum = std::max(maximum, value);
                minimum = std::min(minimum, value);
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

double PeakMagnitude(const VDoubleVec& samples) {
    double peak = 0.0;
    for (const double sample : samples) {
        if (std::isfinite(sample)) {
            peak = std::max(peak, std::abs(sample));
        }
    }
    return peak;
}

// Half the span of a time view's value axis: the peak and a tenth, or 1
// when nothing is shown or the curves are silent.
double TimeAxisRange(double peak) {
    const double range = std::round(kPeakHeadroom * peak * kPeakRounding) / kPeakRounding;
    return range > 0.0 && std::isfinite(range) ? range : 1.0;
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

// Level, phase and group delay of the shown curves that have a response on
// the grid, levels raised by the target level where the curve asks.
std::vector<FrequencyCurve> ShownFrequencyCurves(const std::vector<ViewCurve>& curves,
                                                 const ResponseViewSource& source) {
    std::vector<FrequencyCurve> shown;
    const bool unwrapped = source.showFlags[ShowFlag::UnwrappedPhase];
    for (const ViewCurve& curve : curves) {
        FrequencyCurve computed{&curve, VDoubleVec(), VDoubleVec(), VDoubleVec()};
        const bool onGrid =
            !curve.response.Empty() && curve.response.GetSize() == source.frequencies.GetSize();
        if (curve.shown && onGrid &&
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

std::string FrequencyText(double hz) {
    VString text;
    if (hz < 1000.0) {
        text.Format("%.1f Hz", hz);
    } else {
        text.Format("%.2f kHz", hz / 1000.0);
    }
    return text;
}

bool Contains(const PixelRect& plot, int x, int y) {
    return x >= plot.left && x < plot.right && y >= plot.top && y < plot.bottom;
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
    SetAxes(5.0, 0.0, 0.0, 0.0, 0.0, false, false, false);
}

void CCurveBase::SetAxes(double maxLevel, double phaseMax, double phaseMin, double delayMax,
                         double delayMin, bool showPhase, bool showDelay, bool unwrapped) {
    const std::vector<CurveAxisDescriptor> axes = BuildResponseAxes(
        {maxLevel, phaseMax, phaseMin, delayMax, delayMin, showPhase, showDelay, unwrapped});
    graph_.SetCurves(kMainGridStart, kMainGridStop, axes);
}

bool CCurveBase::DrawFrequencyCurves(QPainter& painter, const QRect& rect) {
    const ShowFlags& flags = source_.showFlags;
    const bool showPhase = flags[ShowFlag::Phase];
    const bool showDelay = flags[ShowFlag::GroupDelay];
    const bool unwrapped = flags[ShowFlag::UnwrappedPhase];
    const std::vector<ViewCurve> curves = Curves();
    const std::vector<FrequencyCurve> shown = ShownFrequencyCurves(curves, source_);
    if (shown.empty()) {
        graph_.Draw(painter, rect);
        return false;
    }
    double maxLevel = kNoLevel;
    Extremes phase;
    Extremes delay;
    for (const FrequencyCurve& curve : shown) {
        for (const double level : curve.level) {
            maxLevel = std::isfinite(level) ? std::max(maxLevel, level) : maxLevel;
        }
        if (showPhase && unwrapped) {
            phase.Include(curve.phase);
        }
        if (showDelay) {
            delay.Include(curve.delay);
        }
    }
    SetAxes(maxLevel, phase.maximum, phase.minimum, delay.maximum, delay.minimum, showPhase,
            showDelay, unwrapped);
    graph_.Draw(painter, rect);
    const VDoubleVec& grid = source_.frequencies;
    for (const FrequencyCurve& curve : shown) {
        const CurveStyle& style = curve.curve->style;
        if (showDelay) {
            graph_.DrawCurve(painter, showPhase ? 2 : 1, grid, curve.delay, style.delay, 1,
                             style.pen, kFrequencyViewFloor);
        }
        if (showPhase) {
            graph_.DrawCurve(painter, 1, grid, curve.phase, style.phase, 1, style.pen,
                             kFrequencyViewFloor);
        }
        graph_.DrawCurve(painter, 0, grid, curve.level, style.level, style.levelWidth, style.pen,
                         kFrequencyViewFloor);
    }
    return true;
}

void CCurveBase::DrawTimeView(QPainter& painter, const QRect& rect) {
    const std::vector<ViewCurve> curves = Curves();
    bool anyShown = false;
    double impulsePeak = 0.0;
    double stepPeak = 0.0;
    for (const ViewCurve& curve : curves) {
        if (HasTimeResponses(curve)) {
            anyShown = true;
            impulsePeak = std::max(impulsePeak, PeakMagnitude(curve.impulse));
            stepPeak = std::max(stepPeak, PeakMagnitude(curve.step));
        }
    }
    const double impulseRange = anyShown ? TimeAxisRange(impulsePeak) : 1.0;
    const double stepRange = anyShown ? TimeAxisRange(stepPeak) : 1.0;
    const int half = rect.height() / 2;
    const QRect impulseRect(rect.left(), rect.top(), rect.width(), half);
    const QRect stepRect(rect.left(), rect.top() + half + 1, rect.width(),
                         rect.height() - half - 1);
    DrawTimeGraph(painter, impulseGraph_, impulseRect, impulseRange, "PIR", curves, ImpulseOf);
    DrawTimeGraph(painter, stepGraph_, stepRect, stepRange, "Step Response", curves, StepOf);
}

void CCurveBase::DrawTimeGraph(QPainter& painter, VTimeGraph& graph, const QRect& rect,
                               double range, const std::string& title,
                               const std::vector<ViewCurve>& curves,
                               const VDoubleVec& (*samples)(const ViewCurve&)) {
    graph.SetScale(0.0, source_.visiblePirLength, range, -range, range / 5.0);
    graph.SetUnit("Pa");
    graph.Draw(painter, rect);
    DrawCornerTitle(painter, graph, graph.PlotRect(), title, kTimeTitleShare);
    const double samplePeriod = 1.0 / source_.configuration.sampleRate;
    for (const ViewCurve& curve : curves) {
        if (HasTimeResponses(curve)) {
            graph.DrawCurve(painter, samples(curve), samplePeriod, curve.style.levelWidth,
                            Qt::SolidLine, curve.style.level);
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

} // namespace kv

namespace kv {

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
    lines.push_back({FrequencyText(grid[point]), QColor(32, 32, 96)});
    const std::vector<ViewCurve> curves = Curves();
    const bool showPhase = source_.showFlags[ShowFlag::Phase];
    const bool showDelay = source_.showFlags[ShowFlag::GroupDelay];
    for (const FrequencyCurve& curve : ShownFrequencyCurves(curves, source_)) {
        VString text;
        text.Format("%s: %.1f dB", curve.curve->name, curve.level[point]);
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
        lines.push_back({text, curve.curve->style.level});
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
            text.Format("%s: %.4g Pa", curve.name, samples[index]);
            lines.push_back({text, curve.style.level});
        }
    }
    return lines;
}

} // namespace kv
