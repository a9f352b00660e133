#include "session/WindowPlacement.h"

#include <gtest/gtest.h>

namespace kv {
namespace {

const QRect kScreen(0, 0, 1920, 1080);

bool Inside(const QRect& frame, const QRect& screen) {
    return screen.contains(frame);
}

TEST(WindowPlacement, BesideTheWindowWhenTheScreenHasRoom) {
    const QRect window(100, 50, 1200, 880);
    const std::vector<QRect> panes = {QRect(110, 100, 590, 420), QRect(710, 100, 580, 420)};
    const QSize frame(400, 300);
    const QPoint at = PlaceWindow(frame, kScreen, window, panes);
    EXPECT_EQ(at, QPoint(1308, 50)) << "right of the window";
    // No room on the right: on the left.
    const QRect right(700, 50, 1200, 880);
    EXPECT_EQ(PlaceWindow(frame, kScreen, right, {}), QPoint(292, 50));
}

// A maximised window leaves no room beside it: the dialog goes over the
// schematic below the panes, or where it covers the band pane not at all
// and the total pane least, always on the screen.
TEST(WindowPlacement, OverTheSchematicOrClearOfTheBandPaneOnAFullScreen) {
    const QRect window = kScreen;
    const QRect band(10, 60, 950, 500);
    const QRect total(965, 60, 945, 500);
    const QPoint small = PlaceWindow({500, 300}, kScreen, window, {band, total});
    const QRect smallFrame(small, QSize(500, 300));
    EXPECT_FALSE(smallFrame.intersects(band));
    EXPECT_FALSE(smallFrame.intersects(total));
    EXPECT_TRUE(Inside(smallFrame, kScreen));

    const QSize tall(960, 710);
    const QRect tallFrame(PlaceWindow(tall, kScreen, window, {band, total}), tall);
    EXPECT_FALSE(tallFrame.intersects(band));
    EXPECT_TRUE(Inside(tallFrame, kScreen));
}

TEST(WindowPlacement, AFrameKeptOnTheScreen) {
    EXPECT_EQ(KeepOnScreen(QRect(-50, -20, 300, 200), kScreen), QPoint(0, 0));
    EXPECT_EQ(KeepOnScreen(QRect(1800, 1000, 300, 200), kScreen), QPoint(1620, 880));
    EXPECT_EQ(KeepOnScreen(QRect(100, 100, 300, 200), kScreen), QPoint(100, 100));
    // Larger than the screen: its top left corner.
    EXPECT_EQ(KeepOnScreen(QRect(100, 100, 3000, 2000), kScreen), QPoint(0, 0));
}

} // namespace
} // namespace kv
