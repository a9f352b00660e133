#include "hardware/TAS3103Words.h"

#include "filters/BiquadCalc.h"
#include "unit/UnitLimits.h"

#include <algorithm>
#include <cmath>
#include <optional>

namespace kv {
namespace {

constexpr double kFixedOne = 8388608.0; // 2^23: 1.0 in 5.23
constexpr double kFixedLowest = -134217728.0;
constexpr double kFixedHighest = 134217727.0;

// Chip codes from +18 dB down to +0.5 dB; from 0 dB (114) the codes rise by
// one per 0.5 dB down to 150 at -18 dB.
constexpr std::array<std::uint8_t, 36> kBassBoostCodes = {
    1,  8,  16, 22, 29, 35, 40, 45, 50,  55,  59,  63,  66,  70,  73,  76,  79,  82,
    85, 88, 90, 92, 94, 96, 98, 99, 100, 102, 103, 105, 106, 107, 109, 110, 111, 113};
constexpr std::array<std::uint8_t, 36> kTrebleBoostCodes = {
    1,  9,  16, 22, 28, 34, 40, 45, 49,  53,  58,  62,  66,  69,  73,  76,  79,  82,
    85, 87, 90, 92, 94, 96, 98, 99, 101, 102, 104, 105, 107, 108, 109, 111, 112, 113};
constexpr int kLowestToneCode = 150;
constexpr int kToneGridPoints = 73;

double RoundToTenthDb(double dB) {
    return std::round(10.0 * dB) / 10.0;
}

// The place of a gain on the grid from +18 dB down, compared to a tenth of a
// dB so that typed values such as 1.5000000001 still count.
std::optional<int> ToneGridIndex(double dB) {
    const double g = RoundToTenthDb(dB);
    for (int k = 0; k < kToneGridPoints; ++k) {
        if (RoundToTenthDb(kMaxToneGainDb - kToneGainStepDb * k) == g) {
            return k;
        }
    }
    return std::nullopt;
}

int ToneCode(double dB, const std::array<std::uint8_t, 36>& boostCodes) {
    const std::optional<int> k = ToneGridIndex(dB);
    if (!k.has_value()) {
        return kLowestToneCode;
    }
    const int boosts = static_cast<int>(boostCodes.size());
    return *k < boosts ? boostCodes[static_cast<std::size_t>(*k)] : kFlatToneCode + *k - boosts;
}

} // namespace

double Scaled523(double x) {
    return std::floor(x * kFixedOne + 0.5);
}

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

bool OnToneGrid(double dB) {
    return ToneGridIndex(dB).has_value();
}

int BassGainCode(double dB) {
    return ToneCode(dB, kBassBoostCodes);
}

int TrebleGainCode(double dB) {
    return ToneCode(dB, kTrebleBoostCodes);
}

} // namespace kv
