#include "ImportFiles.h"
#include "math/ResponseCurves.h"
#include "model/CBand.h"
#include "model/SplCurve.h"

#include <gtest/gtest.h>

namespace kv {
namespace {

using Doubles = std::vector<double>;

class SplCurveLoad : public test::ImportFiles {
protected:
    bool Load(const std::string& name, const std::string& content) {
        return LoadSplCurve(band, WriteText(name, content), messages);
    }

    void ExpectBandHasNoCurve() {
        EXPECT_EQ(band.splFileName, "");
        EXPECT_TRUE(band.splFreqs.Empty());
        EXPECT_TRUE(band.splRaw.Empty());
        EXPECT_TRUE(band.splSmoothed.Empty());
    }

    CBand band;
};

TEST_F(SplCurveLoad, AFrequencyResponseBecomesTheBandsComplexCurve) {
    const std::filesystem::path file = WriteText("w.frd", "10 0 0\n20 20 90\n40 -6 180\n");
    ASSERT_TRUE(LoadSplCurve(band, file, messages));
    EXPECT_EQ(band.splFileName, file.string());
    EXPECT_TRUE(band.modified);
    EXPECT_EQ(Doubles(band.splFreqs.begin(), band.splFreqs.end()), (Doubles{10, 20, 40}));
    ASSERT_EQ(band.splRaw.GetSize(), 3);
    EXPECT_EQ(band.splRaw[0], Complex(1.0, 0.0));
    EXPECT_NEAR(band.splRaw[1].real(), 0.0, 1e-12);
    EXPECT_NEAR(band.splRaw[1].imag(), 10.0, 1e-12);
    EXPECT_NEAR(band.splRaw[2].real(), -DbToGain(-6), 1e-12);
    EXPECT_EQ(band.splSmoothed.GetSize(), 3);
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(SplCurveLoad, XopFilesGiveTheirSplColumnsAndImpedanceIsRefused) {
    // Its SPL columns carry no phase: the curve gets the minimum phase.
    ASSERT_TRUE(Load("a.xop", "t\n10 6 30 0 0\n20 7 40 20 0\n"));
    EXPECT_NEAR(std::abs(band.splRaw[1]), DbToGain(20), 1e-12);

    band.Init();
    band.splSmoothing = 5;
    EXPECT_FALSE(Load("z.txt", "Freq Ohm deg\n10 6 0\n20 7 0\n"));
    EXPECT_FALSE(Load("Woofer.zma", "1.029 6.6 2.8\n2 7 3\n3 8 4\n"));
    EXPECT_FALSE(Load("t.txt", "Time[ms] Level[V]\n0 1\n1 2\n"));
    ExpectBandHasNoCurve();
    EXPECT_FALSE(band.modified);
    EXPECT_EQ(band.splSmoothing, 5);
}

TEST_F(SplCurveLoad, PointsAtOrBelowZeroHertzAreDroppedAndTheRestSortedStably) {
    ASSERT_TRUE(Load("a.frd", "100 1 0\n0 5 0\n50 2 0\n-20 3 0\n50 4 0\n"));
    EXPECT_EQ(Doubles(band.splFreqs.begin(), band.splFreqs.end()), (Doubles{50, 50, 100}));
    EXPECT_NEAR(std::abs(band.splRaw[0]), DbToGain(4), 1e-12);
    EXPECT_NEAR(std::abs(band.splRaw[1]), DbToGain(2), 1e-12);
}

TEST_F(SplCurveLoad, ACurveOfFewerThanTwoUsablePointsLeavesTheBandAsItWas) {
    ASSERT_TRUE(Load("good.frd", "10 1 0\n20 2 0\n30 3 0\n"));
    band.modified = false;
    const std::string before = band.splFileName;
    EXPECT_FALSE(Load("head.txt", "Freq dB Phase\nno data\nhere\n"));
    EXPECT_FALSE(Load("one.frd", "* x\n0 1 0\n10 2 0\n"));
    EXPECT_FALSE(Load("missing/none.frd", ""));
    EXPECT_EQ(band.splFileName, before);
    EXPECT_EQ(band.splFreqs.GetSize(), 3);
    EXPECT_FALSE(band.modified);
}

// A dialog's Cancel is a copy of the settings it opened on: the curve comes
// back with its smoothing, even when its file is gone by now.
TEST_F(SplCurveLoad, ACopyOfTheSettingsPutsBackACurveAndItsSmoothing) {
    ASSERT_TRUE(Load("first.frd", "10 1 0\n20 2 0\n30 3 0\n"));
    ASSERT_TRUE(band.SetSmoothing(12));
    const BandSettings opened = band.Settings();

    ASSERT_TRUE(Load("second.frd", "100 9 0\n200 8 0\n300 7 0\n"));
    ASSERT_TRUE(band.SetSmoothing(3));
    band.modified = false;
    std::filesystem::remove(dir / "first.frd");
    band.SetSettings(opened);
    EXPECT_EQ(band.splFileName, (dir / "first.frd").string());
    EXPECT_EQ(band.splSmoothing, 12);
    EXPECT_EQ(Doubles(band.splFreqs.begin(), band.splFreqs.end()), (Doubles{10, 20, 30}));
    EXPECT_NEAR(std::abs(band.splRaw[2]), DbToGain(3), 1e-12);
    EXPECT_EQ(band.splSmoothed.GetSize(), 3);
    EXPECT_TRUE(band.modified);

    const BandSettings none;
    band.modified = false;
    band.SetSettings(none);
    ExpectBandHasNoCurve();
    EXPECT_TRUE(band.modified);
}

} // namespace
} // namespace kv
