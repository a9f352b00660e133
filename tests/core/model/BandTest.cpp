#include "model/CConfiguration.h"
#include "support/TestSupport.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>

namespace kv {
namespace {

// Every stored field of the design, as bytes: two snapshots are equal exactly
// when nothing stored changed.
std::vector<std::uint8_t> Snapshot(CConfiguration& design) {
    test::TempDir dir;
    test::RecordingMessageBox messages;
    const std::string saved = design.fileName;
    EXPECT_TRUE(design.Save(dir / "s.ksv", messages));
    design.fileName = saved;
    return test::ReadBytes(dir / "s.ksv");
}

CrossoverSettings Crossover(int order, double freq = 1000.0) {
    const CrossoverSettings s{.freq = freq, .order = order};
    return s;
}

class Band : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(design.New(3, 96000.0));
        for (CBand& b : design.bands) {
            b.modified = false;
        }
    }

    CBand& band() { return design.bands[0]; }

    CConfiguration design;
};

TEST_F(Band, FourEighthOrderSlotsUseTheWholeBudget) {
    EXPECT_EQ(band().FreeBiquads(), 16);
    for (int k = 0; k < 2; ++k) {
        ASSERT_TRUE(band().SetHighPass(k, Crossover(8)));
        ASSERT_TRUE(band().EnableHighPass(k, true));
        ASSERT_TRUE(band().SetLowPass(k, Crossover(7)));
        ASSERT_TRUE(band().EnableLowPass(k, true));
    }
    EXPECT_EQ(band().FreeBiquads(), 0);
    EXPECT_FALSE(band().SetNotch(0, 100.0, 1.0, true));
    EXPECT_TRUE(band().SetHighPass(0, Crossover(7)));
    EXPECT_FALSE(band().SetHighPass(0, Crossover(9)));
}

TEST_F(Band, EnablingNeedsTheSlotsBiquadsAndItsOwnCountAsFree) {
    ASSERT_TRUE(band().SetHighPass(0, Crossover(7)));
    for (int k = 0; k < 13; ++k) {
        ASSERT_TRUE(band().SetPeq(k, 1.0, 1000.0, 1.0, true));
    }
    ASSERT_EQ(band().FreeBiquads(), 3);
    EXPECT_FALSE(band().EnableHighPass(0, true));
    EXPECT_FALSE(band().SetHighPass(0, Crossover(7)));
    EXPECT_FALSE(band().hpEnabled[0]);
    ASSERT_TRUE(band().SetHighPass(0, Crossover(4)));
    ASSERT_TRUE(band().EnableHighPass(0, true));
    ASSERT_EQ(band().FreeBiquads(), 1);
    EXPECT_TRUE(band().SetHighPass(0, Crossover(6)));
    EXPECT_EQ(band().FreeBiquads(), 0);
    EXPECT_FALSE(band().SetHighPass(0, Crossover(8)));
    EXPECT_EQ(band().hpFilter[0].order, 6);
    // Settings for a disabled slot are stored only if it could be enabled.
    EXPECT_FALSE(band().SetLowPass(1, Crossover(1)));
    ASSERT_TRUE(band().SetPeq(0, 1.0, 1000.0, 1.0, false));
    EXPECT_TRUE(band().SetLowPass(1, Crossover(1)));
    EXPECT_TRUE(band().EnableLowPass(1, true));
}

TEST_F(Band, ANotchCanStillBeTunedWhileEnabledWhenNothingIsFree) {
    ASSERT_TRUE(band().SetNotch(0, 100.0, 2.0, true));
    for (int k = 0; k < 14; ++k) {
        ASSERT_TRUE(band().SetPeq(k, 1.0, 1000.0, 1.0, true));
    }
    ASSERT_TRUE(band().SetAllPass(1000.0, 1.0, true));
    ASSERT_EQ(band().FreeBiquads(), 0);
    EXPECT_FALSE(band().SetNotch(1, 300.0, 2.0, false));
    EXPECT_TRUE(band().SetNotch(0, 120.0, 2.0, true));
    EXPECT_EQ(band().notch[0].freq, 120.0);
}

TEST_F(Band, RefusedValuesChangeNothing) {
    const auto before = Snapshot(design);
    const double nan = std::nan("");
    const double top = 96000.0 * 0.4989;
    EXPECT_FALSE(band().SetGain(24.0001));
    EXPECT_FALSE(band().SetGain(nan));
    EXPECT_FALSE(band().SetInput(static_cast<InputRoute>(3)));
    EXPECT_FALSE(band().SetBassCorner(0));
    EXPECT_FALSE(band().SetTrebleCorner(6));
    EXPECT_FALSE(band().SetBassGain(18.5));
    EXPECT_FALSE(band().SetTrebleGain(-18.5));
    EXPECT_FALSE(design.SetDelay(0, -1e-9));
    EXPECT_FALSE(design.SetDelay(0, 1.0));
    EXPECT_FALSE(band().SetHighPass(0, Crossover(0)));
    EXPECT_FALSE(band().SetHighPass(0, Crossover(2, 0.09)));
    EXPECT_FALSE(band().SetLowPass(0, Crossover(2, top * 1.0001)));
    EXPECT_FALSE(band().SetHighPassTarget(0, Crossover(9)));
    EXPECT_FALSE(band().SetHighPass(2, Crossover(2)));
    EXPECT_FALSE(band().EnableLowPass(-1, true));
    EXPECT_FALSE(band().SetNotch(6, 100, 1, true));
    EXPECT_FALSE(band().SetNotch(0, 0.5, 1, true));
    EXPECT_FALSE(band().SetNotch(0, 100, 25.5, true));
    EXPECT_FALSE(band().SetAllPass(100, 0.0009, true));
    EXPECT_FALSE(band().SetLowShelf(20.5, 100, true));
    EXPECT_FALSE(band().SetHighShelf(1, nan, true));
    EXPECT_FALSE(band().SetPeq(14, 1, 100, 1, true));
    EXPECT_FALSE(band().SetPeq(0, 1, 100, nan, true));
    EXPECT_EQ(Snapshot(design), before);
    EXPECT_FALSE(band().modified);
}

TEST_F(Band, ACurveIsTakenOnlyWhenEveryValueIsFinite) {
    const VDoubleVec freqs = test::VectorOf<VDoubleVec>({100.0, 1000.0, 10000.0});
    VComplexVec values(3);
    values.FillReal(1.0);
    ASSERT_TRUE(band().SetSplCurve(freqs, values, "driver.frd"));
    band().modified = false;
    const auto before = Snapshot(design);
    const double inf = std::numeric_limits<double>::infinity();
    for (const Complex& bad : {Complex(std::nan(""), 0.0), Complex(1.0, inf)}) {
        VComplexVec broken = values;
        broken[1] = bad;
        EXPECT_FALSE(band().SetSplCurve(freqs, broken, "broken.frd"));
    }
    VDoubleVec badFreqs = freqs;
    badFreqs[2] = inf;
    EXPECT_FALSE(band().SetSplCurve(badFreqs, values, "broken.frd"));
    EXPECT_FALSE(band().SetSplCurve(test::VectorOf<VDoubleVec>({1000.0, 100.0, 10000.0}), values,
                                    "unsorted.frd"));
    EXPECT_FALSE(
        band().SetSplCurve(test::VectorOf<VDoubleVec>({100.0, 1000.0}), values, "short.frd"));
    EXPECT_EQ(Snapshot(design), before);
    EXPECT_FALSE(band().modified);
}

TEST_F(Band, RangesIncludeTheirEnds) {
    EXPECT_TRUE(band().SetGain(-122.0));
    EXPECT_TRUE(band().SetGain(24.0));
    EXPECT_TRUE(band().SetHighPass(0, Crossover(2, 0.1)));
    EXPECT_TRUE(band().SetHighPass(0, Crossover(2, 96000.0 * 0.4989)));
    EXPECT_TRUE(band().SetPeq(13, -20.0, 1.0, 0.001, true));
    EXPECT_TRUE(band().SetNotch(5, 100, 25.0, false));
}

TEST_F(Band, ModifiedRisesOnlyWhenAStoredValueChanges) {
    EXPECT_TRUE(band().SetGain(0.0));
    EXPECT_TRUE(band().SetPeq(0, 0.0, band().peq[0].freq, 1.0, false));
    EXPECT_TRUE(band().SetNotch(1, 250.0, 4.0, false));
    EXPECT_TRUE(band().SetMuted(false));
    EXPECT_TRUE(band().SetInput(InputRoute::Both));
    EXPECT_FALSE(band().modified);
    EXPECT_TRUE(band().SetPeq(0, 0.0, band().peq[0].freq, 1.0, true));
    EXPECT_TRUE(band().modified);
    band().modified = false;
    EXPECT_TRUE(band().SetGain(-1.0));
    EXPECT_TRUE(band().modified);
    EXPECT_TRUE(band().SetGain(-1.0));
    EXPECT_TRUE(band().modified);
    // Crossover settings always count as a change.
    band().modified = false;
    CrossoverSettings same = band().hpFilter[0];
    EXPECT_TRUE(band().SetHighPass(0, same));
    EXPECT_TRUE(band().modified);
    band().modified = false;
    EXPECT_TRUE(band().EnableHighPass(0, false));
    EXPECT_FALSE(band().modified);
    EXPECT_FALSE(design.bands[1].modified);
}

TEST_F(Band, DelaysAreWholeSamplesOfTheSharedMemory) {
    EXPECT_TRUE(design.SetDelay(0, 0.00001));
    EXPECT_EQ(band().delay, 1.0 / 96000.0);
    EXPECT_TRUE(design.SetDelay(0, 0.000005));
    EXPECT_EQ(band().delay, 0.0);
    ASSERT_TRUE(design.SetDelay(0, 0.005));
    ASSERT_TRUE(design.SetDelay(1, 0.005));
    EXPECT_NEAR(design.GetMaxDelay(2), (2045.0 - 960.0) / 96000.0, 1e-15);
    double min = 0;
    double max = 0;
    double step = 0;
    design.GetDelayRange(2, min, max, step);
    EXPECT_EQ(step, 1.0 / 96000.0);
    EXPECT_FALSE(design.SetDelay(2, max + 1e-9));
    EXPECT_TRUE(design.SetDelay(2, max));
    EXPECT_EQ(std::lround((design.bands[0].delay + design.bands[1].delay + design.bands[2].delay) *
                          96000.0),
              2045);
    // Bands beyond the topology do not hold delay memory.
    ASSERT_TRUE(design.SetNumBands(1));
    EXPECT_NEAR(design.GetMaxDelay(0), 2045.0 / 96000.0, 1e-15);
}

TEST_F(Band, NamesFollowTheTopology) {
    EXPECT_EQ(design.bands[1].GetName(), "Output 2 (MF)");
    ASSERT_TRUE(design.SetNumBands(2));
    EXPECT_EQ(design.bands[1].GetName(), "Output 2 (LF)");
    ASSERT_TRUE(design.SetNumBands(1));
    EXPECT_EQ(design.bands[0].GetName(), "Output 1");
    design.Reset();
    EXPECT_EQ(design.bands[0].GetName(), "Output 1");
}

TEST_F(Band, CornersScaleWithTheSampleRate) {
    double bass = 0;
    double treble = 0;
    band().GetBassTrebleCorners(bass, treble);
    EXPECT_DOUBLE_EQ(bass, 250.0);
    EXPECT_DOUBLE_EQ(treble, 6000.0);
    ASSERT_TRUE(band().SetBassCorner(1));
    ASSERT_TRUE(band().SetTrebleCorner(2));
    band().GetBassTrebleCorners(bass, treble);
    EXPECT_DOUBLE_EQ(bass, 1500.0);
    EXPECT_DOUBLE_EQ(treble, 24000.0);
}

TEST(Configuration, SampleRatesTopologyAndTargetLevel) {
    CConfiguration design;
    EXPECT_EQ(design.numBands, 0);
    EXPECT_TRUE(design.SetSampleRate(44099.6));
    EXPECT_EQ(design.sampleRate, 44100.0);
    EXPECT_FALSE(design.SetSampleRate(30000));
    EXPECT_EQ(design.sampleRate, 44100.0);
    EXPECT_FALSE(design.SetNumBands(4));
    EXPECT_FALSE(design.New(0, 96000.0) && design.numBands != 0);
    EXPECT_TRUE(design.New(2, 96000.0));
    EXPECT_TRUE(design.bands[2].modified);
    EXPECT_TRUE(design.SetTargetLevel(-100));
    EXPECT_TRUE(design.SetTargetLevel(200));
    EXPECT_FALSE(design.SetTargetLevel(200.5));
    EXPECT_EQ(design.targetLevel, 200.0);
}

TEST(Configuration, DefaultsOfAFreshBand) {
    CConfiguration design;
    const CBand& band = design.bands[0];
    EXPECT_EQ(band.notch[5].freq, 4000.0);
    EXPECT_EQ(band.notch[0].q, 4.0);
    EXPECT_NEAR(band.peq[0].freq, 88.388, 1e-3);
    EXPECT_EQ(band.peq[13].freq, 8000.0);
    EXPECT_EQ(band.hpFilter[1].q[0], 0.5);
    EXPECT_EQ(band.splSmoothing, 48);
    EXPECT_EQ(band.bassCorner, 5);
}

TEST(Configuration, TitlesAreCutToTheirFieldOnACharacterBoundary) {
    CConfiguration design;
    design.SetTitle(std::string(254, 'a') + "\xC3\xA9" + "b");
    EXPECT_EQ(design.title, std::string(254, 'a'));
    design.SetTitle("short");
    EXPECT_EQ(design.title, "short");
}

} // namespace
} // namespace kv
