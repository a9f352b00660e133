#include "dialogs/CAlignDlg.h"
#include "dialogs/CDelayDlg.h"
#include "model/CConfiguration.h"
#include "model/MainGrid.h"
#include "support/ModelledDrivers.h"
#include "support/TestSupport.h"

#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace kv {
namespace {

// A 2-way whose woofer (band 2) sits 0.2 ms behind the tweeter.
class AlignDialog : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(CreateMainGrid(grid));
        ASSERT_TRUE(test::CrossTwoWay(design, 2000.0, 4));
        ASSERT_TRUE(test::LoadDriverFile(design.bands[0], dir / "t.txt",
                                         {&test::ModelledTweeter, 90.0, 10.0, 40000.0, true}));
        ASSERT_TRUE(
            test::LoadDriverFile(design.bands[1], dir / "w.txt",
                                 {&test::ModelledWoofer, 90.0, 10.0, 40000.0, true, 0.2e-3}));
        Recalculate();
    }

    void Recalculate() { design.Recalculate(&grid, kMainPirLength); }

    static QPushButton* ApplyButton(QWidget* dialog) {
        return dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok);
    }

    test::TempDir dir;
    VFreqVec grid;
    CConfiguration design;
};

TEST_F(AlignDialog, FindsTheNeighbourAndShowsWhatAlignWouldDo) {
    CAlignDlg dialog(design, 0, nullptr);
    auto* partner = dialog.findChild<QComboBox*>(QStringLiteral("partnerCombo"));
    ASSERT_EQ(partner->count(), 1);
    EXPECT_EQ(partner->currentData().toInt(), 1);
    ASSERT_TRUE(dialog.Found());
    EXPECT_LT(dialog.Result().deviationAfterDb, dialog.Result().deviationBeforeDb);
    const QString result = dialog.findChild<QLabel*>(QStringLiteral("alignResult"))->text();
    EXPECT_TRUE(result.startsWith(QStringLiteral("Crossover: 2000 Hz\nDelay: ")))
        << result.toStdString();
    EXPECT_TRUE(ApplyButton(&dialog)->isEnabled());

    ASSERT_TRUE(design.bands[1].EnableLowPass(0, false));
    Recalculate();
    CAlignDlg none(design, 0, nullptr);
    EXPECT_FALSE(none.Found());
    EXPECT_FALSE(ApplyButton(&none)->isEnabled());
    EXPECT_TRUE(none.findChild<QLabel*>(QStringLiteral("alignResult"))
                    ->text()
                    .contains(QStringLiteral("share no crossover")));
}

// In the Delay dialog Align is one more change: Cancel takes it back.
TEST_F(AlignDialog, TheDelayDialogAppliesItAndCancelTakesItBack) {
    int changes = 0;
    CDelayDlg dialog(design, 0, [this, &changes] {
        Recalculate();
        ++changes;
    });
    Alignment found;
    ASSERT_EQ(FindAlignment(design, 1, 0, found), AlignOutcome::Aligned);
    ASSERT_NE(found.delay, 0.0);
    QTimer::singleShot(0, [] {
        QWidget* align = QApplication::activeModalWidget();
        ASSERT_NE(align, nullptr);
        QTest::mouseClick(ApplyButton(align), Qt::LeftButton);
    });
    QTest::mouseClick(dialog.findChild<QPushButton*>(QStringLiteral("alignButton")),
                      Qt::LeftButton);
    EXPECT_EQ(design.bands[0].delay, found.delay);
    EXPECT_EQ(design.bands[0].reversedPhase, found.reversedPhase);
    EXPECT_EQ(changes, 1);
    dialog.reject();
    EXPECT_EQ(design.bands[0].delay, 0.0);
}

} // namespace
} // namespace kv
