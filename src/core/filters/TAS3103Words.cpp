#include "filters/TAS3103Words.h"

#include "math/ResponseCurves.h"
#include "unit/UnitLimits.h"

#include <algorithm>
#include <cmath>

namespace kv {
namespace {

constexpr double kFixedOne = 8388608.0; // 2^23: 1.0 in 5.23
constexpr double kFixedLowest = -134217728.0;
constexpr double kFixedHighest = 134217727.0;
constexpr int kToneGridPoints = 73;

double RoundToTenthDb(double dB) {
    return std::round(10.0 * dB) / 10.0;
}

double ToneGridGainDb(int step) {
    return kMaxToneGainDb - kToneGainStepDb * step;
}

// x · 2^23 rounded to a whole number (halves up), without any bound.
double Scaled523(double x) {
    return std::floor(x * kFixedOne + 0.5);
}

} // namespace

bool Fits523(double x) {
    const double v = Scaled523(x);
    return v >= kFixedLowest && v <= kFixedHighest;
}

std::uint32_t ToFixed523(double x) {
    if (std::isnan(x)) {
        return 0;
    }
    const double v = std::clamp(Scaled523(x), kFixedLowest, kFixedHighest);
    return static_cast<std::uint32_t>(static_cast<std::int32_t>(v));
}

double Rounded523(double x) {
    return static_cast<std::int32_t>(ToFixed523(x)) / kFixedOne;
}

std::array<double, 5> BiquadWords(const BiquadCoefs& c) {
    return {-c.a1 / c.a0, -c.a2 / c.a0, c.b0 / c.a0, c.b1 / c.a0, c.b2 / c.a0};
}

BiquadCoefs ChipSection(const BiquadCoefs& coefs) {
    const std::array<double, 5> w = BiquadWords(coefs);
    return {1.0,
            -Rounded523(w[0]),
            -Rounded523(w[1]),
            Rounded523(w[2]),
            Rounded523(w[3]),
            Rounded523(w[4])};
}

double VolumeWordValue(double levelDb, bool reversedPolarity) {
    return DbToGain(levelDb) * (reversedPolarity ? 1.0 : -1.0);
}

double ChipVolumeGain(double levelDb, bool reversedPolarity) {
    return std::fabs(Rounded523(VolumeWordValue(levelDb, reversedPolarity)));
}

std::optional<int> ToneGridStep(double dB) {
    const double g = RoundToTenthDb(dB);
    for (int k = 0; k < kToneGridPoints; ++k) {
        if (RoundToTenthDb(ToneGridGainDb(k)) == g) {
            return k;
        }
    }
    return std::nullopt;
}

bool OnToneGrid(double dB) {
    return ToneGridStep(dB).has_value();
}

double ChipToneGainDb(double dB) {
    if (dB == 0.0) {
        return 0.0;
    }
    const std::optional<int> step = ToneGridStep(dB);
    return step.has_value() ? ToneGridGainDb(*step) : -kMaxToneGainDb;
}

} // namespace kv
