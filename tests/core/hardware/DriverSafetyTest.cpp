#include "hardware/DriverSafety.h"

#include "model/CConfiguration.h"
#include "model/MainGrid.h"

#include <gtest/gtest.h>

namespace kv {
namespace {

class DriverSafety : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(CreateMainGrid(grid));
        ASSERT_TRUE(design.New(2, kDesignSampleRate));
        // A tweeter and a woofer crossed at 2 kHz, as most 2-ways are.
        const CrossoverSettings lr4{.freq = 2000.0, .order = 4, .q = {0.7071, 0.7071, 1.0, 1.0}};
        ASSERT_TRUE(design.bands[0].SetHighPass(0, lr4));
        ASSERT_TRUE(design.bands[0].EnableHighPass(0, true));
        ASSERT_TRUE(design.bands[1].SetLowPass(0, lr4));
        ASSERT_TRUE(design.bands[1].EnableLowPass(0, true));
    }

    std::vector<HardwareProblem> Warnings() {
        design.Recalculate(&grid, kMainPirLength);
        return CheckDriverSafety(design, grid);
    }

    VFreqVec grid;
    CConfiguration design;
};

TEST_F(DriverSafety, AnOrdinaryTwoWayGivesNoWarning) {
    ASSERT_TRUE(design.bands[0].SetGain(-15.0));
    ASSERT_TRUE(design.bands[1].SetPeq(0, 6.0, 80.0, 1.0, true));
    EXPECT_TRUE(Warnings().empty());
}

// Both the figure and the place are told, and the block most to blame. The
// grid has a point at 320 Hz (10 Hz times a power of two), so the peak is
// seen whole.
TEST_F(DriverSafety, ABoostOfMoreThanTwelveDecibelsIsToldWithItsFigureAndWhere) {
    ASSERT_TRUE(design.bands[1].SetPeq(2, 14.0, 320.0, 4.0, true));
    const std::vector<HardwareProblem> warnings = Warnings();
    ASSERT_EQ(warnings.size(), 1u);
    EXPECT_EQ(warnings[0].band, 1);
    EXPECT_EQ(warnings[0].subject, ProblemSubject::Section);
    EXPECT_EQ(warnings[0].section.group, FilterGroup::Peq);
    EXPECT_EQ(warnings[0].section.item, 2);
    EXPECT_EQ(warnings[0].advice.rfind("Output 2 rises to +14.0 dB at 320 Hz, which can damage a "
                                       "driver or an amplifier: lower the gain or Q of the 320 "
                                       "Hz equaliser of Output 2 (EQ 3).",
                                       0),
              0u)
        << warnings[0].advice;

    // Exactly at the limit is still safe; a muted band plays nothing.
    ASSERT_TRUE(design.bands[1].SetPeq(2, 12.0, 320.0, 4.0, true));
    EXPECT_TRUE(Warnings().empty());
    ASSERT_TRUE(design.bands[1].SetPeq(2, 14.0, 320.0, 4.0, true));
    design.bands[1].muted = true;
    design.bands[1].modified = true;
    EXPECT_TRUE(Warnings().empty());
}

// A custom crossover section with a Q of 100 rings at its frequency.
TEST_F(DriverSafety, AResonantCrossoverSectionIsBlamedOnItsSlot) {
    const CrossoverSettings custom{
        .freq = 640.0, .order = 2, .type = CrossoverType::Custom, .q = {100.0, 1.0, 1.0, 1.0}};
    ASSERT_TRUE(design.bands[1].SetLowPass(1, custom));
    ASSERT_TRUE(design.bands[1].EnableLowPass(1, true));
    const std::vector<HardwareProblem> warnings = Warnings();
    ASSERT_EQ(warnings.size(), 1u);
    EXPECT_EQ(warnings[0].section.group, FilterGroup::LowPass);
    EXPECT_EQ(warnings[0].section.item, 1);
    EXPECT_NE(warnings[0].advice.find("lower the Q of the 640 Hz low-pass of Output 2 (LP2, 2nd "
                                      "order)"),
              std::string::npos)
        << warnings[0].advice;
    EXPECT_NE(warnings[0].text.find(" at 640 Hz"), std::string::npos) << warnings[0].text;
}

TEST_F(DriverSafety, ATweeterThatPassesTooMuchAnOctaveBelowItsHighPassIsWarned) {
    CrossoverSettings gentle{.freq = 2000.0, .order = 1, .type = CrossoverType::Butterworth};
    ASSERT_TRUE(design.bands[0].SetHighPass(0, gentle));
    ASSERT_TRUE(design.bands[0].SetGain(-10.0));
    const std::vector<HardwareProblem> warnings = Warnings();
    ASSERT_EQ(warnings.size(), 1u);
    EXPECT_EQ(warnings[0].band, 0);
    EXPECT_EQ(warnings[0].section.group, FilterGroup::HighPass);
    EXPECT_EQ(warnings[0].advice.rfind("Output 1 (high-pass at 2000 Hz) passes -", 0), 0u)
        << "relative to the band's gain: " << warnings[0].advice;
    EXPECT_NE(warnings[0].advice.find("raise the high-pass or make it steeper"), std::string::npos);

    // Below 1 kHz a high-pass is no tweeter's.
    gentle.freq = 800.0;
    ASSERT_TRUE(design.bands[0].SetHighPass(0, gentle));
    EXPECT_TRUE(Warnings().empty());
}

} // namespace
} // namespace kv
