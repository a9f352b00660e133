#include "core/filters/FilterTestSupport.h"
#include "filters/AlignmentTable.h"
#include "filters/BiquadCalc.h"

#include <cmath>
#include <gtest/gtest.h>

namespace kv {
namespace {

constexpr double kFs = 96000.0;

// The response at f of a filter built from a table record at frequency fc,
// as the crossover calculators build it.
Complex FilterResponse(const AlignmentRecord& record, double fc, double f) {
    Complex h(1.0, 0.0);
    int remaining = record.order;
    for (int k = 0; remaining > 0; ++k) {
        const bool second = remaining > 1;
        const bool hp = record.highPass == 1;
        const BiquadKind kind = second ? (hp ? BiquadKind::HighPass2 : BiquadKind::LowPass2)
                                       : (hp ? BiquadKind::HighPass1 : BiquadKind::LowPass1);
        BiquadCalc calc;
        calc.Design(kind, kFs, fc * record.sections[k].ratio, 0.0,
                    second ? record.sections[k].q : 0.0);
        h *= test::TransferAt(calc.GetCoefficients(), f, kFs);
        remaining -= second ? 2 : 1;
    }
    return h;
}

AlignmentRecord Lookup(int order, CrossoverType type, bool highPass) {
    AlignmentRecord record;
    EXPECT_TRUE(LookupAlignment(record, order, type, highPass))
        << order << " " << static_cast<int>(type);
    return record;
}

TEST(Alignment, TableHoldsItsRecordsInOrderAndLookupFindsTheFirstMatch) {
    const auto table = AlignmentTable();
    ASSERT_EQ(table.size(), 36u);
    EXPECT_EQ(table[0].type, CrossoverType::Butterworth);
    EXPECT_EQ(table[0].order, 1);
    EXPECT_EQ(table[1].highPass, 1);
    EXPECT_EQ(table[2].type, CrossoverType::LinkwitzRiley);
    EXPECT_EQ(table[8].type, CrossoverType::Bessel);
    EXPECT_EQ(table[15].highPass, 1);
    EXPECT_EQ(table[22].type, CrossoverType::Butterworth);
    EXPECT_EQ(table[35].order, 8);
    EXPECT_EQ(table[35].highPass, 1);

    const AlignmentRecord bessel = Lookup(2, CrossoverType::Bessel, true);
    EXPECT_EQ(bessel.sections[0].ratio, 0.7852);
    EXPECT_EQ(bessel.sections[0].q, 0.5773);
    EXPECT_EQ(bessel.sections[1].ratio, 0.0);
    EXPECT_EQ(Lookup(2, CrossoverType::Bessel, false).sections[0].ratio, 1.2736);
    const AlignmentRecord lr8 = Lookup(8, CrossoverType::LinkwitzRiley, false);
    EXPECT_EQ(lr8.sections[2].q, 0.5412);
    EXPECT_EQ(lr8.sections[3].q, 1.3065);

    AlignmentRecord untouched;
    untouched.order = 99;
    EXPECT_FALSE(LookupAlignment(untouched, 3, CrossoverType::LinkwitzRiley, false));
    EXPECT_FALSE(LookupAlignment(untouched, 1, CrossoverType::Bessel, true));
    EXPECT_FALSE(LookupAlignment(untouched, 2, CrossoverType::Custom, false));
    EXPECT_EQ(untouched.order, 99);
}

TEST(Alignment, LinkwitzRileyPairsSumToAnAllPass) {
    for (const int order : {4, 8}) {
        const AlignmentRecord lp = Lookup(order, CrossoverType::LinkwitzRiley, false);
        const AlignmentRecord hp = Lookup(order, CrossoverType::LinkwitzRiley, true);
        for (double f = 20.0; f < 40000.0; f *= 1.3) {
            const Complex sum = FilterResponse(lp, 2000.0, f) + FilterResponse(hp, 2000.0, f);
            EXPECT_NEAR(std::abs(sum), 1.0, 2e-4) << "order " << order << " at " << f;
        }
    }
}

TEST(Alignment, ButterworthFiltersAreThreeDecibelsDownAtTheirFrequency) {
    for (int order = 1; order <= 8; ++order) {
        for (const bool highPass : {false, true}) {
            const AlignmentRecord record = Lookup(order, CrossoverType::Butterworth, highPass);
            EXPECT_NEAR(std::abs(FilterResponse(record, 3000.0, 3000.0)), std::sqrt(0.5), 2e-4)
                << "order " << order << (highPass ? " high-pass" : " low-pass");
        }
    }
}

// The frequency where |H| crosses 1/√2, by bisection in log frequency.
double MinusThreeDbFrequency(const AlignmentRecord& record, double fc) {
    double lo = fc / 4.0;
    double hi = fc * 4.0;
    for (int i = 0; i < 60; ++i) {
        const double mid = std::sqrt(lo * hi);
        const bool above = std::abs(FilterResponse(record, fc, mid)) > std::sqrt(0.5);
        // A low-pass is above -3 dB below its corner, a high-pass above it.
        ((above != (record.highPass == 1)) ? lo : hi) = mid;
    }
    return std::sqrt(lo * hi);
}

TEST(Alignment, BesselFiltersAreThreeDecibelsDownWithinOnePercentOfTheirFrequency) {
    for (int order = 2; order <= 8; ++order) {
        for (const bool highPass : {false, true}) {
            const double f =
                MinusThreeDbFrequency(Lookup(order, CrossoverType::Bessel, highPass), 1000.0);
            EXPECT_NEAR(f, 1000.0, 10.0) << "order " << order << (highPass ? " HP" : " LP");
        }
    }
}

} // namespace
} // namespace kv
