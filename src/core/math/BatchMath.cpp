#include "math/BatchMath.h"

#include <bit>
#include <cmath>
#include <cstdint>
#include <iterator>
#include <limits>

namespace kv {
namespace {

// Adding and subtracting 1.5·2^52 rounds to an integer, and leaves the
// integer in the low bits of the sum: rounding without a branch or a
// conversion the vector unit lacks.
constexpr double kRoundingShift = 0x1.8p52;

[[gnu::always_inline]] inline double RoundToInteger(double x) {
    return (x + kRoundingShift) - kRoundingShift;
}

constexpr double kExpLimit = 708.0;
constexpr double kLog2E = 0x1.71547652b82fep+0;
// ln 2 in two parts, the first short enough that n·high is exact.
constexpr double kLn2High = 0x1.62e42fee00000p-1;
constexpr double kLn2Low = 0x1.a39ef35793c76p-33;
constexpr std::uint64_t kExponentOfOne = 0x3ff0000000000000;

// 1/k! from k = 13 down to 0.
constexpr double kExpSeries[] = {1.0 / 6227020800.0,
                                 1.0 / 479001600.0,
                                 1.0 / 39916800.0,
                                 1.0 / 3628800.0,
                                 1.0 / 362880.0,
                                 1.0 / 40320.0,
                                 1.0 / 5040.0,
                                 1.0 / 720.0,
                                 1.0 / 120.0,
                                 1.0 / 24.0,
                                 1.0 / 6.0,
                                 0.5,
                                 1.0,
                                 1.0};
constexpr int kExpTerms = static_cast<int>(std::size(kExpSeries));

// e^x = 2^n·e^r with |r| ≤ ln2/2, e^r by its Taylor series to r^13 (the
// first term left out is below 2^-60). Only for |x| ≤ kExpLimit.
[[gnu::always_inline]] inline double Exp(double x) {
    const double shifted = x * kLog2E + kRoundingShift;
    const double n = shifted - kRoundingShift;
    const double r = (x - n * kLn2High) - n * kLn2Low;
    double p = kExpSeries[0];
    for (int k = 1; k < kExpTerms; ++k) {
        p = p * r + kExpSeries[k];
    }
    // The low bits of shifted hold 2^51 + n; moved into the exponent field
    // they give 2^n.
    const std::uint64_t power = (std::bit_cast<std::uint64_t>(shifted) << 52) + kExponentOfOne;
    return p * std::bit_cast<double>(power);
}

constexpr double kTwoOverPi = 0x1.45f306dc9c883p-1;
// π/2 in three parts of 33 bits and less, so that n·part is exact for the
// quadrant counts below kMaxReducedAngle.
constexpr double kHalfPi1 = 0x1.921fb54400000p+0;
constexpr double kHalfPi2 = 0x1.0b4611a600000p-34;
constexpr double kHalfPi3 = 0x1.3198a2e037073p-69;
constexpr double kMaxReducedAngle = 1e6;

// sin r = r - r·z·S(z) and cos r = 1 - z/2 - z²·C(z) with z = r²: the
// coefficients of S from r^17 down to r^3 and of C from r^18 down to r^4,
// signs turned to match.
constexpr double kSineSeries[] = {
    -1.0 / 355687428096000.0, 1.0 / 1307674368000.0, -1.0 / 6227020800.0, 1.0 / 39916800.0,
    -1.0 / 362880.0,          1.0 / 5040.0,          -1.0 / 120.0,        1.0 / 6.0};
constexpr int kSineTerms = static_cast<int>(std::size(kSineSeries));
constexpr double kCosineSeries[] = {
    1.0 / 6402373705728000.0, -1.0 / 20922789888000.0, 1.0 / 87178291200.0, -1.0 / 479001600.0,
    1.0 / 3628800.0,          -1.0 / 40320.0,          1.0 / 720.0,         -1.0 / 24.0};
constexpr int kCosineTerms = static_cast<int>(std::size(kCosineSeries));

struct SinCosPair {
    double sine;
    double cosine;
};

// sin and cos of |r| ≤ π/4 by their Taylor series to r^17 and r^18 (the first
// terms left out are below 2^-60), and the quadrant n mod 4 applied as
// factors 0 and ±1, which are exact.
[[gnu::always_inline]] inline SinCosPair SinCos(double angle) {
    const double n = RoundToInteger(angle * kTwoOverPi);
    const double r = ((angle - n * kHalfPi1) - n * kHalfPi2) - n * kHalfPi3;
    const double z = r * r;
    double s = kSineSeries[0];
    for (int k = 1; k < kSineTerms; ++k) {
        s = s * z + kSineSeries[k];
    }
    const double sine = r - r * z * s;
    double c = kCosineSeries[0];
    for (int k = 1; k < kCosineTerms; ++k) {
        c = c * z + kCosineSeries[k];
    }
    // 1 - z/2 - z²·(…), the leading difference kept exact.
    const double half = 0.5 * z;
    const double w = 1.0 - half;
    const double cosine = w + (((1.0 - w) - half) - z * z * c);
    // u = n mod 4 in -2 … 2; the quadrants swap sine and cosine where |u| is
    // 1 and negate them as the circle goes round.
    const double u = n - 4.0 * RoundToInteger(0.25 * n);
    const double u2 = u * u;
    const double swapped = u2 * (4.0 - u2) / 3.0;
    const double kept = (1.0 - swapped) * (1.0 - 0.5 * u2);
    const double crossed = swapped * u;
    return {sine * kept + cosine * crossed, cosine * kept - sine * crossed};
}

// ln m = 2·atanh s with s = (m - 1)/(m + 1): the odd coefficients 2/k from
// s^21 down to s (|s| ≤ 0.172: the first term left out is below 2^-60).
constexpr double kLogSeries[] = {2.0 / 21, 2.0 / 19, 2.0 / 17, 2.0 / 15, 2.0 / 13, 2.0 / 11,
                                 2.0 / 9,  2.0 / 7,  2.0 / 5,  2.0 / 3,  2.0};
constexpr int kLogTerms = static_cast<int>(std::size(kLogSeries));
constexpr std::uint64_t kMantissaBits = 0x000fffffffffffff;
constexpr double kSqrtTwo = 1.4142135623730951;
// 2^52 as bits and as a number: or-ing a small integer into the first gives
// 2^52 plus the integer, exactly.
constexpr std::uint64_t kTwoPow52Bits = 0x4330000000000000;
constexpr double kTwoPow52 = 4503599627370496.0;

// x = 2^e·m with m in [√½, √2); only for positive normal x.
[[gnu::always_inline]] inline double Log(double x) {
    const auto bits = std::bit_cast<std::uint64_t>(x);
    const double exponent =
        std::bit_cast<double>(kTwoPow52Bits | (bits >> 52)) - kTwoPow52 - 1023.0;
    const double m = std::bit_cast<double>((bits & kMantissaBits) | kExponentOfOne);
    // Both sides are computed and one picked: a choice between values, not
    // between computations, is what the vectoriser can do.
    const bool high = m > kSqrtTwo;
    const double halved = 0.5 * m;
    const double next = exponent + 1.0;
    const double mantissa = high ? halved : m;
    const double e = high ? next : exponent;
    const double s = (mantissa - 1.0) / (mantissa + 1.0);
    const double z = s * s;
    double p = kLogSeries[0];
    for (int k = 1; k < kLogTerms; ++k) {
        p = p * z + kLogSeries[k];
    }
    return e * kLn2High + (e * kLn2Low + s * p);
}

constexpr double kQuarterPi = 0x1.921fb54442d18p-1;
constexpr double kHalfPi = 0x1.921fb54442d18p+0;
constexpr double kPi = 0x1.921fb54442d18p+1;
constexpr double kTanEighthPi = 0x1.a827999fcef32p-2;
// atan t for |t| ≤ tan(π/16): the odd coefficients ±1/k from t^21 down to t
// (the first term left out is below 2^-55 of the result).
constexpr double kAtanSeries[] = {-1.0 / 21, 1.0 / 19, -1.0 / 17, 1.0 / 15, -1.0 / 13, 1.0 / 11,
                                  -1.0 / 9,  1.0 / 7,  -1.0 / 5,  1.0 / 3,  -1.0};
constexpr int kAtanTerms = static_cast<int>(std::size(kAtanSeries));

// The angle of (|x|, |y|) folded into [0, 1] as a = min/max, reduced by π/4
// above tan(π/8) and then halved (atan t = 2·atan(t / (1 + √(1 + t²))))
// into the range of the series; then unfolded into the quadrant. Only for
// finite x and y, not both zero.
[[gnu::always_inline]] inline double Atan2(double y, double x) {
    const double ax = std::fabs(x);
    const double ay = std::fabs(y);
    const bool steep = ay > ax;
    const double small = steep ? ax : ay;
    const double large = steep ? ay : ax;
    const double a = small / large;
    const bool upper = a > kTanEighthPi;
    const double reduced = (a - 1.0) / (a + 1.0);
    const double t = upper ? reduced : a;
    const double h = t / (1.0 + std::sqrt(1.0 + t * t));
    const double z = h * h;
    double p = kAtanSeries[0];
    for (int k = 1; k < kAtanTerms; ++k) {
        p = p * z + kAtanSeries[k];
    }
    // 2·atan h = -2·h·p, as the series' signs were turned.
    const double folded = (upper ? kQuarterPi : 0.0) - 2.0 * h * p;
    const double complement = kHalfPi - folded;
    const double angle = steep ? complement : folded;
    const double supplement = kPi - angle;
    // The sign of x, -0 included, as a number.
    const bool left = std::copysign(1.0, x) < 0.0;
    return std::copysign(left ? supplement : angle, y);
}

// The values each computation handles; the others go to the C library.

[[gnu::always_inline]] inline bool ExpHandles(double x) {
    return std::fabs(x) <= kExpLimit;
}

[[gnu::always_inline]] inline bool SinCosHandles(double angle) {
    return std::fabs(angle) <= kMaxReducedAngle;
}

[[gnu::always_inline]] inline bool LogHandles(double x) {
    return x >= std::numeric_limits<double>::min() && x <= std::numeric_limits<double>::max();
}

[[gnu::always_inline]] inline bool Atan2Handles(double y, double x) {
    constexpr double kLargest = std::numeric_limits<double>::max();
    return std::fabs(x) <= kLargest && std::fabs(y) <= kLargest && (x != 0.0 || y != 0.0);
}

// The loops the compiler vectorises hold no branch, and count the values they
// cannot handle, which are then redone one by one. Each is compiled twice,
// for two lanes and for four (RunOnLanes).

[[gnu::always_inline]] inline int ExpLoop(const double* x, double* out, int count) {
    int outside = 0;
    for (int i = 0; i < count; ++i) {
        out[i] = Exp(x[i]);
        outside += ExpHandles(x[i]) ? 0 : 1;
    }
    return outside;
}

[[gnu::always_inline]] inline int SinCosLoop(const double* angle, double* sine, double* cosine,
                                             int count) {
    int outside = 0;
    for (int i = 0; i < count; ++i) {
        const SinCosPair pair = SinCos(angle[i]);
        sine[i] = pair.sine;
        cosine[i] = pair.cosine;
        outside += SinCosHandles(angle[i]) ? 0 : 1;
    }
    return outside;
}

[[gnu::always_inline]] inline int LogLoop(const double* x, double* out, int count) {
    int outside = 0;
    for (int i = 0; i < count; ++i) {
        out[i] = Log(x[i]);
        outside += LogHandles(x[i]) ? 0 : 1;
    }
    return outside;
}

[[gnu::always_inline]] inline int Atan2Loop(const double* y, const double* x, double* out,
                                            int count) {
    int outside = 0;
    for (int i = 0; i < count; ++i) {
        out[i] = Atan2(y[i], x[i]);
        outside += Atan2Handles(y[i], x[i]) ? 0 : 1;
    }
    return outside;
}

} // namespace

void BatchExp(const double* x, double* out, int count, VectorLanes lanes) {
    if (RunOnLanes<ExpLoop>(lanes, x, out, count) == 0) {
        return;
    }
    for (int i = 0; i < count; ++i) {
        if (!ExpHandles(x[i])) {
            out[i] = std::exp(x[i]);
        }
    }
}

void BatchSinCos(const double* angle, double* sine, double* cosine, int count, VectorLanes lanes) {
    if (RunOnLanes<SinCosLoop>(lanes, angle, sine, cosine, count) == 0) {
        return;
    }
    for (int i = 0; i < count; ++i) {
        if (!SinCosHandles(angle[i])) {
            sine[i] = std::sin(angle[i]);
            cosine[i] = std::cos(angle[i]);
        }
    }
}

void BatchLog(const double* x, double* out, int count, VectorLanes lanes) {
    if (RunOnLanes<LogLoop>(lanes, x, out, count) == 0) {
        return;
    }
    for (int i = 0; i < count; ++i) {
        if (!LogHandles(x[i])) {
            out[i] = std::log(x[i]);
        }
    }
}

void BatchAtan2(const double* y, const double* x, double* out, int count, VectorLanes lanes) {
    if (RunOnLanes<Atan2Loop>(lanes, y, x, out, count) == 0) {
        return;
    }
    for (int i = 0; i < count; ++i) {
        if (!Atan2Handles(y[i], x[i])) {
            out[i] = std::atan2(y[i], x[i]);
        }
    }
}

} // namespace kv
