#include "model/HardwareDeviation.h"

#include "math/NumberFormat.h"
#include "math/ResponseCurves.h"
#include "model/CBand.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace kv {
namespace {

constexpr double kAudibleRangeDb = 60.0;
constexpr double kTwoDecimalsFrom = 0.01;
constexpr double kSmallestShown = 0.0001;

// The decimals that show two significant digits of a value below 1.
int DecimalsForTwoDigits(double value) {
    return 1 - static_cast<int>(std::floor(std::log10(value)));
}

struct LevelPair {
    double ideal;
    double hardware;
};

} // namespace

std::optional<double> MaxHardwareDeviationDb(const CBand& band, const VDoubleVec& grid) {
    const int n = grid.GetSize();
    if (band.filterResponse.GetSize() != n || band.hardwareResponse.GetSize() != n) {
        return std::nullopt;
    }
    std::vector<LevelPair> levels;
    double highest = kLevelFloorDb;
    for (int i = 0; i < n; ++i) {
        if (grid[i] >= kJudgedLowestHz && grid[i] <= kJudgedHighestHz) {
            levels.push_back({MagnitudeToDb(Magnitude(band.filterResponse[i])),
                              MagnitudeToDb(Magnitude(band.hardwareResponse[i]))});
            highest = std::max(highest, levels.back().ideal);
        }
    }
    if (levels.empty()) {
        return std::nullopt;
    }
    double largest = 0.0;
    for (const LevelPair& level : levels) {
        if (std::max(level.ideal, level.hardware) >= highest - kAudibleRangeDb) {
            largest = std::max(largest, std::fabs(level.hardware - level.ideal));
        }
    }
    return largest;
}

std::string HardwareDeviationText(double dB) {
    std::string amount;
    if (!(dB >= kSmallestShown)) {
        amount = dB == 0.0 ? "0.00" : "< " + FormatFixed(kSmallestShown, 4);
    } else if (dB < kTwoDecimalsFrom) {
        amount = FormatFixed(dB, DecimalsForTwoDigits(dB));
    } else {
        amount = FormatFixed(dB, 2);
    }
    return "Hardware: " + amount + " dB max. deviation";
}

} // namespace kv
