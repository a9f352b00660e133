#include "math/EndTrend.h"

#include <algorithm>
#include <cmath>

namespace kv {
namespace {

constexpr double kThirdOctave = 1.2599210498948732; // 2^(1/3)

} // namespace

EndTrendPoints FindEndTrendPoints(const VDoubleVec& frequencies) {
    const int c = frequencies.GetSize();
    if (c < 2) {
        return {};
    }
    const double fmin = frequencies.Min();
    const double fmax = frequencies.Max();
    int i1 = 1;
    while (i1 < c - 1 && frequencies[i1] < fmin * kThirdOctave) {
        ++i1;
    }
    int i2 = c - 2;
    while (i2 > 0 && !(frequencies[i2] < fmax / kThirdOctave)) {
        --i2;
    }
    i2 = std::max(i2, 0);
    return {i1, i2, std::log2(frequencies[i1] / fmin), std::log2(fmax / frequencies[i2])};
}

double FallingTrend(double endDb, double innerDb, double octaves) {
    return octaves > 0.0 ? std::max(0.0, (innerDb - endDb) / octaves) : 0.0;
}

} // namespace kv
