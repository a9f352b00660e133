#include "graphs/ResponseAxes.h"

#include <cmath>
#include <utility>

namespace kv {
namespace {

struct StepRow {
    double below;
    double step;
};

constexpr StepRow kPhaseSteps[] = {{9, 11.25}, {180, 22.5}, {360, 45}, {720, 90}};
constexpr double kLargestPhaseStep = 180.0;
constexpr StepRow kDelaySteps[] = {{0.5, 0.1}, {1, 0.25},  {2, 0.5},   {5, 1},
                                   {10, 2.5},  {20, 5},    {50, 10},   {100, 25},
                                   {200, 50},  {500, 100}, {1000, 250}};
constexpr double kLargestDelayStep = 1000.0;
constexpr double kWrappedPhaseTop = 180.0;
constexpr double kWrappedPhaseSpan = 360.0;

template <std::size_t N> double StepFor(double spread, const StepRow (&rows)[N], double largest) {
    for (const StepRow& row : rows) {
        if (spread < row.below) {
            return row.step;
        }
    }
    return largest;
}

double RoundToThousandths(double value) {
    return std::round(value * 1000.0) / 1000.0;
}

CurveAxisDescriptor Axis(double top, double span, std::string unit, const QColor& colour) {
    return {top, span, 1.0, kResponseAxisDivisions, std::move(unit), colour};
}

CurveAxisDescriptor SteppedAxis(double minimum, double maximum, double step, std::string unit,
                                const QColor& colour) {
    const AxisRange range = WidenToSteps(minimum, maximum, step);
    return Axis(range.top, range.top - range.bottom, std::move(unit), colour);
}

} // namespace

double LevelAxisTop(double maxLevel) {
    return 5.0 * std::trunc(std::trunc(maxLevel + 5.01) / 5.0);
}

double PhaseAxisStep(double spread) {
    return StepFor(spread, kPhaseSteps, kLargestPhaseStep);
}

double DelayAxisStep(double spread) {
    return StepFor(spread, kDelaySteps, kLargestDelayStep);
}

AxisRange WidenToSteps(double minimum, double maximum, double step) {
    if (!(maximum >= minimum) || !std::isfinite(maximum) || !std::isfinite(minimum)) {
        minimum = 0.0;
        maximum = 0.0;
    }
    double top = maximum < 0.0 ? 0.0 : step * std::ceil(maximum / step);
    if (RoundToThousandths(maximum) == RoundToThousandths(top)) {
        top += step;
    }
    double bottom = top - step * std::ceil((top - minimum) / step);
    if (RoundToThousandths(minimum) == RoundToThousandths(bottom)) {
        bottom -= step;
    }
    return {top, bottom};
}

std::vector<CurveAxisDescriptor> BuildResponseAxes(const ResponseAxesRequest& request) {
    std::vector<CurveAxisDescriptor> axes;
    axes.push_back(Axis(LevelAxisTop(request.maxLevel), kLevelRange, "dB", QColor(0, 0, 192)));
    const QColor phaseColour(192, 128, 0);
    if (request.showPhase && request.unwrapped) {
        axes.push_back(SteppedAxis(request.phaseMin, request.phaseMax,
                                   PhaseAxisStep(request.phaseMax - request.phaseMin), "deg",
                                   phaseColour));
    } else if (request.showPhase) {
        axes.push_back(Axis(kWrappedPhaseTop, kWrappedPhaseSpan, "deg", phaseColour));
    }
    if (request.showDelay) {
        axes.push_back(SteppedAxis(request.delayMin, request.delayMax,
                                   DelayAxisStep(request.delayMax - request.delayMin), "ms",
                                   QColor(128, 0, 128)));
    }
    return axes;
}

} // namespace kv
