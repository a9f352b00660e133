#include "model/Optimiser.h"

#include "filters/BiquadCalc.h"
#include "hardware/HardwareCheck.h"
#include "math/ResponseCurves.h"
#include "model/BandCalculators.h"
#include "model/CConfiguration.h"
#include "model/MainGrid.h"
#include "support/ModelledDrivers.h"
#include "support/ReferenceFit.h"
#include "support/TestSupport.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <gtest/gtest.h>

namespace kv {
namespace {

constexpr int kFitted = 6;

double Db(const Complex& value) {
    return MagnitudeToDb(Magnitude(value));
}

class Optimiser : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(CreateMainGrid(grid));
        ASSERT_TRUE(test::BuildWooferBand(design, dir / "woofer.txt"));
        Recalculate();
    }

    CBand& band() { return design.bands[0]; }
    void Recalculate() { design.Recalculate(&grid, kMainPirLength); }

    OptimiseOptions Options(int equalisers, bool gain) {
        OptimiseOptions options = DefaultOptimiseOptions(band());
        options.equalisers = equalisers;
        options.gain = gain;
        return options;
    }

    OptimiseResult Optimise(const OptimiseOptions& options, const ProgressReport& progress = {},
                            std::stop_token stop = {}) {
        OptimiseProblem problem;
        EXPECT_TRUE(MakeOptimiseProblem(design, 0, problem));
        return OptimiseBand(problem, options, BandPassesHardwareCheck, progress, stop);
    }

    // What the design's own responses say once the band holds settings.
    std::vector<double> Heard(const BandSettings& settings, const OptimiseOptions& options) {
        band().SetSettings(settings);
        Recalculate();
        return test::HeardDeviation(design, 0, options.fromHz, options.toHz);
    }

    // The level in dB that the band's switched-on equalisers give each grid
    // point of the range together.
    std::vector<double> EqualiserBoost(const BandSettings& settings,
                                       const OptimiseOptions& options) {
        GridPhasors phasors;
        phasors.Create(grid, settings.SampleRate());
        VComplexVec response(grid.GetSize());
        response.FillReal(1.0);
        ApplyPeqs(settings, phasors, response);
        std::vector<double> boost;
        for (int i = 0; i < grid.GetSize(); ++i) {
            if (grid[i] >= options.fromHz && grid[i] <= options.toHz) {
                boost.push_back(Db(response[i]));
            }
        }
        return boost;
    }

    test::TempDir dir;
    VFreqVec grid;
    CConfiguration design;
};

TEST_F(Optimiser, SixEqualisersAndTheGainBringTheDriverOntoItsTargetAsCloseAsAReferenceFit) {
    const OptimiseOptions options = Options(kFitted, true);
    EXPECT_DOUBLE_EQ(options.fromHz, test::kWooferBandHighPassHz / 2.0);
    EXPECT_DOUBLE_EQ(options.toHz, test::kWooferBandLowPassHz * 2.0);
    const double reference =
        test::ReferenceFitRms(band(), grid, design.targetLevel, options, kFitted);
    const BandSettings original = band().Settings();
    const OptimiseResult result = Optimise(options);
    ASSERT_EQ(result.outcome, OptimiseOutcome::Fitted) << result.reason;
    EXPECT_LE(result.equalisers.size(), static_cast<std::size_t>(kFitted));
    EXPECT_GT(result.before.rmsDb, 1.0);

    const std::vector<double> heard = Heard(result.band, options);
    EXPECT_LE(test::Rms(heard), 0.3);
    EXPECT_LE(test::Largest(heard), 1.5);
    EXPECT_LE(test::Rms(heard), reference + 0.02) << "reference fit: " << reference << " dB RMS";
    EXPECT_NEAR(result.after.rmsDb, test::Rms(heard), 1e-9) << "what it reports is what is heard";
    EXPECT_NEAR(result.after.largestDb, test::Largest(heard), 1e-9);
    EXPECT_TRUE(HardwareCheck(design).Run().empty());
    const std::vector<double> boost = EqualiserBoost(result.band, options);
    EXPECT_LE(*std::max_element(boost.begin(), boost.end()) + result.band.gain - original.gain,
              kDefaultMaxBoostDb + 0.01)
        << "the equalisers and the gain raise no frequency by more than the limit";
    for (const int k : result.equalisers) {
        const PeqSettings& peq = result.band.peq[static_cast<std::size_t>(k)];
        EXPECT_TRUE(peq.enabled);
        EXPECT_GE(peq.freq, options.fromHz);
        EXPECT_LE(peq.freq, options.toHz);
        EXPECT_GE(peq.q, kMinFieldQ);
        EXPECT_LE(peq.q, kMaxFilterQ);
        EXPECT_GE(peq.gain, -kMaxEqGainDb);
    }
}

// A driver's curve straight into the band: level and phase of response at
// 48 points per octave from 10 Hz to 24 kHz.
void SetDriver(CBand& band, const std::function<Complex(double)>& response) {
    const int n = 540;
    VDoubleVec frequencies(n);
    VComplexVec values(n);
    for (int i = 0; i < n; ++i) {
        frequencies[i] = 10.0 * std::exp2(i / 48.0);
        values[i] = response(frequencies[i]);
    }
    ASSERT_TRUE(band.SetSplCurve(frequencies, values, "modelled"));
}

// The modelled woofer at 88 dB with a dip as deep as a cancellation leaves.
Complex WooferWithDeepDip(double hz) {
    return std::pow(10.0, 88.0 / 20.0) * test::ModelledWoofer(hz) *
           test::AnalogBell(hz, 600.0, 3.0, -15.0);
}

TEST_F(Optimiser, KeptEqualisersStayAndTheBiquadsAndFieldsBoundTheRest) {
    ASSERT_TRUE(test::LeaveFourBiquads(band(), 3, 5));
    Recalculate();
    KeptEqualisers keep{};
    keep[3] = true;
    keep[7] = true; // off: nothing to keep
    EXPECT_EQ(AvailableEqualisers(band(), keep), 5) << "the four free and equaliser 6's";
    OptimiseOptions options = Options(kEqualisers, true);
    options.keep = keep;
    const OptimiseResult result = Optimise(options);
    ASSERT_EQ(result.outcome, OptimiseOutcome::Fitted) << result.reason;
    EXPECT_EQ(result.band.peq[3], band().peq[3]);
    EXPECT_EQ(result.band.notch, band().notch);
    EXPECT_GE(result.band.FreeBiquads(), 0);
    EXPECT_LE(result.equalisers.size(), 5u);
    EXPECT_EQ(std::count(result.equalisers.begin(), result.equalisers.end(), 3), 0);
    for (int k = 0; k < kEqualisers; ++k) {
        const bool set = std::count(result.equalisers.begin(), result.equalisers.end(), k) > 0;
        EXPECT_EQ(result.band.peq[static_cast<std::size_t>(k)].enabled, set || k == 3)
            << "equaliser " << k + 1 << ": the one replaced is off";
    }
    EXPECT_TRUE(BandPassesHardwareCheck(result.band));
}

TEST_F(Optimiser, ProgressComesAtOnceRisesToTheEndAndAStopPutsTheBandBack) {
    std::vector<OptimiseProgress> reports;
    const OptimiseResult done =
        Optimise(Options(4, true), [&](const OptimiseProgress& p) { reports.push_back(p); });
    ASSERT_FALSE(reports.empty());
    EXPECT_EQ(reports.front().step, 0);
    EXPECT_DOUBLE_EQ(reports.front().deviation.rmsDb, done.before.rmsDb);
    EXPECT_EQ(reports.back().step, reports.back().steps);
    EXPECT_TRUE(std::is_sorted(reports.begin(), reports.end(),
                               [](const auto& a, const auto& b) { return a.step < b.step; }));
    EXPECT_LE(reports.back().deviation.rmsDb, reports.front().deviation.rmsDb);

    std::stop_source stop;
    int heard = 0;
    const OptimiseResult stopped = Optimise(
        Options(6, true),
        [&](const OptimiseProgress&) {
            ++heard;
            stop.request_stop();
        },
        stop.get_token());
    EXPECT_EQ(stopped.outcome, OptimiseOutcome::Cancelled);
    EXPECT_EQ(stopped.band, band().Settings());
    EXPECT_EQ(heard, 1) << "no step after the stop";
}

TEST_F(Optimiser, TheRangeIsThePassbandByTheTargetsWithinTheAudibleAndMeasuredRange) {
    double from = 0.0;
    double to = 0.0;
    DefaultOptimiseRange(band(), from, to);
    EXPECT_DOUBLE_EQ(from, 50.0);
    EXPECT_DOUBLE_EQ(to, 4000.0);
    CrossoverSettings low;
    band().GetLowPassTarget(0, low);
    low.freq = 15000.0;
    ASSERT_TRUE(band().SetLowPassTarget(0, low));
    ASSERT_TRUE(band().EnableHighPass(0, false));
    DefaultOptimiseRange(band(), from, to);
    EXPECT_DOUBLE_EQ(from, kOptimiseLowestHz);
    EXPECT_DOUBLE_EQ(to, kOptimiseHighestHz);
    // Beyond its measurement a driver's curve is its last value held.
    band().SetSplCurve(test::VectorOf<VDoubleVec>({40.0, 12000.0}),
                       test::VectorOf<VComplexVec>({1.0, 1.0}), "measured from 40 Hz to 12 kHz");
    DefaultOptimiseRange(band(), from, to);
    EXPECT_DOUBLE_EQ(from, 40.0);
    EXPECT_DOUBLE_EQ(to, 12000.0);
    OptimiseOptions narrow = Options(2, false);
    narrow.fromHz = 1000.0;
    narrow.toHz = 1050.0;
    Recalculate();
    const OptimiseResult refused = Optimise(narrow);
    EXPECT_EQ(refused.outcome, OptimiseOutcome::Refused);
    EXPECT_NE(refused.reason.find("too narrow"), std::string::npos);
}

TEST_F(Optimiser, ABandOnItsTargetStaysAndOneTheChipRefusesIsNotTouched) {
    band().SetSplCurve(test::VectorOf<VDoubleVec>({10.0, 40000.0}),
                       test::VectorOf<VComplexVec>({1.0, 1.0}), "flat");
    ASSERT_TRUE(design.SetTargetLevel(0.0));
    Recalculate();
    const OptimiseResult on = Optimise(Options(6, true));
    EXPECT_EQ(on.outcome, OptimiseOutcome::NoImprovement);
    EXPECT_EQ(on.band, band().Settings());
    EXPECT_TRUE(on.equalisers.empty());

    ASSERT_TRUE(band().SetBassGain(0.3)) << "between the chip's half-decibel steps";
    Recalculate();
    const OptimiseResult refused = Optimise(Options(6, true));
    EXPECT_EQ(refused.outcome, OptimiseOutcome::Refused);
    EXPECT_EQ(refused.band, band().Settings());
}

// A driver measured in dB SPL against a target left at 0 dB: without the
// band's gain, equalisers would spend the whole budget cutting everything.
TEST_F(Optimiser, ABandFarOffItsTargetLevelNeedsTheGainOrItsTargetLevel) {
    ASSERT_TRUE(design.SetTargetLevel(design.targetLevel - 40.0));
    Recalculate();
    const OptimiseResult refused = Optimise(Options(kFitted, false));
    EXPECT_EQ(refused.outcome, OptimiseOutcome::Refused);
    EXPECT_EQ(refused.band, band().Settings());
    EXPECT_NE(refused.reason.find("dB above its target from 50 Hz to 4000 Hz"), std::string::npos)
        << refused.reason;
    EXPECT_NE(refused.reason.find("Target levels..."), std::string::npos);

    const OptimiseResult withGain = Optimise(Options(kFitted, true));
    ASSERT_EQ(withGain.outcome, OptimiseOutcome::Fitted);
    EXPECT_NEAR(withGain.band.gain, band().gain - 40.0, 3.0);
}

TEST_F(Optimiser, ADeepDipIsFilledOnlyAsFarAsTheBoostsAllowed) {
    SetDriver(band(), WooferWithDeepDip);
    Recalculate();
    const auto dipDeviation = [&](const OptimiseResult& result) {
        band().SetSettings(result.band);
        Recalculate();
        const int at = static_cast<int>(std::lround(48.0 * std::log2(600.0 / 10.0)));
        return Db(band().hardwareResponse[at]) + Db(band().splResponse[at]) -
               Db(band().targetResponse[at]) - design.targetLevel;
    };
    const BandSettings original = band().Settings();
    OptimiseOptions limited = Options(6, false);
    const OptimiseResult kept = Optimise(limited);
    ASSERT_EQ(kept.outcome, OptimiseOutcome::Fitted);
    const std::vector<double> boost = EqualiserBoost(kept.band, limited);
    EXPECT_LE(*std::max_element(boost.begin(), boost.end()), kDefaultMaxBoostDb + 0.01);
    EXPECT_LT(dipDeviation(kept), -5.0) << "the dip stays, but for the boost";

    band().SetSettings(original);
    Recalculate();
    OptimiseOptions free = limited;
    free.maxBoostDb = kMaxEqGainDb;
    const OptimiseResult filled = Optimise(free);
    ASSERT_EQ(filled.outcome, OptimiseOutcome::Fitted);
    EXPECT_GT(dipDeviation(filled), -2.0);
    EXPECT_LT(filled.after.rmsDb, kept.after.rmsDb);
}

TEST_F(Optimiser, CrossoversMoveAThirdOfAnOctaveAtMostAndCustomQsFollow) {
    CrossoverSettings high;
    band().GetHighPass(0, high);
    high.freq = 160.0;
    ASSERT_TRUE(band().SetHighPass(0, high));
    CrossoverSettings low;
    band().GetLowPass(0, low);
    low.type = CrossoverType::Custom;
    low.q = {0.4, 1.2, 1.0, 1.0};
    ASSERT_TRUE(band().SetLowPass(0, low));
    band().SetSplCurve(test::VectorOf<VDoubleVec>({10.0, 40000.0}),
                       test::VectorOf<VComplexVec>({1.0, 1.0}), "flat");
    ASSERT_TRUE(design.SetTargetLevel(0.0));
    Recalculate();
    OptimiseOptions options = Options(0, false);
    options.crossovers = true;
    const OptimiseResult result = Optimise(options);
    ASSERT_EQ(result.outcome, OptimiseOutcome::Fitted);
    EXPECT_NEAR(result.band.hpFilter[0].freq, 160.0 / std::cbrt(2.0), 0.01)
        << "as far down towards the target's 100 Hz as it may";
    EXPECT_NEAR(result.band.lpFilter[0].freq, test::kWooferBandLowPassHz, 20.0);
    EXPECT_NEAR(result.band.lpFilter[0].q[0], 0.7071, 0.02) << "the alignment's Qs found";
    EXPECT_NEAR(result.band.lpFilter[0].q[1], 0.7071, 0.02);
    EXPECT_EQ(result.band.hpFilter[0].q, band().hpFilter[0].q) << "aligned: only the frequency";
    EXPECT_LT(result.after.rmsDb, 0.5 * result.before.rmsDb);
}

} // namespace
} // namespace kv
