#include "import/VSmooth.h"
#include "math/ResponseCurves.h"
#include "model/CBand.h"
#include "model/SplCurve.h"
#include "support/TestSupport.h"

#include <cmath>
#include <gtest/gtest.h>

namespace kv {
namespace {

VDoubleVec Values(std::initializer_list<double> values) {
    return test::VectorOf<VDoubleVec>(values);
}

// A band with a jagged curve of n points spread log-evenly over two decades.
void GiveJaggedCurve(CBand& band, int n) {
    band.splFreqs.SetSize(n);
    band.splRaw.SetSize(n);
    for (int i = 0; i < n; ++i) {
        band.splFreqs[i] = 100.0 * std::pow(100.0, i / (n - 1.0));
        band.splRaw[i] = FromPolar(i % 2 == 0 ? 1.0 : 0.25, 0.3 * std::sin(i));
    }
}

bool SmoothedEqualsRaw(const CBand& band) {
    for (int i = 0; i < band.splRaw.GetSize(); ++i) {
        if (std::abs(band.splSmoothed[i] - band.splRaw[i]) > 1e-9) {
            return false;
        }
    }
    return true;
}

TEST(Smoothing, ACurveTooSparseForTheSettingIsTakenAsItIs) {
    CBand band;
    GiveJaggedCurve(band, 200);
    for (int n : {1, 12, 29}) {
        ASSERT_TRUE(band.SetSmoothing(n));
        ASSERT_EQ(band.splSmoothed.GetSize(), 200);
        EXPECT_FALSE(SmoothedEqualsRaw(band)) << n;
    }
    for (int n : {30, 48}) {
        ASSERT_TRUE(band.SetSmoothing(n));
        EXPECT_TRUE(SmoothedEqualsRaw(band)) << n;
    }
}

TEST(Smoothing, OneSixthOctaveFlattensAJaggedCurveTowardsItsMedian) {
    CBand band;
    GiveJaggedCurve(band, 400);
    ASSERT_TRUE(band.SetSmoothing(3));
    for (int i = 20; i < 380; ++i) {
        const double level = 20.0 * std::log10(std::abs(band.splSmoothed[i]));
        EXPECT_GT(level, -12.1) << i;
        EXPECT_LT(level, 0.1) << i;
    }
    const double spread =
        std::abs(std::abs(band.splSmoothed[200]) - std::abs(band.splSmoothed[201]));
    EXPECT_LT(spread, 0.75 * (1.0 - 0.25));
}

TEST(Smoothing, EvenWindowsDropTheirLastValueAndPairsTakeTheLarger) {
    // With N = 1 the window around 1000 Hz holds the first four points and
    // the one around 5000 Hz the last two.
    const VDoubleVec f = Values({1000, 1001, 1002, 5000, 6000});
    VDoubleVec v = Values({1, 9, 5, 100, 50});
    VSmooth smooth;
    smooth.Smooth(f, v, 1, VSmooth::Mode::Median);
    EXPECT_NEAR(v[0], 5.0, 1e-9);
    EXPECT_NEAR(v[3], 100.0, 1e-9);
    EXPECT_EQ(v[4], 50.0);
    EXPECT_GT(v[1], v[0]);
    EXPECT_LT(v[2], v[3]);
}

TEST(Smoothing, MeanModeAveragesTheWindow) {
    const VDoubleVec f = Values({1000, 1001, 1002, 5000, 6000});
    VDoubleVec v = Values({1, 9, 5, 100, 50});
    VSmooth smooth;
    smooth.Smooth(f, v, 1, VSmooth::Mode::Mean);
    EXPECT_NEAR(v[0], (1 + 9 + 5 + 100) / 4.0, 1e-9);
}

TEST(Smoothing, EqualFrequenciesAreNeverSmoothed) {
    CBand band;
    band.splFreqs.SetSize(50);
    band.splRaw.SetSize(50);
    for (int i = 0; i < 50; ++i) {
        band.splFreqs[i] = 1000.0;
        band.splRaw[i] = {i % 3 + 0.5, 0.0};
    }
    ASSERT_TRUE(band.SetSmoothing(1));
    EXPECT_TRUE(SmoothedEqualsRaw(band));
    VDoubleVec v = Values({1, 2, 3});
    const VDoubleVec f = Values({5, 5, 5});
    VSmooth smooth;
    smooth.Smooth(f, v, 4, VSmooth::Mode::Median);
}

TEST(Smoothing, TheSettingIsCheckedAndTrackedLikeAnyOther) {
    CBand band;
    GiveJaggedCurve(band, 10);
    EXPECT_FALSE(band.SetSmoothing(0));
    EXPECT_FALSE(band.SetSmoothing(49));
    EXPECT_EQ(band.splSmoothing, 48);
    EXPECT_TRUE(band.splSmoothed.Empty());
    EXPECT_FALSE(band.modified);
    EXPECT_TRUE(band.SetSmoothing(48));
    EXPECT_FALSE(band.modified);
    EXPECT_TRUE(band.SetSmoothing(12));
    EXPECT_TRUE(band.modified);
}

TEST(Smoothing, LevelsBecomeMagnitudesExactlyAtZeroDecibels) {
    EXPECT_EQ(DbToGain(0.0), 1.0);
    EXPECT_NEAR(DbToGain(20.0), 10.0, 1e-12);
    EXPECT_NEAR(DbToGain(-6.020599913279624), 0.5, 1e-15);
    EXPECT_EQ(DbToGain(300.0), 10686474000000.0);
    EXPECT_EQ(DbToGain(-800.0), 1e-38);
    CBand band;
    band.splFreqs.SetSize(1);
    band.splRaw.SetSize(1);
    band.splFreqs[0] = 1000.0;
    band.splRaw[0] = {1.0, 0.0};
    ASSERT_TRUE(band.SetSmoothing(48));
    EXPECT_EQ(band.splSmoothed[0], Complex(1.0, 0.0));
}

TEST(Smoothing, ARawCurveShorterThanItsFrequenciesGivesAFlatCurve) {
    CBand band;
    band.splFreqs.SetSize(4);
    for (int i = 0; i < 4; ++i) {
        band.splFreqs[i] = 100.0 * (i + 1);
    }
    band.splRaw.SetSize(2);
    ASSERT_TRUE(band.SetSmoothing(48));
    ASSERT_EQ(band.splSmoothed.GetSize(), 4);
    EXPECT_EQ(band.splSmoothed[3], Complex(1.0, 0.0));
}

} // namespace
} // namespace kv
