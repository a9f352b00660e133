#include "math/MinimumPhase.h"

#include "support/ModelledDrivers.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <gtest/gtest.h>
#include <limits>
#include <numbers>
#include <vector>

namespace kv {
namespace {

constexpr double kDegrees = 180.0 / std::numbers::pi;

struct Curve {
    VDoubleVec frequencies;
    VDoubleVec levels;
    std::vector<double> truePhases;
};

Curve Sampled(test::AnalogResponse response, double firstHz, double lastHz) {
    const std::vector<double> lattice = test::LatticeFrequencies(firstHz, lastHz);
    Curve curve;
    const int n = static_cast<int>(lattice.size());
    curve.frequencies.SetSize(n);
    curve.levels.SetSize(n);
    for (int i = 0; i < n; ++i) {
        const std::complex<double> h = response(lattice[static_cast<std::size_t>(i)]);
        curve.frequencies[i] = lattice[static_cast<std::size_t>(i)];
        curve.levels[i] = 90.0 + 20.0 * std::log10(std::abs(h));
        curve.truePhases.push_back(std::arg(h));
    }
    return curve;
}

// The largest difference in degrees between the computed and the true phase
// (modulo whole turns) from fromHz to toHz.
double LargestErrorDegrees(const Curve& curve, const VDoubleVec& phases, double fromHz,
                           double toHz) {
    double largest = 0.0;
    for (int i = 0; i < curve.frequencies.GetSize(); ++i) {
        if (curve.frequencies[i] >= fromHz && curve.frequencies[i] <= toHz) {
            const double error = std::remainder(
                phases[i] - curve.truePhases[static_cast<std::size_t>(i)], 2.0 * std::numbers::pi);
            largest = std::max(largest, std::abs(error) * kDegrees);
        }
    }
    return largest;
}

// The largest error, in degrees, of the minimum phase computed for both
// modelled drivers measured from firstHz to lastHz, checked from fromHz to
// toHz.
double LargestErrorOfDrivers(double firstHz, double lastHz, double fromHz, double toHz) {
    MinimumPhase minimum;
    double largest = 0.0;
    for (const test::AnalogResponse driver : {&test::ModelledWoofer, &test::ModelledTweeter}) {
        const Curve curve = Sampled(driver, firstHz, lastHz);
        VDoubleVec phases;
        EXPECT_TRUE(minimum.Compute(curve.frequencies, curve.levels, phases));
        largest = std::max(largest, LargestErrorDegrees(curve, phases, fromHz, toHz));
    }
    return largest;
}

TEST(MinimumPhase, MatchesModelledDriversMeasuredOverTheWholeRange) {
    EXPECT_LT(LargestErrorOfDrivers(10.0, 40000.0, 10.0, 40000.0), 1.0);
}

// 20 Hz to 20 kHz leaves the woofer's resonance just over an octave inside
// and the tweeter's roll-off unfinished: what lies beyond is guessed from
// the trend of the ends.
TEST(MinimumPhase, HoldsAnOctaveInsideTheEndsOfANarrowerMeasurement) {
    EXPECT_LT(LargestErrorOfDrivers(20.0, 20000.0, 40.0, 10000.0), 5.0);
}

// A flat curve has no phase; a first-order low-pass over a few points
// spread widely has its exact phase, -atan(f/fc), as its end trends are
// its whole shape.
TEST(MinimumPhase, GivesTheExactPhaseOfSimpleShapes) {
    MinimumPhase minimum;
    VDoubleVec phases;
    Curve flat = Sampled([](double) { return std::complex<double>(1.0, 0.0); }, 20.0, 20000.0);
    ASSERT_TRUE(minimum.Compute(flat.frequencies, flat.levels, phases));
    EXPECT_LT(LargestErrorDegrees(flat, phases, 0.0, 1e9), 1e-6);

    const Curve lowPass =
        Sampled([](double hz) { return 1.0 / std::complex<double>(1.0, hz / 1000.0); }, 1.0, 1e6);
    ASSERT_TRUE(minimum.Compute(lowPass.frequencies, lowPass.levels, phases));
    EXPECT_LT(LargestErrorDegrees(lowPass, phases, 0.0, 1e9), 0.1);
}

TEST(MinimumPhase, RefusesCurvesItCannotTransform) {
    MinimumPhase minimum;
    VDoubleVec phases(3);
    const VDoubleVec one(1);
    EXPECT_FALSE(minimum.Compute(one, one, phases));
    EXPECT_TRUE(phases.Empty());

    VDoubleVec frequencies(3);
    VDoubleVec levels(3);
    frequencies[0] = 100.0;
    frequencies[1] = 50.0;
    frequencies[2] = 200.0;
    EXPECT_FALSE(minimum.Compute(frequencies, levels, phases)) << "not ascending";
    frequencies[1] = 150.0;
    levels[2] = std::numeric_limits<double>::quiet_NaN();
    EXPECT_FALSE(minimum.Compute(frequencies, levels, phases)) << "not finite";
    levels[2] = 0.0;
    EXPECT_FALSE(minimum.Compute(frequencies, VDoubleVec(2), phases)) << "sizes differ";
    frequencies[0] = 0.0;
    EXPECT_FALSE(minimum.Compute(frequencies, levels, phases)) << "0 Hz";
    frequencies[0] = 100.0;
    EXPECT_TRUE(minimum.Compute(frequencies, levels, phases));
    EXPECT_EQ(phases.GetSize(), 3);
}

} // namespace
} // namespace kv
