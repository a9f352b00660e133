#include "math/BatchMath.h"

#include "support/Lanes.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <random>
#include <vector>

namespace kv {
namespace {

constexpr double kTwoUnits = 2.0 * std::numeric_limits<double>::epsilon();

std::vector<double> Uniform(double lo, double hi, int count, unsigned seed) {
    std::mt19937 random(seed);
    std::uniform_real_distribution<double> value(lo, hi);
    std::vector<double> values;
    for (int i = 0; i < count; ++i) {
        values.push_back(value(random));
    }
    return values;
}

TEST(BatchExp, AgreesWithTheLibraryOverTheNormalRange) {
    std::vector<double> x = Uniform(-708.0, 708.0, 20000, 1);
    const std::vector<double> small = Uniform(-1.0, 1.0, 2000, 2);
    x.insert(x.end(), small.begin(), small.end());
    for (double edge : {0.0, -0.0, 708.0, -708.0, 0.3465735902799726, -0.3465735902799726}) {
        x.push_back(edge);
    }
    for (const VectorLanes lanes : test::SupportedLanes()) {
        std::vector<double> y(x.size());
        BatchExp(x.data(), y.data(), static_cast<int>(x.size()), lanes);
        for (std::size_t i = 0; i < x.size(); ++i) {
            const double expected = std::exp(x[i]);
            ASSERT_LE(std::abs(y[i] - expected), kTwoUnits * expected)
                << x[i] << test::LanesName(lanes);
        }
        EXPECT_EQ(y[y.size() - 6], 1.0);
    }
}

TEST(BatchExp, HandsTheEndsToTheLibrary) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const std::vector<double> x = {-1000.0, -745.0, 709.5, 1000.0, nan, 1.0};
    std::vector<double> y(x.size());
    BatchExp(x.data(), y.data(), static_cast<int>(x.size()));
    for (std::size_t i = 0; i + 2 < x.size(); ++i) {
        EXPECT_EQ(y[i], std::exp(x[i])) << x[i];
    }
    EXPECT_TRUE(std::isnan(y[4]));
    EXPECT_NEAR(y[5], std::exp(1.0), kTwoUnits * 3.0);
}

TEST(BatchSinCos, AgreesWithTheLibraryAtEveryScaleOfAngle) {
    std::vector<double> angles;
    for (double range : {1.0, 10.0, 1e3, 1e5, 1e6}) {
        const std::vector<double> part = Uniform(-range, range, 5000, static_cast<unsigned>(range));
        angles.insert(angles.end(), part.begin(), part.end());
    }
    for (int quarter = -8; quarter <= 8; ++quarter) {
        angles.push_back(quarter * 0.7853981633974483);
    }
    const auto count = static_cast<int>(angles.size());
    for (const VectorLanes lanes : test::SupportedLanes()) {
        std::vector<double> s(angles.size());
        std::vector<double> c(angles.size());
        BatchSinCos(angles.data(), s.data(), c.data(), count, lanes);
        for (std::size_t i = 0; i < angles.size(); ++i) {
            ASSERT_NEAR(s[i], std::sin(angles[i]), kTwoUnits)
                << angles[i] << test::LanesName(lanes);
            ASSERT_NEAR(c[i], std::cos(angles[i]), kTwoUnits)
                << angles[i] << test::LanesName(lanes);
        }
    }
}

TEST(BatchMath, FourLanesGiveTheBitsOfTwo) {
    if (!LanesSupported(VectorLanes::Four)) {
        GTEST_SKIP() << "this processor has no AVX2";
    }
    // Odd counts leave a remainder for the scalar end of each loop.
    const std::vector<double> x = Uniform(-100.0, 100.0, 1001, 5);
    const int count = static_cast<int>(x.size());
    std::vector<double> two(x.size() * 3);
    std::vector<double> four(x.size() * 3);
    BatchExp(x.data(), two.data(), count, VectorLanes::Two);
    BatchExp(x.data(), four.data(), count, VectorLanes::Four);
    BatchSinCos(x.data(), two.data() + count, two.data() + 2 * count, count, VectorLanes::Two);
    BatchSinCos(x.data(), four.data() + count, four.data() + 2 * count, count, VectorLanes::Four);
    EXPECT_EQ(two, four);
}

TEST(BatchSinCos, ExactAtZeroAndTheLibraryBeyondAMillion) {
    const std::vector<double> angles = {0.0, 3e6, -1e9, 1e300};
    std::vector<double> s(angles.size());
    std::vector<double> c(angles.size());
    BatchSinCos(angles.data(), s.data(), c.data(), static_cast<int>(angles.size()));
    EXPECT_EQ(s[0], 0.0);
    EXPECT_EQ(c[0], 1.0);
    for (std::size_t i = 1; i < angles.size(); ++i) {
        EXPECT_EQ(s[i], std::sin(angles[i])) << angles[i];
        EXPECT_EQ(c[i], std::cos(angles[i])) << angles[i];
    }
}

} // namespace
} // namespace kv
