#include "math/Rounding.h"

#include <cmath>
#include <gtest/gtest.h>
#include <random>

namespace kv {
namespace {

TEST(Rounding, HalvesGoAwayFromZeroAsTheLibraryRoundsThem) {
    const double tricky[] = {0.0,
                             -0.0,
                             0.5,
                             -0.5,
                             1.5,
                             -2.5,
                             0.49999999999999994,
                             -0.49999999999999994,
                             std::nextafter(2.5, 0.0),
                             4503599627370495.5,
                             -4503599627370495.5,
                             4503599627370496.0,
                             9007199254740993.0,
                             1e17};
    for (const double x : tricky) {
        EXPECT_EQ(RoundHalfAway(x), std::llround(x)) << x;
    }
    std::mt19937 random(11);
    std::uniform_real_distribution<double> value(-1e6, 1e6);
    for (int i = 0; i < 100000; ++i) {
        const double x = value(random);
        ASSERT_EQ(RoundHalfAway(x), std::llround(x)) << x;
    }
}

} // namespace
} // namespace kv
