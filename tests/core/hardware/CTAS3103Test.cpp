#include "hardware/CTAS3103.h"

#include "filters/TAS3103Words.h"
#include "hardware/ToneCodes.h"
#include "model/CConfiguration.h"

#include <cmath>
#include <gtest/gtest.h>

namespace kv {
namespace {

using Image = CTAS3103::Image;

// Big-endian word at a byte position given literally (not through the
// register map under test).
std::uint32_t WordAt(const Image& image, std::size_t at) {
    return (std::uint32_t{image[at]} << 24) | (std::uint32_t{image[at + 1]} << 16) |
           (std::uint32_t{image[at + 2]} << 8) | std::uint32_t{image[at + 3]};
}

void Put(Image& image, std::size_t at, std::initializer_list<std::uint32_t> words) {
    for (const std::uint32_t w : words) {
        image[at++] = static_cast<std::uint8_t>(w >> 24);
        image[at++] = static_cast<std::uint8_t>(w >> 16);
        image[at++] = static_cast<std::uint8_t>(w >> 8);
        image[at++] = static_cast<std::uint8_t>(w);
    }
}

constexpr std::uint32_t kOne = 0x00800000;

void PutPassThrough(Image& image, std::size_t first, int count) {
    for (int k = 0; k < count; ++k) {
        Put(image, first + 20 * static_cast<std::size_t>(k), {0, 0, kOne, 0, 0});
    }
}

// The image of a fresh one-band design, laid out by hand from the chip's
// register listing.
Image HandBuiltOneBandImage() {
    Image image(2368, 0);
    Put(image, 0, {0x81422418});
    Put(image, 2352, {0x81422418});
    Put(image, 2332, {0x01422433});
    Put(image, 4 + 4 * 6, {kOne});                 // 0x07: CH1 input A
    Put(image, 4 + 4 * 7, {kOne});                 // 0x08: CH2 input A
    Put(image, 4 + 4 * 11, {kOne});                // 0x0C: CH3 input A
    Put(image, 148 + 4 * 4, {kOne});               // 0x29
    Put(image, 148 + 4 * 7, {kOne});               // 0x2C
    PutPassThrough(image, 208, 24);                // 0x34-0x4B
    Put(image, 688, {kOne, 0, kOne, 0, kOne, 0});  // 0x4C-0x4E
    PutPassThrough(image, 712, 36);                // 0x4F-0x72
    Put(image, 1432, {kOne, 0, kOne, 0, kOne, 0}); // 0x73-0x75 bypassed
    Put(image, 1480, {0, kOne, 0, kOne, 0, kOne}); // 0x7C-0x7E
    Put(image, 1524, {kOne});                      // 0x84
    Put(image, 1544, {kOne});                      // 0x89
    Put(image, 1548 + 4 * 5, {kOne});              // 0x8F
    Put(image, 1548 + 4 * 10, {kOne});             // 0x94
    Put(image, 1548 + 4 * 14, {kOne, kOne});       // 0x98, 0x99
    for (const std::size_t loudness : {1644u, 1688u, 1732u}) {
        Put(image, loudness, {0x00400000});
        PutPassThrough(image, loudness + 24, 1);
    }
    for (const std::size_t drc : {1776u, 1844u}) {
        Put(image, drc, {kOne, 0, 0, 1, 0, 1});
        Put(image, drc + 36, {0, 0x01FFFFFF, 0, 0x01FFFFFF, kOne, 0, kOne, 0});
    }
    Put(image, 1912, {kOne, 0});                // 0xBB
    PutPassThrough(image, 1920, 10);            // 0xBC-0xC5
    Put(image, 2120, {kOne, kOne, 0x0000FFFF}); // 0xC6, 0xC7
    Put(image, 2276, {1});                      // 0xEB
    Put(image, 2292, {0x000F6E6D});             // 0xEF
    Put(image, 2300, {0x40, 0xFF800000, 0xFF800000, 0xFF800000});
    Put(image, 2316, {0x00030305, 0x00727272, 0x00030305, 0x00727272});
    Put(image, 2348, {0x41}); // 0xFB
    return image;
}

TEST(TAS3103, RegisterMapLaysTheSubaddressesBackToBack) {
    const CTAS3103 tas;
    const std::pair<int, std::size_t> starts[] = {
        {0x01, 4},    {0x25, 148},  {0x34, 208},  {0x4C, 688},  {0x4F, 712},  {0x5B, 952},
        {0x67, 1192}, {0x73, 1432}, {0x76, 1456}, {0x7C, 1480}, {0x7F, 1504}, {0x84, 1524},
        {0x89, 1544}, {0x8A, 1548}, {0xA2, 1644}, {0xB1, 1776}, {0xB3, 1800}, {0xBB, 1912},
        {0xBC, 1920}, {0xC6, 2120}, {0xC7, 2128}, {0xC8, 2132}, {0xCA, 2144}, {0xD0, 2168},
        {0xD2, 2176}, {0xEB, 2276}, {0xEF, 2292}, {0xF2, 2304}, {0xF5, 2316}, {0xF9, 2332},
        {0xFA, 2336}, {0xFB, 2348}, {0xFC, 2352}, {0xFD, 2356}, {0xFF, 2364}};
    for (const auto& [subaddress, offset] : starts) {
        EXPECT_EQ(tas.Offset(subaddress), offset) << std::hex << subaddress;
    }
    EXPECT_EQ(tas.Size(0xC9), 6u);
    EXPECT_EQ(tas.Size(0xB4), 16u);
    EXPECT_EQ(tas.Size(0xFA), 12u);
}

TEST(TAS3103, FixedPointConversionRoundsAndSaturates) {
    EXPECT_EQ(ToFixed523(1.0), 0x00800000u);
    EXPECT_EQ(ToFixed523(0.5), 0x00400000u);
    EXPECT_EQ(ToFixed523(1.0 / 3.0), 0x002AAAABu);
    EXPECT_EQ(ToFixed523(-1.0), 0xFF800000u);
    EXPECT_EQ(ToFixed523(-0.5 / 8388608.0), 0u); // halves go up
    EXPECT_EQ(ToFixed523(-16.0), 0xF8000000u);
    // Beyond the format the value sticks at its end instead of wrapping
    // round to the other sign (16.5 used to become -15.5).
    EXPECT_EQ(ToFixed523(16.5), 0x07FFFFFFu);
    EXPECT_EQ(ToFixed523(-100.0), 0xF8000000u);
    EXPECT_EQ(ToFixed523(INFINITY), 0x07FFFFFFu);
    EXPECT_EQ(ToFixed523(NAN), 0u);
}

TEST(TAS3103, ToneCodes) {
    EXPECT_EQ(BassGainCode(18.0), 1);
    EXPECT_EQ(BassGainCode(17.5), 8);
    EXPECT_EQ(TrebleGainCode(17.5), 9);
    EXPECT_EQ(BassGainCode(0.5), 113);
    EXPECT_EQ(TrebleGainCode(0.04), 114); // rounds to 0.0 dB
    EXPECT_EQ(BassGainCode(-0.5), 115);
    EXPECT_EQ(TrebleGainCode(-18.0), 150);
    EXPECT_EQ(BassGainCode(0.3), 150);
}

TEST(TAS3103, FreshOneBandDesignGivesTheHandBuiltImage) {
    CConfiguration design;
    ASSERT_TRUE(design.New(1, 96000.0));
    CTAS3103 tas;
    const Image image = tas.BuildImage(design);
    ASSERT_EQ(image.size(), CTAS3103::kImageSize);
    const Image expected = HandBuiltOneBandImage();
    for (std::size_t at = 0; at < image.size(); at += 4) {
        EXPECT_EQ(WordAt(image, at), WordAt(expected, at)) << "byte " << at;
    }
}

// PEQ at a quarter of the sample rate with Q 0.5 and A = 2: α = 1, so
// a = (1.5, 0, 0.5) and b = (3, 0, -1): words 0, -1/3, 2, 0, -2/3.
TEST(TAS3103, OneEqualiserTakesTheBandsFirstSlot) {
    CConfiguration design;
    ASSERT_TRUE(design.New(1, 96000.0));
    ASSERT_TRUE(design.bands[0].SetPeq(5, 40.0 * std::log10(2.0), 24000.0, 0.5, true));
    CTAS3103 tas;
    const Image image = tas.BuildImage(design);
    ASSERT_EQ(image.size(), CTAS3103::kImageSize);
    const std::uint32_t words[] = {0, 0xFFD55555, 0x01000000, 0, 0xFFAAAAAB};
    for (std::size_t i = 0; i < 5; ++i) {
        EXPECT_EQ(WordAt(image, 208 + 4 * i), words[i]) << i;
    }
    Image expected = HandBuiltOneBandImage();
    Put(expected, 208, {0, 0xFFD55555, 0x01000000, 0, 0xFFAAAAAB});
    EXPECT_EQ(image, expected);
}

TEST(TAS3103, ThreeBandsRouteDelayMuteInvertAndShapeTone) {
    CConfiguration design;
    ASSERT_TRUE(design.New(3, 96000.0));
    CBand& hf = design.bands[0];
    CBand& mf = design.bands[1];
    CBand& lf = design.bands[2];
    ASSERT_TRUE(mf.SetInput(InputRoute::B));
    ASSERT_TRUE(lf.SetInput(InputRoute::Both));
    ASSERT_TRUE(hf.SetGain(-6.020599913279624));
    ASSERT_TRUE(mf.SetReversedPhase(true));
    ASSERT_TRUE(lf.SetMuted(true));
    ASSERT_TRUE(design.SetDelay(1, 0.001));
    ASSERT_TRUE(hf.SetBassCorner(1));
    ASSERT_TRUE(hf.SetBassGain(18.0));
    ASSERT_TRUE(mf.SetTrebleCorner(2));
    ASSERT_TRUE(mf.SetTrebleGain(-18.0));
    ASSERT_TRUE(lf.SetBassGain(-0.5));
    CrossoverSettings highPass;
    ASSERT_TRUE(lf.SetHighPass(0, highPass));
    ASSERT_TRUE(lf.EnableHighPass(0, true));

    CTAS3103 tas;
    const Image image = tas.BuildImage(design);
    ASSERT_EQ(image.size(), CTAS3103::kImageSize);
    EXPECT_EQ(WordAt(image, 4 + 4 * 6), kOne);        // CH1 input A
    EXPECT_EQ(WordAt(image, 4 + 4 * 1), kOne);        // CH2 input B
    EXPECT_EQ(WordAt(image, 4 + 4 * 7), 0u);          // CH2 input A
    EXPECT_EQ(WordAt(image, 4 + 4 * 5), 0x00400000u); // CH3 input B
    EXPECT_EQ(WordAt(image, 4 + 4 * 11), 0x00400000u);
    for (const std::size_t meter : {1524u, 1532u, 1540u}) {
        EXPECT_EQ(WordAt(image, meter), 0x002AAAABu);
    }
    EXPECT_EQ(WordAt(image, 2336), 0u);
    EXPECT_EQ(WordAt(image, 2340), 0x00600000u); // 96 samples
    EXPECT_EQ(WordAt(image, 2344), 0u);
    EXPECT_EQ(WordAt(image, 2304), 0xFFC00000u); // -6 dB, normal polarity
    EXPECT_EQ(WordAt(image, 2308), kOne);        // 0 dB, reversed
    EXPECT_EQ(WordAt(image, 2312), 0xFFFFFFF9u); // muted: -7
    for (const std::size_t mixer : {1432u, 1440u, 1448u}) {
        EXPECT_EQ(WordAt(image, mixer), 0u);
        EXPECT_EQ(WordAt(image, mixer + 4), kOne);
    }
    EXPECT_EQ(WordAt(image, 2316), 0x00050501u); // bass corners CH3, CH2, CH1
    EXPECT_EQ(WordAt(image, 2320), 0x00737201u); // bass codes
    EXPECT_EQ(WordAt(image, 2324), 0x00050205u); // treble corners
    EXPECT_EQ(WordAt(image, 2328), 0x00729672u); // treble codes

    // Band 3's first biquad is input biquad 0x48; 0x3C-0x47 are never used.
    EXPECT_NE(WordAt(image, 208 + 20 * 20 + 8), kOne);
    const Image reference = HandBuiltOneBandImage();
    for (std::size_t at = 208 + 20 * 8; at < 208 + 20 * 20; ++at) {
        EXPECT_EQ(image[at], reference[at]);
    }
    EXPECT_EQ(WordAt(image, 0), 0x81422418u);
    EXPECT_EQ(WordAt(image, 2352), 0x81422418u);
}

} // namespace
} // namespace kv
