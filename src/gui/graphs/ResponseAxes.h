#pragma once

#include "graphs/FreqGraphLayout.h"

#include <optional>
#include <vector>

namespace kv {

// The level span of the response views, in dB, until the user sets another.
inline constexpr double kLevelRange = 40.0;

// The level axis top for the highest level shown: the next multiple of 5 dB
// that leaves at least 5 dB above it (92.3 dB gives 95, -7 dB gives 0).
double LevelAxisTop(double maxLevel);

// Round steps in each axis's unit, from a spread of values: the smallest
// step that leaves at most eight intervals (ten for the level).
// Decibels and milliseconds go in steps of 1, 2 and 5 times a power of ten
// (a 40 dB level axis in 5 dB steps); degrees in 5, 15, 45, 90, 180 and 360,
// then whole turns of 2, 5, 10, … .
double LevelAxisStep(double span);
// The smallest of 1, 2 and 5 times a power of ten that is at least least (1
// for what is no positive number).
double OneTwoFiveStep(double least);
double PhaseAxisStep(double spread);
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

// A level axis the user has placed: its top and its span, in dB.
struct LevelWindow {
    double top;
    double span;

    bool operator==(const LevelWindow&) const = default;
};

// What the curves of a frequency view span, and which axes they need; the
// level axis spans levelRange below a top that follows the curves, unless
// the user has placed it.
struct ResponseAxesRequest {
    double maxLevel = 0.0;
    double phaseMax = 0.0;
    double phaseMin = 0.0;
    double delayMax = 0.0;
    double delayMin = 0.0;
    bool showPhase = false;
    bool showDelay = false;
    bool unwrapped = false;
    double levelRange = kLevelRange;
    std::optional<LevelWindow> level;
};

// The level axis, then the phase axis when shown, then the group-delay axis
// when shown; each labelled in round steps without engineering suffixes.
std::vector<CurveAxisDescriptor> BuildResponseAxes(const ResponseAxesRequest& request);

} // namespace kv
