#include "dialogs/CLsfDlg.h"
#include "dialogs/CNewXOver.h"
#include "model/CConfiguration.h"
#include "support/TestSupport.h"

#include <QFontMetrics>
#include <QLineEdit>
#include <gtest/gtest.h>

namespace kv {
namespace {

// The title bar has room for the whole title, whatever the fields need.
TEST(DialogWidth, ABlockDialogIsAsWideAsItsTitle) {
    CConfiguration design;
    ASSERT_TRUE(design.New(2, kDesignSampleRate));
    test::RecordingMessageBox messages;
    CLsfDlg dialog(design, 0, messages, [] {});
    dialog.show();
    QFont bold = dialog.font();
    bold.setBold(true);
    EXPECT_GT(dialog.width(), QFontMetrics(bold).horizontalAdvance(dialog.windowTitle()) + 60);
}

TEST(DialogWidth, TheNewDesignsTitleFieldShowsATitleOfSeveralWords) {
    CNewXOver dialog;
    dialog.show();
    auto* title = dialog.findChild<QLineEdit*>(QStringLiteral("titleEdit"));
    ASSERT_NE(title, nullptr);
    EXPECT_GE(title->width(),
              title->fontMetrics().horizontalAdvance(QStringLiteral("Living room, 3-way towers")));
}

} // namespace
} // namespace kv
