#include "model/Alignment.h"

#include "model/CConfiguration.h"
#include "model/MainGrid.h"
#include "support/ModelledDrivers.h"
#include "support/TestSupport.h"

#include <cmath>
#include <complex>
#include <gtest/gtest.h>

namespace kv {
namespace {

// A wide-band driver: its response is the same in both bands, so that only
// where their acoustic centres lie keeps the sum from being flat.
std::complex<double> WideBand(double hz) {
    const std::complex<double> low(0.0, hz / 60.0);
    const std::complex<double> high(0.0, hz / 25000.0);
    return low * low / (low * low + low * 1.4 + 1.0) / (high * high + high * 1.4 + 1.0);
}

class Aligning : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(CreateMainGrid(grid)); }

    // Band 2's driver sits offsetSeconds behind band 1's.
    void Build(int order, double offsetSeconds) {
        ASSERT_TRUE(test::CrossTwoWay(design, 2000.0, order));
        ASSERT_TRUE(test::LoadDriverFile(design.bands[0], dir / "high.txt",
                                         {&WideBand, 90.0, 10.0, 40000.0, true, 0.0}));
        ASSERT_TRUE(test::LoadDriverFile(design.bands[1], dir / "low.txt",
                                         {&WideBand, 90.0, 10.0, 40000.0, true, offsetSeconds}));
        design.Recalculate(&grid, kMainPirLength);
    }

    test::TempDir dir;
    VFreqVec grid;
    CConfiguration design;
};

TEST_F(Aligning, DelaysTheBandAheadByTheOffsetBetweenTheDrivers) {
    constexpr double kOffset = 0.27e-3; // 25.92 samples
    Build(4, kOffset);
    Alignment found;
    ASSERT_EQ(FindAlignment(design, 1, 0, found), AlignOutcome::Aligned);
    EXPECT_DOUBLE_EQ(found.crossoverHz, 2000.0);
    EXPECT_NEAR(found.delay * design.sampleRate, kOffset * design.sampleRate, 1.0);
    EXPECT_FALSE(found.reversedPhase);
    EXPECT_GT(found.deviationBeforeDb, 1.0);
    EXPECT_LT(found.deviationAfterDb, 0.1);

    ASSERT_TRUE(ApplyAlignment(design, found));
    EXPECT_EQ(design.bands[0].delay, found.delay);
    design.Recalculate(&grid, kMainPirLength);
    Alignment again;
    ASSERT_EQ(FindAlignment(design, 1, 0, again), AlignOutcome::Aligned);
    EXPECT_NEAR(again.deviationBeforeDb, found.deviationAfterDb, 1e-9);
    EXPECT_EQ(again.delay, found.delay) << "already aligned";
}

// A second-order Linkwitz-Riley pair sums flat only with one band inverted.
TEST_F(Aligning, FindsThePolarityASecondOrderPairNeeds) {
    Build(2, 0.5e-3);
    Alignment found;
    ASSERT_EQ(FindAlignment(design, 1, 0, found), AlignOutcome::Aligned);
    EXPECT_TRUE(found.reversedPhase);
    EXPECT_NEAR(found.delay * design.sampleRate, 48.0, 1.0);
    EXPECT_LT(found.deviationAfterDb, 0.1);
}

TEST_F(Aligning, SaysWhyBandsCannotBeAligned) {
    Build(4, 0.0);
    Alignment found;
    EXPECT_EQ(FindAlignment(design, 0, 0, found), AlignOutcome::SameBand);
    EXPECT_EQ(FindAlignment(design, 0, 2, found), AlignOutcome::NoSuchBand);
    ASSERT_TRUE(design.bands[1].EnableLowPass(0, false));
    design.Recalculate(&grid, kMainPirLength);
    EXPECT_EQ(FindAlignment(design, 0, 1, found), AlignOutcome::NoCrossover);
    EXPECT_NE(DescribeAlignOutcome(AlignOutcome::NoCrossover, 0, 1).find("bands 1 and 2"),
              std::string::npos);
    // The outer bands of a 3-way meet only through the middle one.
    CBand& low = design.bands[1];
    ASSERT_TRUE(low.EnableLowPass(0, true));
    CrossoverSettings lowPass;
    ASSERT_TRUE(low.GetLowPass(0, lowPass));
    lowPass.freq = 400.0;
    ASSERT_TRUE(low.SetLowPass(0, lowPass));
    EXPECT_EQ(SharedCrossoverHz(design.bands[0], low), 0.0);
    lowPass.freq = 1000.0;
    ASSERT_TRUE(low.SetLowPass(0, lowPass));
    EXPECT_DOUBLE_EQ(SharedCrossoverHz(low, design.bands[0]), std::sqrt(2000.0 * 1000.0));
    CConfiguration fresh;
    ASSERT_TRUE(test::CrossTwoWay(fresh, 2000.0, 4));
    EXPECT_EQ(FindAlignment(fresh, 0, 1, found), AlignOutcome::NotComputed);
}

} // namespace
} // namespace kv
