#include "math/ResponseCurves.h"
#include "model/CConfiguration.h"
#include "model/MainGrid.h"
#include "support/ModelledDrivers.h"
#include "support/TestSupport.h"

#include <cmath>
#include <complex>
#include <gtest/gtest.h>
#include <numbers>

namespace kv {
namespace {

constexpr double kSensitivity = 90.0;

// A 2-way of the modelled tweeter (band 1) and woofer (band 2) crossed at
// 2 kHz by fourth-order Linkwitz-Riley filters, whose drivers' curves come
// from text files as a user would load them.
class ModelledTwoWay : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(CreateMainGrid(grid));
        ASSERT_TRUE(test::CrossTwoWay(design, 2000.0, 4));
    }

    bool Load(int band, test::DriverFile file, const SplPhase& phase = {},
              PhaseReport* report = nullptr) {
        file.sensitivity = kSensitivity;
        return test::LoadDriverFile(design.bands[static_cast<std::size_t>(band)],
                                    dir / ("driver" + std::to_string(band) + ".txt"), file, phase,
                                    report);
    }

    // The largest difference in dB, from fromHz to toHz, between the
    // computed sum and the sum the bands' filters give with the drivers as
    // they really are.
    double LargestSumErrorDb(double fromHz, double toHz) {
        design.Recalculate(&grid, kMainPirLength);
        double largest = 0.0;
        for (int i = 0; i < grid.GetSize(); ++i) {
            if (grid[i] < fromHz || grid[i] > toHz) {
                continue;
            }
            const Complex truth =
                DbToGain(kSensitivity) *
                (design.bands[0].filterResponse[i] * test::ModelledTweeter(grid[i]) +
                 design.bands[1].filterResponse[i] * test::ModelledWoofer(grid[i]));
            const double error = MagnitudeToDb(std::abs(design.sumTotalResponse[i])) -
                                 MagnitudeToDb(std::abs(truth));
            largest = std::max(largest, std::abs(error));
        }
        return largest;
    }

    test::TempDir dir;
    VFreqVec grid;
    CConfiguration design;
};

TEST_F(ModelledTwoWay, MagnitudeOnlyCurvesSumAsTheDriversDo) {
    PhaseReport tweeter;
    PhaseReport woofer;
    ASSERT_TRUE(Load(0, {&test::ModelledTweeter}, {}, &tweeter));
    ASSERT_TRUE(Load(1, {&test::ModelledWoofer}, {}, &woofer));
    EXPECT_EQ(tweeter.content, PhaseContent::None);
    EXPECT_TRUE(tweeter.minimum);
    EXPECT_TRUE(woofer.minimum);
    EXPECT_FALSE(tweeter.flightTimeMs.has_value());
    EXPECT_LT(LargestSumErrorDb(200.0, 10000.0), 0.5);

    // The same curves with no phase at all, as the sum used to get them,
    // miss it.
    for (CBand& band : design.bands) {
        VComplexVec magnitudes = band.splRaw;
        for (int i = 0; i < magnitudes.GetSize(); ++i) {
            magnitudes[i] = std::abs(magnitudes[i]);
        }
        ASSERT_TRUE(magnitudes.Empty() || band.SetSplCurve(band.splFreqs, magnitudes, "zero"));
    }
    EXPECT_GT(LargestSumErrorDb(200.0, 10000.0), 0.5);
}

// Measured apart at different distances, each with its flight time to the
// microphone: taken out of both, the drivers sum as they really do.
TEST_F(ModelledTwoWay, FlightTimesRemovedFromBothMeasuredPhases) {
    SplPhase remove;
    remove.removeFlightTime = true;
    PhaseReport tweeter;
    PhaseReport woofer;
    ASSERT_TRUE(Load(0, {&test::ModelledTweeter, 0, 10, 40000, true, 2.9e-3}, remove, &tweeter));
    ASSERT_TRUE(Load(1, {&test::ModelledWoofer, 0, 10, 40000, true, 3.35e-3}, remove, &woofer));
    EXPECT_EQ(tweeter.content, PhaseContent::Phase);
    EXPECT_FALSE(tweeter.minimum);
    ASSERT_TRUE(tweeter.flightTimeMs && woofer.flightTimeMs);
    EXPECT_NEAR(*tweeter.flightTimeMs, 2.9, 0.005);
    EXPECT_NEAR(*woofer.flightTimeMs, 3.35, 0.005);
    EXPECT_TRUE(tweeter.flightTimeRemoved && woofer.flightTimeRemoved);
    EXPECT_LT(LargestSumErrorDb(200.0, 10000.0), 0.5);

    // Kept, the 0.45 ms between them is in the sum.
    ASSERT_TRUE(Load(1, {&test::ModelledWoofer, 0, 10, 40000, true, 3.35e-3}));
    EXPECT_GT(LargestSumErrorDb(200.0, 10000.0), 2.0);
}

// The measured phase is kept by default, and stays exactly as the file
// gives it; an offset delays the curve, whichever phase it carries.
TEST_F(ModelledTwoWay, OffsetsDelayTheCurve) {
    const test::DriverFile measured{&test::ModelledTweeter, 0, 10, 40000, true, 1e-3};
    PhaseReport report;
    ASSERT_TRUE(Load(0, measured, {}, &report));
    EXPECT_FALSE(report.flightTimeRemoved);
    EXPECT_EQ(DescribePhase(report), "as measured");
    const VComplexVec asMeasured = design.bands[0].splRaw;
    SplPhase later;
    later.offsetMs = 0.25;
    ASSERT_TRUE(Load(0, measured, later));
    SplPhase minimum = later;
    minimum.choice = PhaseChoice::Minimum;
    ASSERT_TRUE(Load(1, measured, minimum, &report));
    EXPECT_TRUE(report.minimum);
    EXPECT_EQ(DescribePhase(report), "minimum phase");
    for (int i = 0; i < asMeasured.GetSize(); i += 40) {
        const double hz = design.bands[0].splFreqs[i];
        const double turn = -2.0 * std::numbers::pi * hz * 0.25e-3;
        EXPECT_NEAR(std::remainder(std::arg(design.bands[0].splRaw[i] / asMeasured[i]) - turn,
                                   2.0 * std::numbers::pi),
                    0.0, 1e-9)
            << hz;
        const double minimumPhase = std::arg(test::ModelledTweeter(hz));
        EXPECT_NEAR(std::remainder(std::arg(design.bands[1].splRaw[i]) - minimumPhase - turn,
                                   2.0 * std::numbers::pi),
                    0.0, 0.02)
            << hz;
    }
}

} // namespace
} // namespace kv
