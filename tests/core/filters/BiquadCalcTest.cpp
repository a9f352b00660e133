#include "filters/BiquadCalc.h"

#include "core/filters/FilterTestSupport.h"
#include "math/VFreqVec.h"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>

namespace kv {
namespace {

constexpr double kFs = 96000.0;
Complex ResponseAt(BiquadKind kind, double f0, double gainDb, double q, double f) {
    BiquadCalc calc;
    EXPECT_TRUE(calc.Design(kind, kFs, f0, gainDb, q));
    return test::TransferAt(calc.GetCoefficients(), f, kFs);
}

VFreqVec MainGrid() {
    VFreqVec grid;
    EXPECT_TRUE(grid.Create(10.0, 40000.0, 48, false, false));
    return grid;
}

TEST(BiquadCalc, EachKindMeetsItsDefiningResponse) {
    const double f0 = 1000.0;
    const double nyquist = kFs / 2.0;
    EXPECT_LT(std::abs(ResponseAt(BiquadKind::Notch, f0, 0.0, 4.0, f0)), 1e-9);
    EXPECT_NEAR(std::abs(ResponseAt(BiquadKind::Notch, f0, 0.0, 4.0, 0.0) - 1.0), 0.0, 1e-12);

    const Complex peak = ResponseAt(BiquadKind::Peaking, f0, 6.0, 2.5, f0);
    EXPECT_NEAR(std::abs(peak), std::pow(10.0, 6.0 / 20.0), 1e-12);
    EXPECT_NEAR(std::arg(peak), 0.0, 1e-12);

    const double twelveDb = std::pow(10.0, 12.0 / 20.0);
    EXPECT_NEAR(std::abs(ResponseAt(BiquadKind::LowShelf, f0, 12.0, 0.0, 0.0)), twelveDb, 1e-9);
    EXPECT_NEAR(std::abs(ResponseAt(BiquadKind::LowShelf, f0, 12.0, 0.0, nyquist)), 1.0, 1e-9);
    EXPECT_NEAR(std::abs(ResponseAt(BiquadKind::HighShelf, f0, 12.0, 0.0, 0.0)), 1.0, 1e-9);
    EXPECT_NEAR(std::abs(ResponseAt(BiquadKind::HighShelf, f0, 12.0, 0.0, nyquist)), twelveDb,
                1e-9);

    // A second-order pass section has |H| = Q at its own frequency.
    EXPECT_NEAR(std::abs(ResponseAt(BiquadKind::LowPass2, f0, 0.0, 1.3, f0)), 1.3, 1e-12);
    EXPECT_NEAR(std::abs(ResponseAt(BiquadKind::HighPass2, f0, 0.0, 0.7, f0)), 0.7, 1e-12);
}

TEST(BiquadCalc, FlatAndAllPassSectionsKeepTheLevel) {
    BiquadCalc calc;
    ASSERT_TRUE(calc.Design(BiquadKind::Peaking, kFs, 3000.0, 0.0, 0.3));
    const BiquadCoefs& c = calc.GetCoefficients();
    EXPECT_EQ(c.b0, c.a0);
    EXPECT_EQ(c.b1, c.a1);
    EXPECT_EQ(c.b2, c.a2);

    ASSERT_TRUE(calc.Design(BiquadKind::AllPass, kFs, 700.0, 0.0, 2.0));
    VComplexVec out;
    ASSERT_TRUE(calc.Evaluate(out, MainGrid()));
    for (const Complex& h : out) {
        EXPECT_NEAR(std::abs(h), 1.0, 1e-12);
    }
}

// The first-order sections are the bilinear transform of ωc/(s + ωc) and
// s/(s + ωc) with the corner prewarped, i.e. with s/ωc = j·tan(ω/2)/tan(ω0/2).
TEST(BiquadCalc, FirstOrderSectionsAreTheBilinearTransformOfTheAnaloguePrototype) {
    const double f0 = 2500.0;
    const double tan0 = std::tan(test::kPi * f0 / kFs);
    for (const double f : {20.0, 400.0, 2500.0, 9000.0, 30000.0}) {
        const Complex sOverWc(0.0, std::tan(test::kPi * f / kFs) / tan0);
        const Complex lowPass = 1.0 / (sOverWc + 1.0);
        const Complex highPass = sOverWc / (sOverWc + 1.0);
        EXPECT_LT(std::abs(ResponseAt(BiquadKind::LowPass1, f0, 0.0, 0.0, f) - lowPass), 1e-12)
            << f;
        EXPECT_LT(std::abs(ResponseAt(BiquadKind::HighPass1, f0, 0.0, 0.0, f) - highPass), 1e-12)
            << f;
    }
    // A low-pass lags above its corner.
    EXPECT_LT(std::arg(ResponseAt(BiquadKind::LowPass1, f0, 0.0, 0.0, 5000.0)), 0.0);
    EXPECT_LT(std::arg(ResponseAt(BiquadKind::LowPass2, f0, 0.0, 0.7071, 5000.0)), 0.0);
}

TEST(BiquadCalc, FastEvaluationsAgreeWithTheTransferFunction) {
    const VFreqVec grid = MainGrid();
    GridPhasors phasors;
    ASSERT_TRUE(phasors.Create(grid, kFs));
    BiquadCalc calc;
    ASSERT_TRUE(calc.Design(BiquadKind::HighShelf, kFs, 4000.0, -7.5, 0.0));

    VComplexVec fromGrid;
    VComplexVec fromPhasors;
    VComplexVec multiplied(grid.GetSize());
    multiplied.Fill(Complex(0.5, -2.0));
    ASSERT_TRUE(calc.Evaluate(fromGrid, grid));
    ASSERT_TRUE(calc.Evaluate(fromPhasors, phasors));
    ASSERT_TRUE(calc.MultiplyResponse(multiplied, phasors));
    ASSERT_EQ(fromGrid.GetSize(), grid.GetSize());
    for (int i = 0; i < grid.GetSize(); ++i) {
        const Complex expected = test::TransferAt(calc.GetCoefficients(), grid[i], kFs);
        EXPECT_LT(std::abs(fromGrid[i] - expected), 1e-12);
        EXPECT_LT(std::abs(fromPhasors[i] - expected), 1e-12);
        EXPECT_LT(std::abs(multiplied[i] - Complex(0.5, -2.0) * expected), 1e-11);
    }
}

TEST(BiquadCalc, MultiplyingOnFourLanesGivesTheBitsOfTwo) {
    if (!LanesSupported(VectorLanes::Four)) {
        GTEST_SKIP() << "this processor has no AVX2";
    }
    const VFreqVec grid = MainGrid();
    GridPhasors phasors;
    ASSERT_TRUE(phasors.Create(grid, kFs));
    BiquadCalc calc;
    ASSERT_TRUE(calc.Design(BiquadKind::Peaking, kFs, 2500.0, 4.0, 3.0));
    VComplexVec two(grid.GetSize());
    for (int i = 0; i < two.GetSize(); ++i) {
        two[i] = Complex(std::cos(0.1 * i), std::sin(0.3 * i));
    }
    VComplexVec four = two;
    ASSERT_TRUE(calc.MultiplyResponse(two, phasors, VectorLanes::Two));
    ASSERT_TRUE(calc.MultiplyResponse(four, phasors, VectorLanes::Four));
    EXPECT_TRUE(std::equal(two.begin(), two.end(), four.begin()));
}

TEST(BiquadCalc, RefusalsLeaveTheOutputAlone) {
    BiquadCalc calc;
    EXPECT_FALSE(calc.Design(static_cast<BiquadKind>(4), kFs, 1000.0, 0.0, 1.0));
    EXPECT_EQ(calc.Kind(), BiquadKind::None);
    EXPECT_EQ(calc.GetCoefficients(), BiquadCoefs{});

    VComplexVec out(3);
    out.Fill(Complex(7.0, 0.0));
    const VFreqVec grid = MainGrid();
    EXPECT_FALSE(calc.Evaluate(out, grid));
    EXPECT_EQ(out.GetSize(), 3);
    EXPECT_EQ(out[0], Complex(7.0, 0.0));

    // Phasors made at another rate, or a response of another length.
    ASSERT_TRUE(calc.Design(BiquadKind::Notch, kFs, 1000.0, 0.0, 1.0));
    GridPhasors at48k;
    ASSERT_TRUE(at48k.Create(grid, 48000.0));
    EXPECT_FALSE(calc.Evaluate(out, at48k));
    GridPhasors phasors;
    ASSERT_TRUE(phasors.Create(grid, kFs));
    EXPECT_FALSE(calc.MultiplyResponse(out, phasors));
    EXPECT_EQ(out[0], Complex(7.0, 0.0));
    EXPECT_FALSE(phasors.Create(grid, 0.0));
}

} // namespace
} // namespace kv
