#include "math/BatchMath.h"

#include "support/Lanes.h"

#include <algorithm>
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

TEST(BatchLog, AgreesWithTheLibraryFromTheSmallestToTheLargestNormal) {
    std::vector<double> x;
    std::mt19937 random(6);
    std::uniform_real_distribution<double> exponent(-1021.0, 1023.0);
    std::uniform_real_distribution<double> mantissa(1.0, 2.0);
    for (int i = 0; i < 20000; ++i) {
        x.push_back(std::ldexp(mantissa(random), static_cast<int>(exponent(random))));
    }
    const std::vector<double> nearOne = Uniform(0.7, 1.5, 5000, 7);
    x.insert(x.end(), nearOne.begin(), nearOne.end());
    for (double edge : {1.0, 2.0, 0.5, 1.4142135623730951, 1.4142135623730954,
                        std::numeric_limits<double>::min(), std::numeric_limits<double>::max()}) {
        x.push_back(edge);
    }
    for (const VectorLanes lanes : test::SupportedLanes()) {
        std::vector<double> y(x.size());
        BatchLog(x.data(), y.data(), static_cast<int>(x.size()), lanes);
        for (std::size_t i = 0; i < x.size(); ++i) {
            const double expected = std::log(x[i]);
            ASSERT_LE(std::abs(y[i] - expected), kTwoUnits * std::max(std::abs(expected), 1e-300))
                << x[i] << test::LanesName(lanes);
        }
        EXPECT_EQ(y[y.size() - 7], 0.0);
    }
}

TEST(BatchLog, HandsWhatIsNotAPositiveNormalNumberToTheLibrary) {
    const double inf = std::numeric_limits<double>::infinity();
    const std::vector<double> x = {0.0, -0.0, -1.0, 1e-310, inf, -inf};
    std::vector<double> y(x.size());
    BatchLog(x.data(), y.data(), static_cast<int>(x.size()));
    for (std::size_t i = 0; i < x.size(); ++i) {
        const double expected = std::log(x[i]);
        EXPECT_TRUE(y[i] == expected || (std::isnan(y[i]) && std::isnan(expected))) << x[i];
    }
}

TEST(BatchAtan2, AgreesWithTheLibraryInEveryQuadrantAndOnTheAxes) {
    std::vector<double> y = Uniform(-10.0, 10.0, 20000, 8);
    std::vector<double> x = Uniform(-10.0, 10.0, 20000, 9);
    const double special[][2] = {
        {0.0, 1.0},    {-0.0, 1.0},   {0.0, -1.0},     {-0.0, -1.0}, {1.0, 0.0},
        {1.0, -0.0},   {-1.0, 0.0},   {1.0, 1.0},      {-1.0, -1.0}, {0.41421356237309503, 1.0},
        {1e-300, 1.0}, {1.0, 1e-300}, {1e300, -1e-300}};
    for (const auto& pair : special) {
        y.push_back(pair[0]);
        x.push_back(pair[1]);
    }
    for (const VectorLanes lanes : test::SupportedLanes()) {
        std::vector<double> angle(x.size());
        BatchAtan2(y.data(), x.data(), angle.data(), static_cast<int>(x.size()), lanes);
        for (std::size_t i = 0; i < x.size(); ++i) {
            const double expected = std::atan2(y[i], x[i]);
            ASSERT_LE(std::abs(angle[i] - expected), 1.5 * kTwoUnits * std::abs(expected))
                << y[i] << ", " << x[i] << test::LanesName(lanes);
            ASSERT_EQ(std::signbit(angle[i]), std::signbit(expected)) << y[i] << ", " << x[i];
        }
    }
}

TEST(BatchAtan2, HandsZerosAndInfinitiesToTheLibrary) {
    const double inf = std::numeric_limits<double>::infinity();
    const std::vector<double> y = {0.0, -0.0, 0.0, inf, -inf, 1.0, inf};
    const std::vector<double> x = {0.0, -0.0, -0.0, 1.0, inf, -inf, -inf};
    std::vector<double> angle(x.size());
    BatchAtan2(y.data(), x.data(), angle.data(), static_cast<int>(x.size()));
    for (std::size_t i = 0; i < x.size(); ++i) {
        EXPECT_EQ(angle[i], std::atan2(y[i], x[i])) << y[i] << ", " << x[i];
        EXPECT_EQ(std::signbit(angle[i]), std::signbit(std::atan2(y[i], x[i])));
    }
}

TEST(BatchMath, FourLanesGiveTheBitsOfTwo) {
    if (!LanesSupported(VectorLanes::Four)) {
        GTEST_SKIP() << "this processor has no AVX2";
    }
    // Odd counts leave a remainder for the scalar end of each loop.
    const std::vector<double> x = Uniform(-100.0, 100.0, 1001, 5);
    const std::vector<double> y = Uniform(0.001, 100.0, 1001, 10);
    const int count = static_cast<int>(x.size());
    const auto results = [&](VectorLanes lanes) {
        std::vector<double> out(x.size() * 5);
        double* at = out.data();
        BatchExp(x.data(), at, count, lanes);
        BatchSinCos(x.data(), at + count, at + 2 * count, count, lanes);
        BatchLog(y.data(), at + 3 * count, count, lanes);
        BatchAtan2(y.data(), x.data(), at + 4 * count, count, lanes);
        return out;
    };
    EXPECT_EQ(results(VectorLanes::Two), results(VectorLanes::Four));
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
