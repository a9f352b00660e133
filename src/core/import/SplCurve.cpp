#include "import/SplCurve.h"

#include "import/VSmooth.h"
#include "math/ResponseCurves.h"
#include "math/Rounding.h"
#include "model/CBand.h"

#include <cmath>

namespace kv {
namespace {

constexpr double kLn10 = 2.302585092994046;
constexpr double kMaxExponent = 30.0;
constexpr double kMaxMagnitude = 10686474000000.0;
constexpr double kMinExponent = -87.4982335338;
constexpr double kMinMagnitude = 1e-38;

struct LevelAndPhase {
    VDoubleVec level;
    VDoubleVec phase;
};

// The raw curve as level in dB and phase in radians, one point per frequency
// (0 dB and 0 rad where the raw curve is shorter).
LevelAndPhase SplitRawCurve(const CBand& band) {
    const int n = band.splFreqs.GetSize();
    LevelAndPhase curve{VDoubleVec(n), VDoubleVec(n)};
    if (band.splRaw.GetSize() >= n) {
        for (int i = 0; i < n; ++i) {
            curve.level[i] = MagnitudeToDb(Magnitude(band.splRaw[i]));
            curve.phase[i] = Phase(band.splRaw[i]);
        }
    }
    return curve;
}

void StoreSmoothedCurve(CBand& band, const LevelAndPhase& curve) {
    const int n = curve.level.GetSize();
    band.splSmoothed.SetSize(n);
    for (int i = 0; i < n; ++i) {
        band.splSmoothed[i] = FromPolar(LevelToMagnitude(curve.level[i]), curve.phase[i]);
    }
}

} // namespace

double LevelToMagnitude(double dB) {
    const double e = dB * 0.05 * kLn10;
    if (e == 0.0) {
        return 1.0;
    }
    if (e > kMaxExponent) {
        return kMaxMagnitude;
    }
    if (e < kMinExponent) {
        return kMinMagnitude;
    }
    return std::exp(e);
}

bool SetSmoothing(CBand& band, int n) {
    if (n < kMinSmoothing || n > kMaxSmoothing) {
        return false;
    }
    band.modified = band.modified || n != band.splSmoothing;
    band.splSmoothing = n;
    LevelAndPhase curve = SplitRawCurve(band);
    if (n < RoundHalfAway(PointsPerOctave(band.splFreqs))) {
        VSmooth smooth;
        smooth.Smooth(band.splFreqs, curve.level, n, VSmooth::Median);
        smooth.SmoothPhase(band.splFreqs, curve.phase, n, VSmooth::Median, false);
    }
    StoreSmoothedCurve(band, curve);
    return true;
}

void RebuildUnsmoothedCurve(CBand& band) {
    StoreSmoothedCurve(band, SplitRawCurve(band));
}

} // namespace kv
