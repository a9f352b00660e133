#include "app/CKestrelvaneDlg.h"
#include "app/CZoomedWindow.h"
#include "app/ResponsePane.h"
#include "app/SchematicPane.h"
#include "app/StartPanel.h"
#include "gui/session/SessionTestSupport.h"
#include "model/Alignment.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace kv {
namespace {

class MainWindowMenus : public ::testing::Test {
protected:
    // A recovery file another run left would stop the start with a question.
    void SetUp() override { window.Session().History().SetRecoveryFolder(dir / "data"); }

    QAction* Action(const char* name) {
        auto* action = window.findChild<QAction*>(QString::fromLatin1(name));
        EXPECT_NE(action, nullptr) << name;
        return action;
    }

    QImage Pane(const char* name) {
        auto* pane = window.findChild<ResponsePane*>(QString::fromLatin1(name));
        return pane->grab().toImage();
    }

    // A three-way design saved where the window can load it.
    std::filesystem::path ThreeWay() {
        CConfiguration design;
        design.New(3, kDesignSampleRate);
        design.SetTitle("Menus");
        EXPECT_TRUE(design.Save(dir / "menus.ksv", messages));
        return dir / "menus.ksv";
    }

    test::TempDir dir;
    test::RecordingMessageBox messages;
    test::MemorySettings settings;
    CKestrelvaneDlg window{settings};
};

TEST_F(MainWindowMenus, CommandsThatNeedADesignAreGreyedWithoutOne) {
    window.Start();
    for (const char* name :
         {"showImportedSplAction", "showPhaseAction", "showSumTotalAction", "bandZoomAction",
          "bandPirAction", "totalZoomAction", "bandExportAction", "totalExportAction",
          "propertiesAction", "changeTitleAction", "targetLevelsAction"}) {
        EXPECT_FALSE(Action(name)->isEnabled()) << name;
    }
    window.Start(ThreeWay());
    EXPECT_TRUE(Action("showPhaseAction")->isEnabled());
    EXPECT_TRUE(Action("propertiesAction")->isEnabled());
    EXPECT_TRUE(Action("showImportedSplAction")->isChecked());
    EXPECT_FALSE(Action("showFilterAction")->isChecked());
}

// A first start shows, where the schematic will be, the ways to begin; the
// example opens as a new design of its own, and the panel gives way.
TEST_F(MainWindowMenus, AStartWithoutADesignOffersTheWaysToBeginInTheSchematicsPlace) {
    window.Start();
    window.show();
    auto* panel = window.findChild<StartPanel*>(QStringLiteral("startPanel"));
    auto* schematic = window.findChild<SchematicPane*>(QStringLiteral("schematicPane"));
    ASSERT_NE(panel, nullptr);
    EXPECT_TRUE(panel->isVisible());
    EXPECT_FALSE(schematic->isVisible());
    EXPECT_TRUE(panel->findChildren<QPushButton*>(QStringLiteral("startRecentButton")).empty());

    QTest::mouseClick(panel->findChild<QPushButton*>(QStringLiteral("startExampleButton")),
                      Qt::LeftButton);
    EXPECT_EQ(window.Session().Document().Design().title, "Example 3-way");
    EXPECT_EQ(window.Session().Document().Design().numBands, 3);
    EXPECT_TRUE(window.Session().Document().Design().fileName.empty())
        << "Save asks where to keep it; the shipped example stays as it is";
    EXPECT_FALSE(panel->isVisible());
    EXPECT_TRUE(schematic->isVisible());

    // Another start offers the designs this one opened.
    window.Session().Document().SetSaved(true);
    window.Session().OpenFile(ThreeWay());
    CKestrelvaneDlg next(settings);
    next.Session().History().SetRecoveryFolder(dir / "next");
    next.Start();
    auto* nextPanel = next.findChild<StartPanel*>(QStringLiteral("startPanel"));
    const QList<QPushButton*> recent =
        nextPanel->findChildren<QPushButton*>(QStringLiteral("startRecentButton"));
    ASSERT_EQ(recent.size(), 1);
    EXPECT_EQ(recent[0]->text(), QStringLiteral("menus.ksv"));
    QTest::mouseClick(recent[0], Qt::LeftButton);
    EXPECT_EQ(next.Session().Document().Design().title, "Menus");
}

TEST_F(MainWindowMenus, TheRecentDesignsMenuListsTheOpenedDesignWhenItOpens) {
    window.Start();
    auto* recent = window.findChild<QMenu*>(QStringLiteral("recentMenu"));
    EXPECT_FALSE(recent->isEnabled());
    window.Start(ThreeWay());
    EXPECT_TRUE(recent->isEnabled());
    emit recent->aboutToShow();
    ASSERT_EQ(recent->actions().size(), 1);
    EXPECT_TRUE(recent->actions()[0]->text().endsWith(QStringLiteral("menus.ksv")));
}

TEST_F(MainWindowMenus, ASwitchOfOnePanesMenuChangesWhatBothPanesDraw) {
    window.Start(ThreeWay());
    window.resize(1200, 880);
    const QImage totalBefore = Pane("totalPane");
    const QImage bandBefore = Pane("bandPane");
    auto* bandMenu = window.findChild<QMenu*>(QStringLiteral("bandMenu"));
    ASSERT_TRUE(bandMenu->actions().contains(Action("showPhaseAction")));
    Action("showPhaseAction")->trigger();
    EXPECT_TRUE(window.Session().View().Flags()[ShowFlag::Phase]);
    EXPECT_NE(Pane("totalPane"), totalBefore);
    EXPECT_NE(Pane("bandPane"), bandBefore);

    const QImage total = Pane("totalPane");
    const QImage band = Pane("bandPane");
    Action("showIndividualAction")->trigger();
    EXPECT_TRUE(window.Session().View().Flags()[ShowFlag::Individual]);
    EXPECT_NE(Pane("totalPane"), total) << "each band's curve joins the total pane";
    EXPECT_EQ(Pane("bandPane"), band) << "the band pane draws no other band";
}

TEST_F(MainWindowMenus, AZoomedWindowOpensOnceAndFollowsEveryRedraw) {
    window.Start(ThreeWay());
    CZoomedWindow* first = window.OpenZoomed(ZoomedView::BandPir);
    CZoomedWindow* second = window.OpenZoomed(ZoomedView::BandPir);
    EXPECT_EQ(first, second);
    EXPECT_EQ(first->windowTitle(), QStringLiteral("Kestrelvane - Band Response [PIR]"));
    EXPECT_EQ(window.findChildren<CZoomedWindow*>().size(), 1);
    const QImage before = first->grab().toImage();
    window.Session().Document().Design().bands[0].SetGain(-6.0);
    window.Session().LiveChange();
    EXPECT_NE(first->grab().toImage(), before);
}

// A sub-sonic equaliser of high Q is where the unit's rounded coefficients
// part from the design; a shelf the chip cannot hold is refused.
TEST_F(MainWindowMenus, TheHardwareCurveAndTheCheckFollowEveryChange) {
    window.Start(ThreeWay());
    window.resize(1200, 880);
    window.show();
    QApplication::processEvents();
    auto* status = window.findChild<QLabel*>(QStringLiteral("hardwareStatus"));
    ASSERT_NE(status, nullptr);
    EXPECT_EQ(status->text(), QStringLiteral("The HMQ27 can run this design."));
    EXPECT_FALSE(Action("showHardwareAction")->isChecked()) << "off on a first start";
    auto* bandMenu = window.findChild<QMenu*>(QStringLiteral("bandMenu"));
    EXPECT_TRUE(bandMenu->actions().contains(Action("showHardwareAction")));

    CBand& band = window.Session().Document().Design().bands[0];
    ASSERT_TRUE(band.SetPeq(0, 12.0, 5.0, 20.0, true));
    window.Session().LiveChange();
    const QImage without = Pane("bandPane");
    Action("showHardwareAction")->trigger();
    EXPECT_TRUE(window.Session().View().Flags()[ShowFlag::Hardware]);
    EXPECT_NE(Pane("bandPane"), without);

    auto* schematic = window.findChild<SchematicPane*>(QStringLiteral("schematicPane"));
    const QRect shelf = window.BlockSchematic()
                            .Rows(schematic->rect())[0]
                            .blocks[static_cast<std::size_t>(BlockKind::HighShelf)];
    const QColor before = schematic->grab().toImage().pixelColor(shelf.center());
    ASSERT_TRUE(band.SetHighShelf(20.0, 20.0, true));
    window.Session().LiveChange();
    QApplication::processEvents();
    const QColor marked = schematic->grab().toImage().pixelColor(shelf.center());
    EXPECT_GT(marked.red() - marked.blue(), before.red() - before.blue() + 40)
        << "the refused block turns red";
    EXPECT_EQ(status->text(), QStringLiteral("The 20 Hz high shelf of Output 1 is too extreme for "
                                             "the unit at 96 kHz: lower its gain or Q, or move its "
                                             "frequency."))
        << "the status leads with what to change";
    EXPECT_TRUE(status->toolTip().contains(QStringLiteral("5.23 format")))
        << "the exact reason is kept for whoever wants it";
}

// The target level is stored in the project file, so a change kept with OK
// is a change to save.
TEST_F(MainWindowMenus, ATargetLevelKeptWithOkMakesTheDesignUnsaved) {
    window.Start(ThreeWay());
    ASSERT_TRUE(window.Session().Document().Saved());
    QTimer::singleShot(0, [] {
        QWidget* dialog = QApplication::activeModalWidget();
        ASSERT_NE(dialog, nullptr);
        auto* edit =
            dialog->findChild<QWidget*>(QStringLiteral("levelField"))->findChild<QLineEdit*>();
        edit->selectAll();
        QTest::keyClicks(edit, QStringLiteral("85"));
        QTest::keyClick(edit, Qt::Key_Return);
        QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("okButton")),
                          Qt::LeftButton);
    });
    Action("targetLevelsAction")->trigger();
    EXPECT_EQ(window.Session().Document().Design().targetLevel, 85.0);
    EXPECT_FALSE(window.Session().Document().Saved());
}

// Esc on the open port list closes the list, not the program; the floating
// windows close on Esc as dialogs do.
TEST_F(MainWindowMenus, EscClosesWhatIsOnTopAndOnlyThen) {
    window.Start(ThreeWay());
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    auto* ports = window.findChild<QComboBox*>(QStringLiteral("portCombo"));
    ports->setFocus();
    ports->showPopup();
    QWidget* list = ports->view()->window();
    ASSERT_TRUE(QTest::qWaitFor([list] { return list->isVisible(); }));
    QTest::keyClick(ports->view(), Qt::Key_Escape);
    EXPECT_TRUE(QTest::qWaitFor([list] { return !list->isVisible(); }));
    EXPECT_TRUE(window.isVisible()) << "Esc on the list quit the program";

    for (const ZoomedView view : {ZoomedView::BandResponse, ZoomedView::TotalPir}) {
        CZoomedWindow* zoomed = window.OpenZoomed(view);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(zoomed));
        QTest::keyClick(zoomed, Qt::Key_Escape);
        EXPECT_TRUE(QTest::qWaitFor([&window = window] {
            return window.findChildren<CZoomedWindow*>().isEmpty();
        })) << "Esc left a zoomed window open";
    }
    EXPECT_TRUE(window.isVisible());

    // Nothing took it: Esc on the window itself quits.
    QTest::keyClick(&window, Qt::Key_Escape);
    EXPECT_FALSE(window.isVisible());
}

TEST_F(MainWindowMenus, SaveAsHasTheKeyTheManualGives) {
    QAction* saveAs = nullptr;
    for (QAction* action : window.findChildren<QAction*>()) {
        if (action->text() == QStringLiteral("Save &As...")) {
            saveAs = action;
        }
    }
    ASSERT_NE(saveAs, nullptr);
    EXPECT_EQ(saveAs->shortcut(), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));
}

// Align from the band pane's menu: the band shown with its neighbour, one
// step of undo.
TEST_F(MainWindowMenus, AlignFromTheBandMenuIsOneStepOfUndo) {
    window.Start(std::filesystem::path(KV_SOURCE_DIR) / "examples/two-way.ksv");
    const CConfiguration& design = window.Session().Document().Design();
    const double delay = design.bands[0].delay;
    Alignment found;
    ASSERT_EQ(FindAlignment(design, 1, 0, found), AlignOutcome::Aligned);
    ASSERT_NE(found.delay, delay);
    QTimer::singleShot(0, [] {
        QWidget* dialog = QApplication::activeModalWidget();
        ASSERT_NE(dialog, nullptr);
        QTest::mouseClick(dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok),
                          Qt::LeftButton);
    });
    Action("alignAction")->trigger();
    EXPECT_EQ(design.bands[0].delay, found.delay);
    EXPECT_EQ(design.bands[0].reversedPhase, found.reversedPhase);
    EXPECT_EQ(window.Session().History().Undo().UndoDescription(), "Align");
    window.Session().Undo();
    EXPECT_EQ(design.bands[0].delay, delay);
}

} // namespace
} // namespace kv
