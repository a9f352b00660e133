#pragma once

#include <cmath>

namespace kv {

// Nearest integer, halves away from zero.
//
// Below 2^52 in magnitude a value splits exactly into its truncated integer
// and a fraction, which decides the rounding without calling the library:
// phase unwrapping rounds once per grid point on every recalculation. Larger
// values (already whole numbers) and NaN go to llround.
inline long long RoundHalfAway(double x) {
    constexpr double kWholeFromHere = 4503599627370496.0; // 2^52
    if (!(std::fabs(x) < kWholeFromHere)) {
        return std::llround(x);
    }
    const auto whole = static_cast<long long>(x);
    const double fraction = x - static_cast<double>(whole);
    if (fraction >= 0.5) {
        return whole + 1;
    }
    return fraction <= -0.5 ? whole - 1 : whole;
}

} // namespace kv
