#pragma once

#include <algorithm>

namespace kv {

// Nearest whole number, halves away from zero, for pixel positions. Plain
// arithmetic instead of a library call: positions are rounded per curve
// point, and the call costs more than the rounding. Values are first kept
// within what any device coordinate could need.
inline double RoundToPixel(double value) {
    constexpr double kLimit = 1e15;
    const double kept = std::clamp(value, -kLimit, kLimit);
    return static_cast<double>(static_cast<long long>(kept + (kept < 0.0 ? -0.5 : 0.5)));
}

// Coordinates of wild values kept within what any paint device takes.
inline double ClampToDevice(double coordinate) {
    constexpr double kCoordinateLimit = 32000.0;
    return std::clamp(coordinate, -kCoordinateLimit, kCoordinateLimit);
}

} // namespace kv
