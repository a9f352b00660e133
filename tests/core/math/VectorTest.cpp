#include "math/ResponseCurves.h"
#include "math/VComplexVec.h"
#include "math/VDoubleVec.h"
#include "math/VFreqVec.h"
#include "support/TestSupport.h"

#include <cmath>
#include <gtest/gtest.h>
#include <numbers>

namespace kv {
namespace {

constexpr double pi = std::numbers::pi;

VDoubleVec Values(std::initializer_list<double> values) {
    return test::VectorOf<VDoubleVec>(values);
}

TEST(Vectors, ResizingKeepsValuesAndZeroesNewOnes) {
    VDoubleVec v = Values({1, 2, 3});
    ASSERT_TRUE(v.SetSize(5));
    EXPECT_EQ(v.GetSize(), 5);
    EXPECT_EQ(v[2], 3.0);
    EXPECT_EQ(v[4], 0.0);
    ASSERT_TRUE(v.SetSize(-3));
    EXPECT_EQ(v.GetSize(), 0);
    ASSERT_TRUE(v.SetSize(5));
    for (double x : v) {
        EXPECT_EQ(x, 0.0);
    }
    VComplexVec c(2);
    c[0] = {1, 2};
    ASSERT_TRUE(c.SetSize(3));
    EXPECT_EQ(c[0], Complex(1, 2));
    EXPECT_EQ(c[2], Complex(0, 0));
}

TEST(Vectors, RangesClampAndANegativeLastMeansTheEnd) {
    VDoubleVec v = Values({1, 7, 7, 2});
    EXPECT_EQ(v.Max(0, -1), 7.0);
    EXPECT_EQ(v.Min(2, 99), 2.0);
    EXPECT_EQ(v.Min(3, 1), 2.0);
    v.Reverse(0, -1);
    EXPECT_EQ(v[0], 2.0);
    EXPECT_EQ(v[3], 1.0);
    v.Reverse(1, 2);
    EXPECT_EQ(v[1], 7.0);
    VComplexVec c(4);
    c[1] = {2, 4};
    c[2] = {4, 0};
    EXPECT_EQ(c.Mean(1, 2), Complex(3, 2));
}

TEST(Vectors, CopiesAreDeepAndSelfAssignmentIsHarmless) {
    VDoubleVec a = Values({1, 2});
    VDoubleVec b;
    b = a;
    b[0] = 5;
    EXPECT_EQ(a[0], 1.0);
    const VDoubleVec& same = b;
    b = same;
    EXPECT_EQ(b.GetSize(), 2);
    VComplexVec x(2);
    x.FillReal(2.0);
    VComplexVec y(2);
    y[0] = {0, 1};
    y[1] = {3, 0};
    x *= y;
    EXPECT_EQ(x[0], Complex(0, 2));
    x += y;
    EXPECT_EQ(x[1], Complex(9, 0));
}

TEST(FrequencyGrid, TheMainGridHas576PointsEndingExactlyAt40kHz) {
    VFreqVec grid;
    ASSERT_TRUE(grid.Create(10.0, 40000.0, 48, false, false));
    ASSERT_EQ(grid.GetSize(), 576);
    EXPECT_EQ(grid[0], 10.0);
    EXPECT_EQ(grid[575], 40000.0);
    EXPECT_NEAR(grid[48], 20.0, 1e-9);
    EXPECT_LT(grid[574], 40000.0);
    EXPECT_EQ(grid.PointsPerOctave(), 48);
    ASSERT_TRUE(grid.Create(10.0, 40000.0, 48, false, true));
    EXPECT_EQ(grid[0], 40000.0);
    EXPECT_EQ(grid[575], 10.0);
}

TEST(FrequencyGrid, DegenerateAndLinearGrids) {
    VFreqVec grid;
    ASSERT_TRUE(grid.Create(100.0, 100.0, 48, false, false));
    ASSERT_EQ(grid.GetSize(), 1);
    EXPECT_EQ(grid[0], 100.0);
    ASSERT_TRUE(grid.Create(200.0, 100.0, 48, false, false));
    ASSERT_EQ(grid.GetSize(), 1);
    EXPECT_EQ(grid[0], 100.0);
    ASSERT_TRUE(grid.Create(0.0, 100.0, 5, true, false));
    ASSERT_EQ(grid.GetSize(), 5);
    EXPECT_EQ(grid[1], 25.0);
    EXPECT_EQ(grid.PointsPerOctave(), 0);
}

TEST(StoredVectors, RecordLayoutAndTagChecks) {
    test::TempDir dir;
    VDoubleVec v = Values({1, 2, 3});
    {
        VPersistence archive;
        ASSERT_TRUE(archive.Open(dir / "v.bin", true));
        ASSERT_TRUE(v.Serialize(archive));
        ASSERT_TRUE(archive.Close());
    }
    // Tag: length, "VDoubleVec\0", version; then count and three doubles.
    EXPECT_EQ(test::ReadBytes(dir / "v.bin").size(), 4u + 11 + 4 + 4 + 24);

    VPersistence archive;
    ASSERT_TRUE(archive.Open(dir / "v.bin", false));
    VComplexVec wrong;
    EXPECT_FALSE(wrong.Serialize(archive));
    VDoubleVec back;
    ASSERT_TRUE(back.Serialize(archive));
    ASSERT_EQ(back.GetSize(), 3);
    EXPECT_EQ(back[2], 3.0);
}

TEST(StoredVectors, CountsTheFileCannotHoldAndWrongVersionsFail) {
    test::TempDir dir;
    test::WriteBytes(dir / "huge.bin",
                     test::ByteWriter().Tag("VComplexVec", 1).Int32(0x7FFFFFFF).Double(1).Bytes());
    test::WriteBytes(dir / "v2.bin", test::ByteWriter().Tag("VDoubleVec", 2).Int32(0).Bytes());
    VPersistence archive;
    ASSERT_TRUE(archive.Open(dir / "huge.bin", false));
    VComplexVec c;
    EXPECT_FALSE(c.Serialize(archive));
    EXPECT_EQ(c.GetSize(), 0);
    ASSERT_TRUE(archive.Close());
    ASSERT_TRUE(archive.Open(dir / "v2.bin", false));
    VDoubleVec d;
    EXPECT_FALSE(d.Serialize(archive));
}

TEST(ResponseCurves, LevelsPhasesAndTheFloor) {
    VFreqVec grid;
    grid.Create(10.0, 40000.0, 48, false, false);
    VComplexVec response(grid.GetSize());
    response.FillReal(1.0);
    response[0] = {0, 0};
    response[1] = {-1, 0};
    response[2] = {1e39, 0};
    VDoubleVec db;
    VDoubleVec phase;
    VDoubleVec delay;
    ASSERT_TRUE(ComputeResponseCurves(response, grid, db, phase, delay, false));
    EXPECT_EQ(db[0], -760.0);
    EXPECT_EQ(phase[0], 0.0);
    EXPECT_DOUBLE_EQ(phase[1], 180.0);
    EXPECT_EQ(db[2], 760.0);
    EXPECT_EQ(db[3], 0.0);
}

TEST(ResponseCurves, APureDelayHasItsGroupDelayEverywhere) {
    VFreqVec grid;
    grid.Create(10.0, 40000.0, 48, false, false);
    const double tau = 0.0004;
    VComplexVec response(grid.GetSize());
    for (int i = 0; i < grid.GetSize(); ++i) {
        response[i] = FromPolar(1.0, -2.0 * pi * grid[i] * tau);
    }
    VDoubleVec db;
    VDoubleVec phase;
    VDoubleVec delay;
    ASSERT_TRUE(ComputeResponseCurves(response, grid, db, phase, delay, true));
    for (int i = 0; i < grid.GetSize(); ++i) {
        ASSERT_NEAR(delay[i], tau * 1000.0, 1e-9) << i;
    }
    EXPECT_NEAR(phase[575], -360.0 * 40000.0 * tau, 1e-6);
}

TEST(ResponseCurves, UnwrappingFoldsOnlyStepsBeyondTheGridTolerance) {
    const auto step = [](double d) {
        VDoubleVec out;
        EXPECT_TRUE(UnwrapPhase(out, Values({0.0, d}), 48));
        return out[1] / pi;
    };
    EXPECT_NEAR(step(-1.889 * pi), 0.111, 1e-12);
    EXPECT_NEAR(step(0.45 * pi), 0.45, 1e-12);
    EXPECT_NEAR(step(0.6 * pi), -1.4, 1e-12);
}

TEST(ResponseCurves, GroupDelayBridgesRepeatedFrequencies) {
    VDoubleVec f = Values({100, 200, 200, 200, 500, 600});
    VDoubleVec phase = Values({0, -1, -2, -3, -4, -5});
    VDoubleVec out;
    ASSERT_TRUE(GroupDelay(out, f, phase));
    for (double x : out) {
        EXPECT_TRUE(std::isfinite(x));
    }
    EXPECT_EQ(out[0], out[1]);
    EXPECT_EQ(out[5], out[4]);
    EXPECT_NEAR(out[2], (out[1] + out[3]) / 2.0, 1e-15);
    EXPECT_FALSE(GroupDelay(out, f, Values({1})));
}

TEST(ResponseCurves, WrapAndLogInterpolation) {
    EXPECT_EQ(WrapPhase(pi), pi);
    EXPECT_EQ(WrapPhase(-pi), -pi);
    EXPECT_NEAR(WrapPhase(1.5 * pi), -0.5 * pi, 1e-15);
    EXPECT_NEAR(WrapPhase(1e6), std::remainder(1e6, 2 * pi), 1e-6);
    EXPECT_TRUE(std::isnan(WrapPhase(std::nan(""))));
    EXPECT_NEAR(LogInterpolate(200, 100, 0, 400, 2), 1.0, 1e-12);
    EXPECT_TRUE(std::isfinite(LogInterpolate(0, 0, 1, 0, 2)));
    EXPECT_NEAR(std::abs(LogInterpolateComplex(200, {0, 0}, 100, {2, 2}, 400) - Complex(1, 1)), 0.0,
                1e-12);
}

} // namespace
} // namespace kv
