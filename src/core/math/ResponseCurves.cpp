#include "math/ResponseCurves.h"

#include "math/Rounding.h"

#include <cmath>
#include <numbers>

namespace kv {
namespace {

// ln 10 / 20 as the gain conversion has always written it, one unit in the
// last place above kNepersPerDb: stored curves and the unit's images are
// computed with it.
constexpr double kGainNepersPerDb = 0.1151292546497023;
constexpr double kMaxGainExponent = 30.0;
constexpr double kMaxGain = 10686474000000.0;
constexpr double kLnTiny = -87.4982335338;
// Arguments this large never occur; the cap keeps the logarithm finite-sized.
constexpr double kLogArgumentCap = 1e30;
constexpr double kLnCapped = 30.0;
// The grid density the display curves are unwrapped for, whatever the grid.
constexpr int kDisplayPointsPerOctave = 48;

// The unwrapping tolerance constant for a grid density (see UnwrapPhase).
double UnwrapDensityConstant(int pointsPerOctave) {
    struct Row {
        int upTo;
        double c;
    };
    static constexpr Row kRows[] = {{9, 0.055},   {15, 0.05579}, {23, 0.058}, {29, 0.0591},
                                    {35, 0.0565}, {46, 0.0562},  {74, 0.056}, {339, 0.051}};
    for (const Row& row : kRows) {
        if (pointsPerOctave <= row.upTo) {
            return row.c;
        }
    }
    return 0.0;
}

} // namespace

double GuardedLn(double v) {
    if (!(v >= kMinLevelMagnitude)) {
        return kLnTiny;
    }
    if (v > kLogArgumentCap) {
        return kLnCapped;
    }
    return std::log(v);
}

double DbToGain(double dB) {
    const double e = dB * kGainNepersPerDb;
    if (e == 0.0) {
        return 1.0;
    }
    if (e > kMaxGainExponent) {
        return kMaxGain;
    }
    if (e < kLnTiny) {
        return kMinLevelMagnitude;
    }
    return std::exp(e);
}

double MagnitudeToDb(double magnitude) {
    if (!(magnitude >= kMinLevelMagnitude)) {
        return kLevelFloorDb;
    }
    if (magnitude > kMaxLevelMagnitude) {
        return -kLevelFloorDb;
    }
    return 20.0 * std::log10(magnitude);
}

bool ComputeResponseCurves(const VComplexVec& response, const VDoubleVec& frequencies,
                           VDoubleVec& magnitudeDb, VDoubleVec& phaseDeg, VDoubleVec& groupDelayMs,
                           bool unwrapped) {
    const int n = response.GetSize();
    if (!magnitudeDb.SetSize(n) || !phaseDeg.SetSize(n)) {
        return false;
    }
    for (int i = 0; i < n; ++i) {
        magnitudeDb[i] = MagnitudeToDb(Magnitude(response[i]));
        phaseDeg[i] = Phase(response[i]);
    }
    VDoubleVec unwrappedPhase;
    if (!UnwrapPhase(unwrappedPhase, phaseDeg, kDisplayPointsPerOctave) ||
        !GroupDelay(groupDelayMs, frequencies, unwrappedPhase)) {
        return false;
    }
    if (unwrapped) {
        phaseDeg = unwrappedPhase;
    }
    phaseDeg *= kRadiansToDegrees;
    groupDelayMs *= 1000.0;
    return true;
}

bool UnwrapPhase(VDoubleVec& out, const VDoubleVec& phase, int pointsPerOctave) {
    const int n = phase.GetSize();
    if (!out.SetSize(n)) {
        return false;
    }
    constexpr double pi = std::numbers::pi;
    double q = 1.0 / pi;
    if (pointsPerOctave > 0 && pointsPerOctave < 340) {
        q = (1.0 + (12.0 / pointsPerOctave) * UnwrapDensityConstant(pointsPerOctave)) / pi;
    }
    if (n == 0) {
        return true;
    }
    // Each point depends on the one before: the previous value stays in a
    // register, and the common case of no jump is kept off the rounding, so
    // that the chain from point to point stays short.
    double previous = phase[0];
    out[0] = previous;
    for (int i = 1; i < n; ++i) {
        const double d = phase[i] - previous;
        if (std::fabs(d * q) < 0.5) {
            previous = previous + d;
        } else {
            long long k = RoundHalfAway(d * q);
            // Only whole turns are removed.
            if (k % 2 != 0) {
                k += k > 0 ? 1 : -1;
            }
            previous = previous + d - static_cast<double>(k) * pi;
        }
        out[i] = previous;
    }
    return true;
}

bool GroupDelay(VDoubleVec& out, const VDoubleVec& frequencies, const VDoubleVec& phase) {
    const int n = phase.GetSize();
    if (frequencies.GetSize() != n || !out.SetSize(n)) {
        return false;
    }
    if (n == 0) {
        return true;
    }
    out[0] = 0.0;
    constexpr double twoPi = 2.0 * std::numbers::pi;
    // Points between equal frequencies cannot be differentiated; they are
    // bridged by a straight line once the next computable point is known.
    int gapStart = -1;
    for (int i = 1; i + 1 < n; ++i) {
        if (frequencies[i - 1] != frequencies[i + 1]) {
            out[i] = -(phase[i + 1] - phase[i - 1]) /
                     ((frequencies[i + 1] - frequencies[i - 1]) * twoPi);
            if (gapStart >= 0) {
                const double from = out[gapStart];
                const double span = i - gapStart;
                for (int k = gapStart + 1; k < i; ++k) {
                    out[k] = from + (out[i] - from) * (k - gapStart) / span;
                }
                gapStart = -1;
            }
        } else if (gapStart < 0) {
            gapStart = i - 1;
        }
    }
    if (n >= 2) {
        out[0] = out[1];
        out[n - 1] = out[n - 2];
    }
    return true;
}

double WrapPhase(double phase) {
    constexpr double pi = std::numbers::pi;
    if (!std::isfinite(phase)) {
        return phase;
    }
    double y = phase + pi;
    // Far-off values are brought near first so the loops below stay short.
    if (std::fabs(y) > 64.0 * pi) {
        y = std::fmod(y, 2.0 * pi);
    }
    while (y > 2.0 * pi) {
        y -= 2.0 * pi;
    }
    while (y < 0.0) {
        y += 2.0 * pi;
    }
    return y - pi;
}

double LogInterpolate(double x, double x1, double y1, double x2, double y2) {
    const double l1 = GuardedLn(x1);
    double denominator = GuardedLn(x2) - l1;
    if (denominator == 0.0) {
        denominator = 1e-37;
    }
    const double slope = (y2 - y1) / denominator;
    return y1 - l1 * slope + GuardedLn(x) * slope;
}

Complex LogInterpolateComplex(double x, const Complex& c1, double x1, const Complex& c2,
                              double x2) {
    return InterpolateAtLogs(std::log(x), c1, std::log(x1), c2, std::log(x2));
}

Complex InterpolateAtLogs(double lnX, const Complex& c1, double lnX1, const Complex& c2,
                          double lnX2) {
    return c1 + (c2 - c1) * ((lnX - lnX1) / (lnX2 - lnX1));
}

} // namespace kv
