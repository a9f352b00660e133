#include "graphs/ResponseAxes.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <utility>

namespace kv {
namespace {

constexpr int kMostLevelIntervals = 10;
constexpr int kMostIntervals = 8;
constexpr double kWrappedPhaseTop = 180.0;
constexpr double kWrappedPhaseSpan = 360.0;
constexpr double kWrappedPhaseStep = 45.0;
constexpr std::array<double, 6> kPhaseSteps = {5, 15, 45, 90, 180, 360};
constexpr double kDegreesPerTurn = 360.0;
constexpr double kSmallestDelayStep = 0.1;
constexpr double kSmallestLevelStep = 0.1;
// The step of a range the arithmetic cannot size: nothing sensible to show.
constexpr double kFallbackStep = 1.0;

const QColor kLevelAxisColour(0, 0, 192);
const QColor kPhaseAxisColour(192, 128, 0);
const QColor kDelayAxisColour(128, 0, 128);

double RoundToThousandths(double value) {
    return std::round(value * 1000.0) / 1000.0;
}

CurveAxisDescriptor Axis(double top, double span, double step, std::string unit,
                         const QColor& colour) {
    const int divisions = static_cast<int>(std::lround(std::clamp(span / step, 1.0, 1000.0)));
    return {top, span, 1.0, divisions, std::move(unit), colour, step, LabelStyle::Plain};
}

CurveAxisDescriptor SteppedAxis(double minimum, double maximum, double step, std::string unit,
                                const QColor& colour) {
    const AxisRange range = WidenToSteps(minimum, maximum, step);
    return Axis(range.top, range.top - range.bottom, step, std::move(unit), colour);
}

CurveAxisDescriptor LevelAxis(const ResponseAxesRequest& request) {
    if (request.level) {
        return Axis(request.level->top, request.level->span, LevelAxisStep(request.level->span),
                    "dB", kLevelAxisColour);
    }
    return Axis(LevelAxisTop(request.maxLevel), request.levelRange,
                LevelAxisStep(request.levelRange), "dB", kLevelAxisColour);
}

} // namespace

double OneTwoFiveStep(double least) {
    if (!(least > 0.0) || !std::isfinite(least)) {
        return kFallbackStep;
    }
    const double decade = std::pow(10.0, std::floor(std::log10(least)));
    for (const double multiplier : {1.0, 2.0, 5.0}) {
        // A tolerance for the rounding of log10 and of the division.
        if (multiplier * decade >= least * (1.0 - 1e-9)) {
            return multiplier * decade;
        }
    }
    return 10.0 * decade;
}

double LevelAxisTop(double maxLevel) {
    return 5.0 * std::trunc(std::trunc(maxLevel + 5.01) / 5.0);
}

double LevelAxisStep(double span) {
    return std::max(kSmallestLevelStep, OneTwoFiveStep(span / kMostLevelIntervals));
}

double PhaseAxisStep(double spread) {
    const double least = spread / kMostIntervals;
    for (const double step : kPhaseSteps) {
        if (step >= least) {
            return step;
        }
    }
    return kDegreesPerTurn * OneTwoFiveStep(least / kDegreesPerTurn);
}

double DelayAxisStep(double spread) {
    return std::max(kSmallestDelayStep, OneTwoFiveStep(spread / kMostIntervals));
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
    axes.push_back(LevelAxis(request));
    if (request.showPhase && request.unwrapped) {
        axes.push_back(SteppedAxis(request.phaseMin, request.phaseMax,
                                   PhaseAxisStep(request.phaseMax - request.phaseMin), "deg",
                                   kPhaseAxisColour));
    } else if (request.showPhase) {
        axes.push_back(
            Axis(kWrappedPhaseTop, kWrappedPhaseSpan, kWrappedPhaseStep, "deg", kPhaseAxisColour));
    }
    if (request.showDelay) {
        axes.push_back(SteppedAxis(request.delayMin, request.delayMax,
                                   DelayAxisStep(request.delayMax - request.delayMin), "ms",
                                   kDelayAxisColour));
    }
    return axes;
}

} // namespace kv
