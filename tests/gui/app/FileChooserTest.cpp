#include "app/CFileChooser.h"

#include <QApplication>
#include <QDialog>
#include <QFileDialog>
#include <QMainWindow>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace kv {
namespace {

// A "..." in a dialog opens the file dialog over that dialog, not over the
// main window: else the focus falls back to the main window when the file
// dialog closes, and Return no longer reaches the dialog the user was in.
TEST(FileChooser, OpensOverTheWindowThatAsked) {
    QMainWindow main;
    main.show();
    QDialog asking(&main);
    asking.show();
    asking.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&asking));

    QWidget* fileDialogParent = nullptr;
    QTimer::singleShot(0, [&fileDialogParent] {
        auto* const fileDialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (fileDialog != nullptr) {
            fileDialogParent = fileDialog->parentWidget();
            fileDialog->reject();
        }
    });
    CFileChooser chooser(&main);
    EXPECT_FALSE(chooser.ChooseFileToOpen({}).has_value());
    EXPECT_EQ(fileDialogParent, &asking);
}

} // namespace
} // namespace kv
