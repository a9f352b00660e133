#pragma once

#include <cmath>

namespace kv {

// Nearest integer, halves away from zero.
inline long long RoundHalfAway(double x) {
    return std::llround(x);
}

} // namespace kv
