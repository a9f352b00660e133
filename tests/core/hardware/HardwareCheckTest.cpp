#include "hardware/CTAS3103.h"
#include "model/CConfiguration.h"

#include <cmath>
#include <gtest/gtest.h>

namespace kv {
namespace {

class HardwareCheck : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(design.New(2, 96000.0)); }

    // The problems found; a design with any problem never becomes an image.
    std::vector<std::string> Problems() {
        const std::vector<std::string> problems = CTAS3103::CheckConfiguration(design);
        CTAS3103 tas;
        EXPECT_EQ(tas.BuildImage(design).empty(), !problems.empty());
        return problems;
    }

    CConfiguration design;
};

TEST_F(HardwareCheck, ATypicalTwoWayDesignIsSafe) {
    const CrossoverSettings lr4{.freq = 2200.0, .order = 4, .q = {0.7071, 0.7071, 1.0, 1.0}};
    ASSERT_TRUE(design.bands[0].SetHighPass(0, lr4));
    ASSERT_TRUE(design.bands[0].EnableHighPass(0, true));
    ASSERT_TRUE(design.bands[1].SetLowPass(0, lr4));
    ASSERT_TRUE(design.bands[1].EnableLowPass(0, true));
    ASSERT_TRUE(design.bands[0].SetPeq(0, 20.0, 40.0, 25.0, true));
    ASSERT_TRUE(design.bands[1].SetBassGain(4.5));
    ASSERT_TRUE(design.SetDelay(1, 0.002));
    EXPECT_TRUE(Problems().empty());
}

// Bessel order 8 at 40 kHz puts its sections at up to 2.2 times that.
TEST_F(HardwareCheck, SectionsAboveHalfTheSampleRateAreRefusedAsUnstable) {
    const CrossoverSettings bessel{.freq = 40000.0,
                                   .order = 8,
                                   .type = CrossoverType::Bessel,
                                   .freqOfs = {1.7837, 2.1953, 1.9591, 1.8376},
                                   .q = {0.506, 1.2258, 0.7109, 0.5596}};
    ASSERT_TRUE(design.bands[1].SetLowPass(1, bessel));
    ASSERT_TRUE(design.bands[1].EnableLowPass(1, true));
    const std::vector<std::string> problems = Problems();
    ASSERT_EQ(problems.size(), 4u);
    EXPECT_EQ(problems[1], "Band 2, low-pass filter 2, section 2 is unstable: its frequency of "
                           "87812 Hz lies above half the sample rate (48000 Hz).");
}

// Beyond the sample rate the same formulas give a stable section, but one
// with the coefficients of its alias: playable, and wrong.
TEST_F(HardwareCheck, SectionsAboveTheSampleRateAreRefusedAsAliased) {
    const CrossoverSettings custom{.freq = 47000.0,
                                   .type = CrossoverType::Custom,
                                   .freqOfs = {2.2, 1.0, 1.0, 1.0},
                                   .q = {0.7, 1.0, 1.0, 1.0}};
    ASSERT_TRUE(design.bands[0].SetLowPass(0, custom));
    ASSERT_TRUE(design.bands[0].EnableLowPass(0, true));
    EXPECT_EQ(Problems(), std::vector<std::string>{
                              "Band 1, low-pass filter 1, section 1 is aliased: its frequency of "
                              "103400 Hz lies above half the sample rate (48000 Hz), so the unit "
                              "would filter at 7400 Hz instead."});
}

// Rounded to 23 fraction bits, a 2 Hz section's pole lands exactly on z = 1.
TEST_F(HardwareCheck, SectionsThatTheChipsRoundingMakesUnstableAreRefused) {
    CrossoverSettings subsonic{
        .freq = 2.0, .type = CrossoverType::Butterworth, .q = {0.7071, 1.0, 1.0, 1.0}};
    ASSERT_TRUE(design.bands[1].SetHighPass(0, subsonic));
    ASSERT_TRUE(design.bands[1].EnableHighPass(0, true));
    EXPECT_EQ(Problems(), std::vector<std::string>{
                              "Band 2, high-pass filter 1, section 1 is unstable: with its "
                              "coefficients in the TAS3103's 5.23 format a pole lies on or "
                              "outside the unit circle."});
    subsonic.freq = 15.0;
    ASSERT_TRUE(design.bands[1].SetHighPass(0, subsonic));
    EXPECT_TRUE(Problems().empty());
}

TEST_F(HardwareCheck, MoreSectionsThanSlotsAreRefused) {
    // The equaliser setters do not keep the budget, and older files hold
    // whatever they hold.
    for (int k = 0; k < 14; ++k) {
        ASSERT_TRUE(design.bands[0].SetPeq(k, 1.0, 100.0 * (k + 1), 1.0, true));
    }
    ASSERT_TRUE(design.bands[0].SetAllPass(1000.0, 1.0, true));
    ASSERT_TRUE(design.bands[0].SetLowShelf(2.0, 100.0, true));
    EXPECT_TRUE(Problems().empty());
    ASSERT_TRUE(design.bands[0].SetHighShelf(2.0, 8000.0, true));
    EXPECT_EQ(Problems(), std::vector<std::string>{
                              "Band 1 needs 17 biquads, but the TAS3103 has only 16 per band."});
}

// A +20 dB high shelf far down needs b1/a0 near -2·A² = -20.
TEST_F(HardwareCheck, CoefficientsBeyondTheFormatAndNonFiniteOnesAreRefused) {
    ASSERT_TRUE(design.bands[0].SetHighShelf(20.0, 20.0, true));
    std::vector<std::string> problems = Problems();
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_EQ(problems[0], "Band 1, high shelf: coefficient b1/a0 is -19.97, beyond the range of "
                           "the TAS3103's 5.23 format (-16 to +16) by 3.967.");

    ASSERT_TRUE(design.bands[0].SetHighShelf(20.0, 20.0, false));
    ASSERT_TRUE(design.bands[0].SetPeq(2, 20.0, 1000.0, 0.001, true));
    EXPECT_TRUE(Problems().empty());
    design.bands[0].peq[2].q = 0.0; // as a corrupt file could hold it
    EXPECT_EQ(Problems(), std::vector<std::string>{
                              "Band 1, equaliser 3: its coefficients are not finite numbers."});
}

TEST_F(HardwareCheck, LevelsDelaysAndToneTheChipCannotHoldAreRefused) {
    design.inputGain = 30.0;
    design.bands[1].gain = 25.0;
    design.bands[0].delay = 1500.0 / 96000.0;
    design.bands[1].delay = 600.0 / 96000.0;
    ASSERT_TRUE(design.bands[0].SetTrebleGain(0.3));
    const std::vector<std::string> problems = Problems();
    ASSERT_EQ(problems.size(), 4u);
    EXPECT_EQ(problems[0].rfind("The input gain: its mixer coefficient is 31.6", 0), 0u);
    EXPECT_EQ(problems[1], "Band 1: the treble gain of 0.3 dB is not one of the TAS3103's "
                           "settings (-18 to +18 dB in 0.5 dB steps).");
    EXPECT_EQ(problems[2].rfind("Band 2 (gain): its volume coefficient is 17.78", 0), 0u);
    EXPECT_EQ(problems[3], "The delays of the bands add up to 2100 samples, but the TAS3103's "
                           "delay memory holds only 2045.");

    // Muted, the gain no longer reaches the chip.
    design.inputGain = 0.0;
    design.bands[0].trebleGain = 0.0;
    design.bands[0].delay = -1.0 / 96000.0;
    design.bands[1].muted = true;
    EXPECT_EQ(Problems(), std::vector<std::string>{"Band 1: the delay of -0.010 ms is negative."});

    // Values only a hand-made design can hold: a NaN delay slips past every
    // comparison, and a corner beyond a byte spills into the next channel.
    design.bands[0].delay = std::nan("");
    design.bands[1].muted = false;
    design.bands[1].gain = 0.0;
    design.bands[1].bassCorner = 0x105;
    design.bands[1].trebleCorner = 0;
    EXPECT_EQ(Problems(),
              (std::vector<std::string>{
                  "Band 1: the delay is not a finite number.",
                  "Band 2: the bass corner selection 261 is not one of the TAS3103's 1 to 5.",
                  "Band 2: the treble corner selection 0 is not one of the TAS3103's 1 to 5."}));

    design.numBands = 0;
    EXPECT_EQ(Problems(), std::vector<std::string>{
                              "The design has no output bands: there is nothing to program."});
}

} // namespace
} // namespace kv
