#include "app/CKestrelvaneDlg.h"

#include <QApplication>
#include <gtest/gtest.h>

namespace kv {
namespace {

TEST(MainWindow, OpensWithTheProgramCaptionAndClosesCleanly) {
    CKestrelvaneDlg window;
    window.show();
    QApplication::processEvents();
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Kestrelvane (HMQ27)"));
    EXPECT_EQ(window.Configuration().numBands, 0);
    EXPECT_TRUE(window.close());
    QApplication::processEvents();
    EXPECT_FALSE(window.isVisible());
}

} // namespace
} // namespace kv
