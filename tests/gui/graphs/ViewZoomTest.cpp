#include "graphs/ViewZoom.h"

#include <cmath>
#include <gtest/gtest.h>

namespace kv {
namespace {

double Octaves(const ViewZoom& zoom) {
    return std::log2(zoom.fMax / zoom.fMin);
}

// The frequency under the pointer stays under it, and the range neither
// leaves the grid nor closes up.
TEST(ViewZoom, TheWheelZoomsFrequenciesAroundThePointerWithinTheGrid) {
    const ViewZoom whole;
    const ViewZoom in = ZoomFrequencies(whole, 1000.0, 0.5);
    EXPECT_NEAR(Octaves(in), Octaves(whole) / 2.0, 1e-9);
    const double share = std::log(1000.0 / whole.fMin) / std::log(whole.fMax / whole.fMin);
    EXPECT_NEAR(std::log(1000.0 / in.fMin) / std::log(in.fMax / in.fMin), share, 1e-9);

    ViewZoom narrow = whole;
    for (int notch = 0; notch < 100; ++notch) {
        narrow = ZoomFrequencies(narrow, 2000.0, 0.8);
    }
    EXPECT_NEAR(narrow.fMax / narrow.fMin, kNarrowestFrequencyRatio, 1e-9);
    EXPECT_LT(narrow.fMin, 2000.0);
    EXPECT_GT(narrow.fMax, 2000.0);

    const ViewZoom out = ZoomFrequencies(in, 20.0, 10.0);
    EXPECT_EQ(out.fMin, kMainGridStart);
    EXPECT_NEAR(out.fMax, kMainGridStop, 1e-6);
    EXPECT_EQ(ZoomFrequencies(in, std::nan(""), 0.5), in);
    EXPECT_EQ(ZoomFrequencies(in, 1000.0, -1.0), in);
}

TEST(ViewZoom, PanningKeepsTheRangeAndStopsAtTheEndsOfTheGrid) {
    const ViewZoom in = ZoomFrequencies(ViewZoom{}, 1000.0, 0.5);
    const ViewZoom up = PanFrequencies(in, 2.0);
    EXPECT_NEAR(up.fMin, 2.0 * in.fMin, 1e-9);
    EXPECT_NEAR(Octaves(up), Octaves(in), 1e-9);
    const ViewZoom top = PanFrequencies(in, 1e6);
    EXPECT_NEAR(top.fMax, kMainGridStop, 1e-6);
    EXPECT_NEAR(Octaves(top), Octaves(in), 1e-9);
    EXPECT_EQ(PanFrequencies(in, 1e-6).fMin, kMainGridStart);
}

TEST(ViewZoom, TheLevelAxisZoomsAroundThePointerAndPansByDecibels) {
    const LevelWindow level{95.0, 40.0};
    const LevelWindow in = ZoomLevels(level, 85.0, 0.5);
    EXPECT_EQ(in.span, 20.0);
    EXPECT_EQ(in.top, 90.0) << "85 dB keeps its place a quarter down";
    EXPECT_EQ(ZoomLevels(level, 85.0, 1e-6).span, kSmallestLevelSpan);
    EXPECT_EQ(ZoomLevels(level, 85.0, 1e6).span, kLargestLevelSpan);
    EXPECT_EQ(PanLevels(level, -12.5), (LevelWindow{82.5, 40.0}));
    EXPECT_EQ(PanLevels(level, std::nan("")), level);
}

} // namespace
} // namespace kv
