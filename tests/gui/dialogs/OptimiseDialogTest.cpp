#include "app/CKestrelvaneDlg.h"
#include "controls/VIntSpinButton.h"
#include "dialogs/CEqDlg.h"
#include "dialogs/COptimiseDlg.h"
#include "gui/session/SessionTestSupport.h"
#include "hardware/HardwareCheck.h"
#include "model/CConfiguration.h"
#include "model/MainGrid.h"
#include "support/ModelledDrivers.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace kv {
namespace {

// The fit of the modelled band takes a fraction of a second; this is for a
// loaded machine.
constexpr int kFitWaitMs = 20000;

void Click(QWidget& dialog, const char* name) {
    auto* button = dialog.findChild<QAbstractButton*>(QString::fromLatin1(name));
    ASSERT_NE(button, nullptr) << name;
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(6, button->height() / 2));
}

// The optimiser's dialog once it is open over whatever opened it.
COptimiseDlg* OpenOptimiser() {
    return qobject_cast<COptimiseDlg*>(QApplication::activeModalWidget());
}

// Starts a fit with the band's gain and waits for its result.
void RunFit(COptimiseDlg& dialog) {
    QSignalSpy ended(&dialog, &COptimiseDlg::fitEnded);
    Click(dialog, "gainCheck");
    Click(dialog, "startButton");
    EXPECT_TRUE(dialog.Busy());
    ASSERT_TRUE(ended.wait(kFitWaitMs));
    EXPECT_FALSE(dialog.Busy());
}

class OptimiseDialog : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(CreateMainGrid(grid));
        ASSERT_TRUE(test::BuildWooferBand(design, dir / "woofer.txt"));
        design.Recalculate(&grid, kMainPirLength);
    }

    CBand& band() { return design.bands[0]; }

    test::TempDir dir;
    VFreqVec grid;
    CConfiguration design;
    test::RecordingMessageBox messages;
    test::ScriptedFileChooser files;
    int recalculations = 0;
    std::function<void()> changed = [this] {
        ++recalculations;
        design.Recalculate(&grid, kMainPirLength);
    };
};

// The first of the user's two equalisers is kept.
TEST_F(OptimiseDialog, KeptEqualisersAndTheBudgetHoldAndTheEqualiserDialogsCancelUndoesTheFit) {
    ASSERT_TRUE(test::LeaveFourBiquads(band(), 0, 1));
    design.Recalculate(&grid, kMainPirLength);
    const BandSettings original = band().Settings();

    CEqDlg eq(design, 0, messages, files, changed);
    eq.show();
    auto* keepOff = eq.findChild<QCheckBox*>(QStringLiteral("keepCheck3"));
    EXPECT_FALSE(keepOff->isEnabled()) << "an equaliser that is off cannot be kept";
    Click(eq, "keepCheck1");
    bool ran = false;
    QTimer::singleShot(0, [&] {
        COptimiseDlg* dialog = OpenOptimiser();
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->findChild<VIntSpinButton*>(QStringLiteral("equalisersField"))->Value(), 5)
            << "the four free biquads and the equaliser not kept";
        const int before = recalculations;
        RunFit(*dialog);
        EXPECT_FALSE(band().Settings() == original) << "the fit is in the band before OK";
        EXPECT_GT(recalculations, before) << "and in the panes";
        EXPECT_TRUE(dialog->findChild<QLabel*>(QStringLiteral("deviationLabel"))
                        ->text()
                        .contains(QStringLiteral("equalisers set")));
        ran = true;
        Click(*dialog, "okButton");
    });
    Click(eq, "optimiseButton");
    ASSERT_TRUE(ran);
    EXPECT_EQ(band().peq[0], original.peq[0]) << "kept";
    EXPECT_GE(band().FreeBiquads(), 0);
    EXPECT_TRUE(BandPassesHardwareCheck(band()));
    EXPECT_EQ(eq.findChild<QWidget*>(QStringLiteral("peqGainField2"))
                  ->findChild<QLineEdit*>()
                  ->text()
                  .toDouble(),
              std::round(band().peq[1].gain * 100.0) / 100.0)
        << "the equaliser dialog shows the fit";
    eq.reject();
    EXPECT_TRUE(band().Settings() == original);
}

TEST_F(OptimiseDialog, OkIsOneStepOfUndoAndCancelEvenWhileItRunsPutsTheBandBack) {
    ASSERT_TRUE(design.Save(dir / "two-way.ksv", messages));
    test::MemorySettings settings;
    CKestrelvaneDlg window{settings};
    window.Session().History().SetRecoveryFolder(dir / "data");
    window.Start(dir / "two-way.ksv");
    CConfiguration& shown = window.Session().Document().Design();
    const BandSettings original = shown.bands[0].Settings();
    auto* optimise = window.findChild<QAction*>(QStringLiteral("optimiseAction"));
    ASSERT_NE(optimise, nullptr);

    QTimer::singleShot(0, [] {
        COptimiseDlg* dialog = OpenOptimiser();
        ASSERT_NE(dialog, nullptr);
        Click(*dialog, "startButton");
        Click(*dialog, "cancelButton");
    });
    optimise->trigger();
    EXPECT_TRUE(shown.bands[0].Settings() == original);
    EXPECT_FALSE(window.Session().History().Undo().CanUndo());

    QTimer::singleShot(0, [] {
        COptimiseDlg* dialog = OpenOptimiser();
        ASSERT_NE(dialog, nullptr);
        RunFit(*dialog);
        Click(*dialog, "okButton");
    });
    optimise->trigger();
    const BandSettings fitted = shown.bands[0].Settings();
    EXPECT_FALSE(fitted == original);
    EXPECT_FALSE(window.Session().Document().Saved());
    ASSERT_TRUE(window.Session().History().Undo().CanUndo());
    EXPECT_EQ(window.Session().History().Undo().UndoDescription(), "Optimise Output 1 (HF)");
    window.Session().Undo();
    EXPECT_TRUE(shown.bands[0].Settings() == original);
    EXPECT_FALSE(window.Session().History().Undo().CanUndo()) << "one step";
    window.Session().Redo();
    EXPECT_TRUE(shown.bands[0].Settings() == fitted);
}

// Why a fit cannot start may take several lines: the dialog grows to show
// it whole.
TEST_F(OptimiseDialog, AReasonNotToStartIsShownWhole) {
    ASSERT_TRUE(design.SetTargetLevel(design.targetLevel - 40.0));
    design.Recalculate(&grid, kMainPirLength);
    COptimiseDlg dialog(design, 0, {}, changed);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    QSignalSpy ended(&dialog, &COptimiseDlg::fitEnded);
    Click(dialog, "startButton");
    ASSERT_TRUE(ended.wait(kFitWaitMs));
    QApplication::processEvents();
    auto* said = dialog.findChild<QLabel*>(QStringLiteral("deviationLabel"));
    ASSERT_NE(said, nullptr);
    EXPECT_NE(said->text().indexOf(QStringLiteral("or let the optimiser change the band's gain")),
              -1);
    EXPECT_GE(said->height(), said->heightForWidth(said->width())) << "no line cut off";
    EXPECT_EQ(recalculations, 0);
}

} // namespace
} // namespace kv
