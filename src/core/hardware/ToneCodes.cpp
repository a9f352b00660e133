#include "hardware/ToneCodes.h"

#include "filters/TAS3103Words.h"

#include <array>
#include <cstdint>
#include <optional>

namespace kv {
namespace {

// Chip codes from +18 dB down to +0.5 dB; from 0 dB (114) the codes rise by
// one per 0.5 dB down to 150 at -18 dB.
constexpr std::array<std::uint8_t, 36> kBassBoostCodes = {
    1,  8,  16, 22, 29, 35, 40, 45, 50,  55,  59,  63,  66,  70,  73,  76,  79,  82,
    85, 88, 90, 92, 94, 96, 98, 99, 100, 102, 103, 105, 106, 107, 109, 110, 111, 113};
constexpr std::array<std::uint8_t, 36> kTrebleBoostCodes = {
    1,  9,  16, 22, 28, 34, 40, 45, 49,  53,  58,  62,  66,  69,  73,  76,  79,  82,
    85, 87, 90, 92, 94, 96, 98, 99, 101, 102, 104, 105, 107, 108, 109, 111, 112, 113};
constexpr int kLowestToneCode = 150;

int ToneCode(double dB, const std::array<std::uint8_t, 36>& boostCodes) {
    const std::optional<int> k = ToneGridStep(dB);
    if (!k.has_value()) {
        return kLowestToneCode;
    }
    const int boosts = static_cast<int>(boostCodes.size());
    return *k < boosts ? boostCodes[static_cast<std::size_t>(*k)] : kFlatToneCode + *k - boosts;
}

} // namespace

int BassGainCode(double dB) {
    return ToneCode(dB, kBassBoostCodes);
}

int TrebleGainCode(double dB) {
    return ToneCode(dB, kTrebleBoostCodes);
}

} // namespace kv
