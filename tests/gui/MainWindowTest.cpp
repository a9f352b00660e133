#include "app/CKestrelvaneDlg.h"
#include "dialogs/PortComboBox.h"
#include "gui/session/SessionTestSupport.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTextBrowser>
#include <gtest/gtest.h>

namespace kv {
namespace {

TEST(MainWindow, ShowsTheDesignAndClosesWritingTheSettings) {
    test::MemorySettings settings;
    test::TempDir dir;
    CConfiguration design;
    ASSERT_TRUE(design.New(3, kDesignSampleRate));
    design.SetTitle("Untitled");
    test::RecordingMessageBox messages;
    ASSERT_TRUE(design.Save(dir / "three.ksv", messages));

    CKestrelvaneDlg window(settings);
    window.Session().History().SetRecoveryFolder(dir / "data");
    window.Start(dir / "three.ksv");
    window.show();
    QApplication::processEvents();
    EXPECT_EQ(window.windowTitle(),
              QStringLiteral("Kestrelvane (HMQ27) - Untitled[*] [3 way, 24 bits @ 96 kHz]"));
    EXPECT_FALSE(window.isWindowModified());
    const DesignSettings saved = window.Session().Document().Design().Settings();
    window.Session().Document().Design().bands[0].SetGain(-2.0);
    window.Session().LiveChange();
    EXPECT_TRUE(window.isWindowModified()) << "the title bar shows the asterisk";
    window.Session().CommitChange(saved, "Gain");
    window.Session().Undo();
    EXPECT_FALSE(window.isWindowModified());
    auto* port = window.findChild<PortComboBox*>(QStringLiteral("portCombo"));
    ASSERT_NE(port, nullptr);
    // Empty settings: the first port the machine lists, if it lists any.
    EXPECT_EQ(port->Choice().toStdString(), window.Session().View().Port());
    EXPECT_EQ(port->Choice(), port->count() > 0 ? port->itemData(0).toString() : QString());
    port->lineEdit()->selectAll();
    QTest::keyClicks(port->lineEdit(), QStringLiteral("/dev/ttyUSB3"));
    EXPECT_EQ(window.Session().View().Port(), "/dev/ttyUSB3") << "a typed port is the choice";
    for (const char* name :
         {"updateButton", "newButton", "loadButton", "saveButton", "saveAsButton", "helpButton"}) {
        EXPECT_NE(window.findChild<QPushButton*>(QString::fromLatin1(name)), nullptr) << name;
    }
    QTest::keyClick(&window, Qt::Key_F1);
    auto* manual = window.findChild<QTextBrowser*>(QStringLiteral("manualText"));
    ASSERT_NE(manual, nullptr);
    EXPECT_TRUE(manual->toPlainText().contains(QStringLiteral("Programming the HMQ27")));
    EXPECT_TRUE(window.close());
    EXPECT_EQ(settings.values["Show Curves/Visible PIR Length"], "20");
    EXPECT_EQ(settings.values["Settings/Serial Port"], "/dev/ttyUSB3");
}

} // namespace
} // namespace kv
