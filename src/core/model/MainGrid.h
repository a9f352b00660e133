#pragma once

#include "math/VFreqVec.h"

namespace kv {

// The frequency grid every response of the program is computed on, and the
// length of the time responses the main window asks for.
inline constexpr double kMainGridStart = 10.0;
inline constexpr double kMainGridStop = 40000.0;
inline constexpr int kMainGridPointsPerOctave = 48;
inline constexpr double kMainPirLength = 0.02;

// 576 points from 10 Hz to exactly 40 kHz.
inline bool CreateMainGrid(VFreqVec& grid) {
    return grid.Create(kMainGridStart, kMainGridStop, kMainGridPointsPerOctave, false, false);
}

} // namespace kv
