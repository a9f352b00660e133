#include "math/VFreqVec.h"

#include "math/Rounding.h"

#include <cmath>

namespace kv {
namespace {

// Room beyond the computed point count, so that rounding of the repeated
// multiplication can never exhaust the grid before it reaches stop.
constexpr int kLogGridMargin = 8;

} // namespace

bool VFreqVec::Create(double start, double stop, int count, bool linear, bool reverse) {
    if (linear) {
        pointsPerOctave_ = 0;
        if (!SetSize(count)) {
            SetSize(0);
            return false;
        }
        const double step = (stop - start) / (count - 1);
        for (int i = 0; i < GetSize(); ++i) {
            (*this)[i] = reverse ? stop - i * step : start + i * step;
        }
        return true;
    }
    pointsPerOctave_ = count;
    const double octaves = start < stop ? std::log2(stop / start) : 0.0;
    const long long room = RoundHalfAway(octaves * count) + kLogGridMargin;
    if (room > INT32_MAX || !SetSize(static_cast<int>(room))) {
        SetSize(0);
        return false;
    }
    const double factor = std::pow(2.0, 1.0 / count);
    double f = start;
    for (int i = 0; i < room; ++i) {
        if (!(f < stop)) {
            f = stop;
        }
        (*this)[i] = f;
        if (f == stop) {
            SetSize(i + 1);
            break;
        }
        f *= factor;
    }
    if (reverse) {
        Reverse(0, -1);
    }
    return true;
}

} // namespace kv
