#include "model/BandCalculators.h"
#include "model/CConfiguration.h"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <numbers>

namespace kv {
namespace {

constexpr double pi = std::numbers::pi;
constexpr double kPir = 0.02;

// The impulse response of a band's biquads run as difference equations on
// a unit impulse, in pascals like the computed one.
std::vector<double> DirectImpulse(const CBand& band, int count) {
    BiquadList list;
    CollectBiquads(band, list);
    std::vector<double> signal(static_cast<std::size_t>(count), 0.0);
    signal[0] = 1.0;
    for (const BiquadCoefs& c : list) {
        double x1 = 0, x2 = 0, y1 = 0, y2 = 0;
        for (double& v : signal) {
            const double y = (c.b0 * v + c.b1 * x1 + c.b2 * x2 - c.a1 * y1 - c.a2 * y2) / c.a0;
            x2 = x1;
            x1 = v;
            y2 = y1;
            y1 = y;
            v = y;
        }
    }
    for (double& v : signal) {
        v *= kPascalReference;
    }
    return signal;
}

class Recalculation : public ::testing::Test {
protected:
    void SetUp() override {
        grid.Create(10.0, 40000.0, 48, false, false);
        ASSERT_TRUE(design.New(2, 96000.0));
    }

    bool Recalculate() { return design.Recalculate(&grid, kPir); }

    // Largest deviation of the computed impulse from the difference
    // equations, relative to the impulse's peak, once the offset that the
    // missing DC bin of the spectrum puts on every sample (the DC gain over
    // the transform size) is allowed for.
    double ImpulseError(const CBand& band, double dcGain) {
        const std::vector<double> expected = DirectImpulse(band, band.filterImpulse.GetSize());
        const double dcOffset = kPascalReference * dcGain / 4096.0;
        double peak = 0.0;
        double worst = 0.0;
        for (int t = 0; t < band.filterImpulse.GetSize(); ++t) {
            const double e = expected[static_cast<std::size_t>(t)];
            peak = std::max(peak, std::abs(e));
            const double deviation = std::abs(band.filterImpulse[t] - e);
            worst = std::max(worst, std::max(0.0, deviation - 2.0 * dcOffset));
        }
        return worst / peak;
    }

    VFreqVec grid;
    CConfiguration design;
};

TEST_F(Recalculation, AFlatBandIsAUnitImpulseOf20Micropascals) {
    ASSERT_TRUE(Recalculate());
    const CBand& band = design.bands[0];
    ASSERT_EQ(band.filterResponse.GetSize(), 576);
    for (const Complex& value : band.filterResponse) {
        ASSERT_EQ(value, Complex(1.0, 0.0));
    }
    ASSERT_EQ(band.filterImpulse.GetSize(), 1920);
    ASSERT_EQ(band.filterStep.GetSize(), 1920);
    // The spectrum lacks its DC and Nyquist bins: 2/4096 of the impulse.
    EXPECT_NEAR(band.filterImpulse[0], 2e-05, 2e-05 * 1e-3);
    for (int t = 1; t < 1920; ++t) {
        ASSERT_NEAR(band.filterImpulse[t], 0.0, 2e-05 * 1e-3) << t;
    }
    EXPECT_EQ(band.filterStep[0], 0.0);
    EXPECT_EQ(band.filterStep[1], band.filterImpulse[0] - TailMean(band.filterImpulse));
    EXPECT_EQ(design.sumFilterResponse[100], Complex(2.0, 0.0));
}

// The spectrum is known only on 576 log-spaced points (the interpolation
// between them is exact to well under a thousandth at 48 points per octave
// for these smooth responses), it lacks its DC and Nyquist bins (allowed for
// above), and the transform covers 4096 samples of a response that decays
// within a few hundred: two thousandths of the peak cover what is left.
TEST_F(Recalculation, TheImpulseOfOneSectionMatchesItsDifferenceEquation) {
    constexpr double butterworthQ = 0.7071067811865476;
    CBand& band = design.bands[0];
    const CrossoverSettings lowPass{
        1000.0, 2, CrossoverType::Butterworth, {1, 1, 1, 1}, {butterworthQ, 0, 0, 0}};
    ASSERT_TRUE(band.SetLowPass(0, lowPass));
    ASSERT_TRUE(band.EnableLowPass(0, true));
    ASSERT_TRUE(Recalculate());
    EXPECT_LT(ImpulseError(band, 1.0), 2e-3);

    const CrossoverSettings highPass{
        1000.0, 4, CrossoverType::LinkwitzRiley, {1, 1, 1, 1}, {butterworthQ, butterworthQ, 0, 0}};
    ASSERT_TRUE(band.EnableLowPass(0, false));
    ASSERT_TRUE(band.SetHighPass(0, highPass));
    ASSERT_TRUE(band.EnableHighPass(0, true));
    ASSERT_TRUE(Recalculate());
    EXPECT_LT(ImpulseError(band, 0.0), 2e-3);
}

TEST_F(Recalculation, StepResponsesSettle) {
    CBand& band = design.bands[0];
    const CrossoverSettings lowPass{.freq = 500.0, .order = 2};
    ASSERT_TRUE(band.SetLowPass(0, lowPass));
    ASSERT_TRUE(band.EnableLowPass(0, true));
    ASSERT_TRUE(Recalculate());
    const VDoubleVec& step = band.filterStep;
    const double settled = step[1919];
    EXPECT_NEAR(settled, 2e-05, 2e-05 * 0.02);
    for (int t = 1500; t < 1920; ++t) {
        ASSERT_NEAR(step[t], settled, 2e-05 * 1e-3) << t;
    }
}

TEST_F(Recalculation, DelayShiftsAndPolarityFlipsTheImpulse) {
    CBand& band = design.bands[0];
    ASSERT_TRUE(design.SetDelay(0, 0.001));
    ASSERT_TRUE(band.SetReversedPhase(true));
    ASSERT_TRUE(Recalculate());
    const VDoubleVec& impulse = band.filterImpulse;
    int peak = 0;
    for (int t = 0; t < impulse.GetSize(); ++t) {
        if (std::abs(impulse[t]) > std::abs(impulse[peak])) {
            peak = t;
        }
    }
    EXPECT_EQ(peak, 96);
    // The grid cannot follow the phase of a whole millisecond above about
    // 16 kHz, so the peak comes out lower, but it is there and negative.
    EXPECT_LT(impulse[96], -0.8 * 2e-05);
    // Every grid point turns by 2π·f·1 ms, and the polarity by half a turn.
    for (int i = 0; i < grid.GetSize(); i += 25) {
        const Complex expected = FromPolar(1.0, -2.0 * pi * grid[i] * 0.001 - pi);
        ASSERT_NEAR(std::abs(band.filterResponse[i] - expected), 0.0, 1e-9) << grid[i];
    }
}

TEST_F(Recalculation, AMutedBandKeepsItsShapeAt122DecibelsDown) {
    CBand& band = design.bands[1];
    ASSERT_TRUE(band.SetMuted(true));
    ASSERT_TRUE(band.SetPeq(0, 6.0, 1000.0, 2.0, true));
    ASSERT_TRUE(Recalculate());
    const double muted = std::pow(10.0, -122.0 / 20.0);
    EXPECT_NEAR(Magnitude(band.filterResponse[0]), muted, muted * 1e-4);
    EXPECT_GT(Magnitude(band.filterResponse[330]), muted * 1.5);
}

TEST_F(Recalculation, OnlyChangedBandsAndSumsAreRecomputed) {
    ASSERT_TRUE(Recalculate());
    EXPECT_FALSE(Recalculate());
    const VDoubleVec band0Impulse = design.bands[0].filterImpulse;
    ASSERT_TRUE(design.bands[1].SetGain(-6.0));
    EXPECT_FALSE(design.bands[0].modified);
    ASSERT_TRUE(Recalculate());
    EXPECT_FALSE(design.bands[1].modified);
    EXPECT_EQ(design.bands[0].filterImpulse[0], band0Impulse[0]);
    for (int i = 0; i < 576; ++i) {
        ASSERT_EQ(design.sumFilterResponse[i],
                  design.bands[0].filterResponse[i] + design.bands[1].filterResponse[i]);
    }
    EXPECT_FALSE(Recalculate());
    // Storing the same value again changes nothing.
    ASSERT_TRUE(design.bands[1].SetGain(-6.0));
    EXPECT_FALSE(Recalculate());
    // The target level is drawn, not computed.
    ASSERT_TRUE(design.SetTargetLevel(3.0));
    EXPECT_FALSE(Recalculate());
}

TEST_F(Recalculation, IncrementalResultsEqualAFullRecomputation) {
    ASSERT_TRUE(Recalculate());
    CBand& band = design.bands[1];
    ASSERT_TRUE(band.SetPeq(3, -4.0, 3000.0, 1.5, true));
    ASSERT_TRUE(Recalculate());
    const CrossoverSettings target{.freq = 800.0};
    ASSERT_TRUE(band.SetLowPassTarget(0, target));
    ASSERT_TRUE(band.EnableLowPass(0, true));
    ASSERT_TRUE(Recalculate());

    CConfiguration fresh;
    ASSERT_TRUE(fresh.New(2, 96000.0));
    ASSERT_TRUE(fresh.bands[1].SetPeq(3, -4.0, 3000.0, 1.5, true));
    ASSERT_TRUE(fresh.bands[1].SetLowPassTarget(0, target));
    ASSERT_TRUE(fresh.bands[1].EnableLowPass(0, true));
    ASSERT_TRUE(fresh.Recalculate(&grid, kPir));
    for (const auto member :
         {&CBand::filterImpulse, &CBand::targetStep, &CBand::totalImpulse, &CBand::splStep}) {
        for (int b = 0; b < 2; ++b) {
            const VDoubleVec& a = design.bands[b].*member;
            const VDoubleVec& e = fresh.bands[b].*member;
            ASSERT_EQ(a.GetSize(), e.GetSize());
            EXPECT_TRUE(std::equal(a.begin(), a.end(), e.begin())) << b;
        }
    }
    EXPECT_TRUE(std::equal(design.sumTotalStep.begin(), design.sumTotalStep.end(),
                           fresh.sumTotalStep.begin()));
    EXPECT_TRUE(std::equal(design.sumTargetImpulse.begin(), design.sumTargetImpulse.end(),
                           fresh.sumTargetImpulse.begin()));
}

TEST_F(Recalculation, ThePirLengthSetsTheTransformAndTheResponseLengths) {
    EXPECT_EQ(CResponseEngine::TransformLog2Size(96000.0, 0.02), 12);
    EXPECT_EQ(CResponseEngine::TransformLog2Size(96000.0, 0.005), 10);
    ASSERT_TRUE(design.Recalculate(&grid, 0.005));
    EXPECT_EQ(design.bands[0].totalImpulse.GetSize(), 480);
    EXPECT_EQ(design.sumTotalStep.GetSize(), 480);
    // Another PIR length recomputes everything, edited or not.
    ASSERT_TRUE(design.Recalculate(&grid, 0.02));
    EXPECT_EQ(design.bands[1].targetImpulse.GetSize(), 1920);
}

// What is worked out once per grid, sample rate and transform size must
// follow each of them: a design recalculated after a change of any gives
// what a fresh one gives.
TEST_F(Recalculation, ANewGridOrSampleRateGivesWhatAFreshDesignGives) {
    ASSERT_TRUE(design.bands[0].SetPeq(0, 5.0, 300.0, 2.0, true));
    ASSERT_TRUE(design.SetDelay(1, 0.0005));
    ASSERT_TRUE(Recalculate());
    VFreqVec coarse;
    coarse.Create(20.0, 20000.0, 12, false, false);
    ASSERT_TRUE(design.SetSampleRate(48000.0));
    for (const VFreqVec* g : {&coarse, &grid}) {
        ASSERT_TRUE(design.Recalculate(g, kPir));
        CConfiguration fresh;
        ASSERT_TRUE(fresh.New(2, 48000.0));
        ASSERT_TRUE(fresh.bands[0].SetPeq(0, 5.0, 300.0, 2.0, true));
        ASSERT_TRUE(fresh.SetDelay(1, 0.0005));
        ASSERT_TRUE(fresh.Recalculate(g, kPir));
        for (int b = 0; b < 2; ++b) {
            const VDoubleVec& a = design.bands[b].totalImpulse;
            const VDoubleVec& e = fresh.bands[b].totalImpulse;
            ASSERT_EQ(a.GetSize(), 960);
            EXPECT_TRUE(std::equal(a.begin(), a.end(), e.begin())) << b;
        }
    }
}

TEST_F(Recalculation, TheSplCurveIsHeldConstantBeyondItsEnds) {
    CBand& band = design.bands[0];
    band.splFreqs.SetSize(3);
    band.splSmoothed.SetSize(3);
    const double f[] = {100.0, 1000.0, 10000.0};
    const Complex v[] = {{2.0, 0.0}, {0.0, 1.0}, {0.5, 0.0}};
    for (int i = 0; i < 3; ++i) {
        band.splFreqs[i] = f[i];
        band.splSmoothed[i] = v[i];
    }
    band.modified = true;
    ASSERT_TRUE(Recalculate());
    EXPECT_EQ(band.splResponse[0], v[0]);
    EXPECT_EQ(band.splResponse[575], v[2]);
    const int at316 = 48 * 5 + 0; // 10 Hz · 2^(240/48) = 320 Hz
    const double expectedWeight = std::log(grid[at316] / 100.0) / std::log(10.0);
    EXPECT_NEAR(std::abs(band.splResponse[at316] - (v[0] + (v[1] - v[0]) * expectedWeight)), 0.0,
                1e-12);
    EXPECT_EQ(band.totalResponse[0], band.filterResponse[0] * v[0]);

    // A smoothed curve that does not match its frequencies is not used.
    band.splSmoothed.SetSize(2);
    band.modified = true;
    ASSERT_TRUE(Recalculate());
    EXPECT_EQ(band.splResponse[0], Complex(1.0, 0.0));
}

TEST(StepResponse, RunningSumWithTheSettledLevelRemoved) {
    VDoubleVec impulse(512);
    impulse.Fill(0.5);
    impulse[0] = 3.0;
    VDoubleVec step;
    ASSERT_TRUE(StepResponse(step, impulse, 4, false));
    ASSERT_EQ(step.GetSize(), 4);
    EXPECT_EQ(step[0], 0.0);
    EXPECT_EQ(step[3], 4.0);
    ASSERT_TRUE(StepResponse(step, impulse, 0, true));
    ASSERT_EQ(step.GetSize(), 512);
    EXPECT_EQ(step[1], 2.5);
    EXPECT_EQ(step[511], 2.5);
    EXPECT_EQ(TailMean(impulse), 0.5);
    EXPECT_EQ(TailMean(VDoubleVec(100)), 0.0);
}

TEST(RecalculationGuards, NoGridOrNoBandsChangesNothing) {
    CConfiguration design;
    VFreqVec grid;
    grid.Create(10.0, 40000.0, 48, false, false);
    EXPECT_FALSE(design.Recalculate(&grid, kPir));
    ASSERT_TRUE(design.New(1, 96000.0));
    EXPECT_FALSE(design.Recalculate(nullptr, kPir));
    EXPECT_TRUE(design.bands[0].modified);
    EXPECT_TRUE(design.bands[0].filterResponse.Empty());
    ASSERT_TRUE(design.Recalculate(&grid, kPir));
    EXPECT_EQ(design.bands[0].filterResponse.GetSize(), 576);
}

} // namespace
} // namespace kv
