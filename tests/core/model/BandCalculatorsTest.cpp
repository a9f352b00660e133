#include "model/BandCalculators.h"

#include "math/VFreqVec.h"
#include "model/CConfiguration.h"

#include <gtest/gtest.h>

namespace kv {
namespace {

constexpr double kFs = 96000.0;

BiquadCoefs Designed(BiquadKind kind, double f, double gainDb, double q) {
    BiquadCalc calc;
    EXPECT_TRUE(calc.Design(kind, kFs, f, gainDb, q));
    return calc.GetCoefficients();
}

CrossoverSettings Crossover(CrossoverType type, int order, double freq,
                            std::array<double, kCrossoverSections> ratios,
                            std::array<double, kCrossoverSections> qs) {
    const CrossoverSettings s{
        .freq = freq, .order = order, .type = type, .freqOfs = ratios, .q = qs};
    return s;
}

class BandCalculators : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(design.New(2, kFs));
        ASSERT_TRUE(grid.Create(10.0, 40000.0, 48, false, false));
        ASSERT_TRUE(phasors.Create(grid, kFs));
    }

    CBand& Band() { return design.bands[0]; }

    VComplexVec Flat() const {
        VComplexVec response(grid.GetSize());
        response.FillReal(1.0);
        return response;
    }

    CConfiguration design;
    VFreqVec grid;
    GridPhasors phasors;
};

TEST_F(BandCalculators, CrossoverSlotsBecomeSecondOrderSectionsThenAFirstOrderOne) {
    ASSERT_TRUE(Band().SetLowPass(
        0, Crossover(CrossoverType::Butterworth, 3, 1000.0, {1, 1, 1, 1}, {1, 0, 1, 1})));
    ASSERT_TRUE(Band().EnableLowPass(0, true));
    ASSERT_TRUE(Band().SetHighPass(
        1, Crossover(CrossoverType::Bessel, 2, 1000.0, {0.7852, 1, 1, 1}, {0.5773, 1, 1, 1})));
    ASSERT_TRUE(Band().EnableHighPass(1, true));

    BiquadList list;
    VComplexVec response = Flat();
    ApplyLowPassFilters(Band(), phasors, response, &list);
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0], Designed(BiquadKind::LowPass2, 1000.0, 0.0, 1.0));
    EXPECT_EQ(list[1], Designed(BiquadKind::LowPass1, 1000.0, 0.0, 0.0));

    list.clear();
    ApplyHighPassFilters(Band(), phasors, response, &list);
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0], Designed(BiquadKind::HighPass2, 785.2, 0.0, 0.5773));

    // The response holds the product of the three sections.
    VComplexVec expected = Flat();
    for (const auto& [kind, f, q] : {std::tuple{BiquadKind::LowPass2, 1000.0, 1.0},
                                     std::tuple{BiquadKind::LowPass1, 1000.0, 0.0},
                                     std::tuple{BiquadKind::HighPass2, 785.2, 0.5773}}) {
        BiquadCalc calc;
        calc.Design(kind, kFs, f, 0.0, q);
        calc.MultiplyResponse(expected, phasors);
    }
    for (int i = 0; i < grid.GetSize(); ++i) {
        EXPECT_LT(std::abs(response[i] - expected[i]), 1e-12);
    }
}

TEST_F(BandCalculators, CollectBiquadsListsEnabledFiltersInHardwareOrder) {
    BiquadList list;
    EXPECT_EQ(CollectBiquads(Band(), list), 0);
    // Bass and treble have their own stage on the chip.
    ASSERT_TRUE(Band().SetBassGain(6.0));
    ASSERT_TRUE(Band().SetTrebleGain(-3.0));
    EXPECT_EQ(CollectBiquads(Band(), list), 0);

    // Enabled out of hardware order, and with disabled neighbours.
    ASSERT_TRUE(Band().SetPeq(13, 3.0, 5000.0, 2.0, true));
    ASSERT_TRUE(Band().SetPeq(4, -3.0, 300.0, 1.0, false));
    ASSERT_TRUE(Band().SetHighShelf(-2.0, 8000.0, true));
    ASSERT_TRUE(Band().SetLowShelf(4.0, 100.0, true));
    ASSERT_TRUE(Band().SetAllPass(1500.0, 0.8, true));
    ASSERT_TRUE(Band().SetNotch(2, 600.0, 5.0, true));
    ASSERT_TRUE(Band().SetLowPass(1, Crossover(CrossoverType::LinkwitzRiley, 4, 3000.0,
                                               {1, 1, 1, 1}, {0.7071, 0.7071, 1, 1})));
    ASSERT_TRUE(Band().EnableLowPass(1, true));
    ASSERT_TRUE(Band().SetHighPass(
        0, Crossover(CrossoverType::Custom, 1, 50.0, {1.5, 1, 1, 1}, {0, 1, 1, 1})));
    ASSERT_TRUE(Band().EnableHighPass(0, true));

    ASSERT_EQ(CollectBiquads(Band(), list), 8);
    const BiquadList expected = {
        Designed(BiquadKind::HighPass1, 75.0, 0.0, 0.0),
        Designed(BiquadKind::LowPass2, 3000.0, 0.0, 0.7071),
        Designed(BiquadKind::LowPass2, 3000.0, 0.0, 0.7071),
        Designed(BiquadKind::Notch, 600.0, 0.0, 5.0),
        Designed(BiquadKind::AllPass, 1500.0, 0.0, 0.8),
        Designed(BiquadKind::LowShelf, 100.0, 4.0, 0.0),
        Designed(BiquadKind::HighShelf, 8000.0, -2.0, 0.0),
        Designed(BiquadKind::Peaking, 5000.0, 3.0, 2.0),
    };
    EXPECT_EQ(list, expected);
    EXPECT_EQ(16 - Band().FreeBiquads(), 8);
}

TEST_F(BandCalculators, BassTrebleAndTargetsShapeTheResponseOnly) {
    ASSERT_TRUE(Band().SetBassCorner(4)); // 500 Hz at 96 kHz
    ASSERT_TRUE(Band().SetBassGain(6.0));
    VComplexVec response = Flat();
    ApplyBassTreble(Band(), phasors, response);
    VComplexVec shelf = Flat();
    BiquadCalc calc;
    calc.Design(BiquadKind::LowShelf, kFs, 500.0, 6.0, 0.0);
    calc.MultiplyResponse(shelf, phasors);
    for (int i = 0; i < grid.GetSize(); ++i) {
        EXPECT_EQ(response[i], shelf[i]);
    }

    // A target shows only while its slot is enabled.
    ASSERT_TRUE(Band().SetHighPassTarget(
        0, Crossover(CrossoverType::Butterworth, 2, 500.0, {1, 1, 1, 1}, {0.7071, 1, 1, 1})));
    VComplexVec target = Flat();
    ApplyHighPassTargets(Band(), phasors, target);
    EXPECT_EQ(target[0], Complex(1.0, 0.0));
    ASSERT_TRUE(Band().EnableHighPass(0, true));
    ApplyHighPassTargets(Band(), phasors, target);
    EXPECT_LT(std::abs(target[0]), 0.01);
}

TEST_F(BandCalculators, SectionsAreNamedForTheUser) {
    EXPECT_EQ(DescribeSection({FilterGroup::HighPass, 0, 1}), "high-pass filter 1, section 2");
    EXPECT_EQ(DescribeSection({FilterGroup::Peq, 12, 0}), "equaliser 13");
    EXPECT_EQ(DescribeSection({FilterGroup::BassTreble, 1, 0}), "treble");
}

} // namespace
} // namespace kv
