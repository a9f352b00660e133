#include "core/filters/FilterTestSupport.h"
#include "hardware/CTAS3103.h"
#include "hardware/TAS3103Registers.h"
#include "model/BandCalculators.h"
#include "model/CConfiguration.h"
#include "model/HardwareDeviation.h"
#include "model/MainGrid.h"

#include <cmath>
#include <gtest/gtest.h>
#include <optional>

namespace kv {
namespace {

constexpr double kFixedOne = 8388608.0;

double Db(const Complex& value) {
    return 20.0 * std::log10(std::abs(value));
}

// A 5.23 word of the image, big-endian, as the value the chip holds.
double ImageWord(const CTAS3103& tas, const CTAS3103::Image& image, int subaddress, int word) {
    const std::size_t at = tas.Offset(subaddress) + 4 * static_cast<std::size_t>(word);
    std::uint32_t bits = 0;
    for (std::size_t i = 0; i < 4; ++i) {
        bits = (bits << 8) | image[at + i];
    }
    return static_cast<std::int32_t>(bits) / kFixedOne;
}

// Band 1's k-th section as the image holds it: four input biquads first,
// then the channel biquads.
BiquadCoefs ImageSection(const CTAS3103& tas, const CTAS3103::Image& image, int k) {
    const int subaddress = k < tas3103::kInputBiquadsPerChannel
                               ? tas3103::kInputBiquads[0] + k
                               : tas3103::kChannelBiquads[0] + k - tas3103::kInputBiquadsPerChannel;
    const auto w = [&](int i) { return ImageWord(tas, image, subaddress, i); };
    return {1.0, -w(0), -w(1), w(2), w(3), w(4)};
}

// The words of a section rounded to 23 fraction bits by hand, saturated at
// the format's ends.
double HandRounded(double x) {
    return std::clamp(std::floor(x * kFixedOne + 0.5), -134217728.0, 134217727.0) / kFixedOne;
}

BiquadCoefs HandRoundedSection(const BiquadCoefs& c) {
    return {1.0,
            HandRounded(c.a1 / c.a0),
            HandRounded(c.a2 / c.a0),
            HandRounded(c.b0 / c.a0),
            HandRounded(c.b1 / c.a0),
            HandRounded(c.b2 / c.a0)};
}

// The largest level difference of two responses between two frequencies.
double LargestDifferenceDb(const VFreqVec& grid, const VComplexVec& a, const VComplexVec& b,
                           double from, double to) {
    double largest = 0.0;
    for (int i = 0; i < grid.GetSize(); ++i) {
        if (grid[i] >= from && grid[i] <= to) {
            largest = std::max(largest, std::fabs(Db(a[i]) - Db(b[i])));
        }
    }
    return largest;
}

class HardwareResponse : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(CreateMainGrid(grid));
        ASSERT_TRUE(design.New(2, 96000.0));
    }

    void Recalculate() { ASSERT_TRUE(design.Recalculate(&grid, kMainPirLength)); }

    // The response the given sections and volume give, evaluated directly
    // from their transfer functions.
    VComplexVec Played(const std::vector<BiquadCoefs>& sections, double volume) const {
        VComplexVec response(grid.GetSize());
        for (int i = 0; i < grid.GetSize(); ++i) {
            Complex h = volume;
            for (const BiquadCoefs& c : sections) {
                h *= test::TransferAt(c, grid[i], 96000.0);
            }
            response[i] = h;
        }
        return response;
    }

    void ExpectSameResponse(const VComplexVec& actual, const VComplexVec& expected) const {
        ASSERT_EQ(actual.GetSize(), expected.GetSize());
        for (int i = 0; i < actual.GetSize(); ++i) {
            EXPECT_LT(std::abs(actual[i] - expected[i]), 1e-7 * std::abs(expected[i]) + 1e-15)
                << "at " << grid[i] << " Hz";
        }
    }

    VFreqVec grid;
    CConfiguration design;
};

CrossoverSettings SubsonicButterworth8() {
    const CrossoverSettings s{.freq = 10.0,
                              .order = 8,
                              .type = CrossoverType::Butterworth,
                              .q = {0.5098, 0.6013, 0.9000, 2.5629}};
    return s;
}

// What the image holds is what the curve plays: a sub-sonic high-pass and a
// boosted shelf far down lose much of their shape in 23 fraction bits.
TEST_F(HardwareResponse, ASubsonicHighPassAndABoostedShelfPlayAsTheImageWords) {
    CBand& band = design.bands[0];
    ASSERT_TRUE(band.SetHighPass(0, SubsonicButterworth8()));
    ASSERT_TRUE(band.EnableHighPass(0, true));
    ASSERT_TRUE(band.SetLowShelf(20.0, 30.0, true));
    ASSERT_TRUE(band.SetGain(-3.0));
    ASSERT_TRUE(CTAS3103::CheckConfiguration(design).empty());
    CTAS3103 tas;
    const CTAS3103::Image image = tas.BuildImage(design);
    ASSERT_EQ(image.size(), CTAS3103::kImageSize);
    std::vector<BiquadCoefs> sections;
    for (int k = 0; k < 5; ++k) {
        sections.push_back(ImageSection(tas, image, k));
    }
    // Normal polarity: the chip's output stage inverts, so the word is
    // negative.
    const double volume = -ImageWord(tas, image, tas3103::kVolume, 0);
    Recalculate();
    ExpectSameResponse(band.hardwareResponse, Played(sections, volume));
    const std::optional<double> deviation = MaxHardwareDeviationDb(band, grid);
    ASSERT_TRUE(deviation.has_value());
    EXPECT_GT(*deviation, 1.0);
    EXPECT_DOUBLE_EQ(*deviation, LargestDifferenceDb(grid, band.hardwareResponse,
                                                     band.filterResponse, 10.0, 20000.0));
}

// A +20 dB high shelf at 20 Hz needs b1/a0 near -20: the check refuses it,
// and the curve shows the word stuck at the end of the format.
TEST_F(HardwareResponse, ACoefficientBeyondTheFormatPlaysSaturated) {
    CBand& band = design.bands[1];
    ASSERT_TRUE(band.SetHighPass(0, SubsonicButterworth8()));
    ASSERT_TRUE(band.EnableHighPass(0, true));
    ASSERT_TRUE(band.SetHighShelf(20.0, 20.0, true));
    ASSERT_FALSE(CTAS3103::CheckConfiguration(design).empty());
    Recalculate();
    BiquadList designed;
    CollectBiquads(band, designed);
    std::vector<BiquadCoefs> sections;
    for (const BiquadCoefs& c : designed) {
        sections.push_back(HandRoundedSection(c));
    }
    EXPECT_DOUBLE_EQ(sections.back().b1, -16.0);
    ExpectSameResponse(band.hardwareResponse, Played(sections, 1.0));
    EXPECT_GT(
        LargestDifferenceDb(grid, band.hardwareResponse, band.filterResponse, 1000.0, 20000.0),
        1.0);
}

// Far down the tweeter's stop band (160 dB down at 20 Hz) the rounding
// moves the level by decibels; the deviation leaves out what nobody hears.
TEST_F(HardwareResponse, AnOrdinaryTwoWayPlaysWithinAHundredthOfADecibel) {
    const CrossoverSettings lr4{.freq = 2200.0, .order = 4, .q = {0.7071, 0.7071, 1.0, 1.0}};
    CBand& tweeter = design.bands[0];
    CBand& woofer = design.bands[1];
    ASSERT_TRUE(tweeter.SetHighPass(0, lr4));
    ASSERT_TRUE(tweeter.EnableHighPass(0, true));
    ASSERT_TRUE(tweeter.SetPeq(0, -3.0, 6500.0, 2.0, true));
    ASSERT_TRUE(tweeter.SetGain(-4.3));
    ASSERT_TRUE(tweeter.SetReversedPhase(true));
    ASSERT_TRUE(woofer.SetLowPass(0, lr4));
    ASSERT_TRUE(woofer.EnableLowPass(0, true));
    ASSERT_TRUE(woofer.SetPeq(0, -4.0, 180.0, 3.0, true));
    ASSERT_TRUE(woofer.SetBassGain(4.5));
    ASSERT_TRUE(design.SetDelay(1, 0.002));
    ASSERT_TRUE(CTAS3103::CheckConfiguration(design).empty());
    Recalculate();
    for (const CBand* band : {&tweeter, &woofer}) {
        for (int i = 0; i < grid.GetSize(); ++i) {
            if (grid[i] < 20.0 || grid[i] > 20000.0 || Db(band->filterResponse[i]) < -60.0) {
                continue;
            }
            const Complex ratio = band->hardwareResponse[i] / band->filterResponse[i];
            EXPECT_LT(std::fabs(Db(ratio)), 0.01) << "at " << grid[i] << " Hz";
            // Delay and polarity are played as designed.
            EXPECT_LT(std::fabs(std::arg(ratio)), 0.001) << "at " << grid[i] << " Hz";
        }
        EXPECT_LT(MaxHardwareDeviationDb(*band, grid).value_or(1.0), 0.01);
    }
    EXPECT_GT(std::fabs(Db(tweeter.hardwareResponse[0]) - Db(tweeter.filterResponse[0])), 1.0);
}

// The chip has no setting for 3.3 dB: the image sends its lowest code.
TEST_F(HardwareResponse, BassAndTrebleOffTheChipsGridPlayAtTheLowestSetting) {
    ASSERT_TRUE(design.bands[0].SetBassGain(3.3));
    ASSERT_TRUE(design.bands[0].SetTrebleGain(1.5000000001));
    ASSERT_TRUE(design.bands[1].SetBassGain(-18.0));
    ASSERT_TRUE(design.bands[1].SetTrebleGain(1.5));
    Recalculate();
    ExpectSameResponse(design.bands[0].hardwareResponse, design.bands[1].filterResponse);
}

// The mute level's word holds 7 steps of 2^-23.
TEST_F(HardwareResponse, AMutedBandPlaysAtItsVolumeWord) {
    ASSERT_TRUE(design.bands[0].SetMuted(true));
    Recalculate();
    const double expected = 20.0 * std::log10(7.0 / kFixedOne);
    for (int i = 0; i < grid.GetSize(); ++i) {
        EXPECT_NEAR(Db(design.bands[0].hardwareResponse[i]), expected, 1e-9);
    }
    EXPECT_NEAR(*MaxHardwareDeviationDb(design.bands[0], grid), expected + 122.0, 1e-9);
}

TEST_F(HardwareResponse, ExistsOnlyWithTheOtherResponses) {
    EXPECT_FALSE(MaxHardwareDeviationDb(design.bands[0], grid).has_value());
    Recalculate();
    EXPECT_EQ(design.bands[0].hardwareResponse.GetSize(), grid.GetSize());
    EXPECT_EQ(MaxHardwareDeviationDb(design.bands[0], grid), 0.0);
    design.bands[0].ClearResponses();
    EXPECT_TRUE(design.bands[0].hardwareResponse.Empty());
    EXPECT_FALSE(MaxHardwareDeviationDb(design.bands[0], grid).has_value());
}

TEST(HardwareDeviationText, ShowsEveryDeviationWithTwoDigitsAtLeast) {
    EXPECT_EQ(HardwareDeviationText(0.03), "Hardware: 0.03 dB max. deviation");
    EXPECT_EQ(HardwareDeviationText(12.5), "Hardware: 12.50 dB max. deviation");
    EXPECT_EQ(HardwareDeviationText(0.0123), "Hardware: 0.01 dB max. deviation");
    EXPECT_EQ(HardwareDeviationText(0.0012), "Hardware: 0.0012 dB max. deviation");
    EXPECT_EQ(HardwareDeviationText(0.00034), "Hardware: 0.00034 dB max. deviation");
    EXPECT_EQ(HardwareDeviationText(0.00001), "Hardware: < 0.0001 dB max. deviation");
    EXPECT_EQ(HardwareDeviationText(0.0), "Hardware: 0.00 dB max. deviation");
}

} // namespace
} // namespace kv
