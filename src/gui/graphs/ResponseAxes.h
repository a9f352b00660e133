#pragma once

#include "graphs/FreqGraphLayout.h"

#include <vector>

namespace kv {

// The level span of the response views, in dB.
inline constexpr double kLevelRange = 40.0;
inline constexpr int kResponseAxisDivisions = 8;

// The level axis top for the highest level shown: the next multiple of 5 dB
// that leaves at least 5 dB above it (92.3 dB gives 95, -7 dB gives 0).
double LevelAxisTop(double maxLevel);

// The step an unwrapped phase range (degrees) is rounded to.
double PhaseAxisStep(double spread);
// The step a group-delay range (ms) is rounded to.
double DelayAxisStep(double spread);

struct AxisRange {
    double top;
    double bottom;
};

// A range widened to whole steps: the top a step multiple at or above the
// maximum (0 when the maximum is negative), the bottom whole steps down from
// it at or below the minimum; an extreme that lands on its new end gets one
// step more, so no curve runs along the frame. A range without data (maximum
// below minimum) is taken as 0 … 0.
AxisRange WidenToSteps(double minimum, double maximum, double step);

// What the curves of a frequency view span, and which axes they need.
struct ResponseAxesRequest {
    double maxLevel = 0.0;
    double phaseMax = 0.0;
    double phaseMin = 0.0;
    double delayMax = 0.0;
    double delayMin = 0.0;
    bool showPhase = false;
    bool showDelay = false;
    bool unwrapped = false;
};

// The level axis, then the phase axis when shown, then the group-delay axis
// when shown.
std::vector<CurveAxisDescriptor> BuildResponseAxes(const ResponseAxesRequest& request);

} // namespace kv
