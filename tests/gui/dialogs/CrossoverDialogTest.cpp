#include "controls/VFloatSpinButton.h"
#include "controls/VIntSpinButton.h"
#include "dialogs/CHpFilterDlg.h"
#include "dialogs/CLpFilterDlg.h"
#include "dialogs/CrossoverSlotEditor.h"
#include "model/CConfiguration.h"
#include "support/TestSupport.h"

#include <QComboBox>
#include <QLineEdit>
#include <QTest>
#include <gtest/gtest.h>

namespace kv {
namespace {

constexpr const char* kNotEnoughBiquads =
    "There are not enough available biquads ! \n\nTry turning off any unused filters...";

TEST(OrderSnapping, LinkwitzRileyWalksTwoFourEightAndBesselStartsAtTwo) {
    using T = CrossoverType;
    EXPECT_EQ(SnapOrderOnField(T::LinkwitzRiley, 3, 2), 4);
    EXPECT_EQ(SnapOrderOnField(T::LinkwitzRiley, 5, 4), 8);
    EXPECT_EQ(SnapOrderOnField(T::LinkwitzRiley, 7, 8), 4);
    EXPECT_EQ(SnapOrderOnField(T::LinkwitzRiley, 3, 4), 2);
    EXPECT_EQ(SnapOrderOnField(T::LinkwitzRiley, 6, 4), 8);
    EXPECT_EQ(SnapOrderOnField(T::LinkwitzRiley, 6, 8), 4);
    EXPECT_EQ(SnapOrderOnField(T::LinkwitzRiley, 1, 2), 2);
    EXPECT_EQ(SnapOrderOnField(T::Bessel, 1, 2), 2);
    EXPECT_EQ(SnapOrderOnField(T::Butterworth, 1, 2), 1);
    EXPECT_EQ(SnapOrderOnTypeChange(T::LinkwitzRiley, 3), 4);
    EXPECT_EQ(SnapOrderOnTypeChange(T::LinkwitzRiley, 7), 8);
    EXPECT_EQ(SnapOrderOnTypeChange(T::LinkwitzRiley, 1), 2);
    EXPECT_EQ(SnapOrderOnTypeChange(T::Bessel, 1), 2);
    EXPECT_EQ(SnapOrderOnTypeChange(T::Butterworth, 5), 5);
    const auto custom3 = TuningFieldsEnabled(T::Custom, 3);
    EXPECT_EQ(std::count(custom3.begin(), custom3.end(), true), 3);
    EXPECT_FALSE(TuningFieldsEnabled(T::Butterworth, 8)[0]);
}

class CrossoverEditing : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(design.New(2, kDesignSampleRate)); }

    CrossoverSlotEditor Editor(CrossoverSide side = CrossoverSide::HighPass, int slot = 0) {
        return CrossoverSlotEditor(band(), side, slot, messages, [this] { ++changes; });
    }
    CBand& band() { return design.bands[0]; }

    CConfiguration design;
    test::RecordingMessageBox messages;
    int changes = 0;
};

TEST_F(CrossoverEditing, TheOrderFieldWalksALinkwitzRileyFilterTwoFourEightAndBack) {
    CrossoverSlotEditor editor = Editor();
    CrossoverView view = editor.InitialView();
    std::vector<int> walked;
    for (const int step : {1, 1, -1, -1}) {
        view.filterOrder += step;
        editor.ApplySettings(view);
        walked.push_back(band().hpFilter[0].order);
        EXPECT_EQ(view.filterOrder, walked.back());
    }
    EXPECT_EQ(walked, (std::vector<int>{4, 8, 4, 2}));
    EXPECT_EQ(band().hpFilter[0].q[1], 0.0) << "order 2 has one section";
    EXPECT_EQ(changes, 4);
}

TEST_F(CrossoverEditing, TypeChangesSnapTheStoredOrderAndCustomStoresNothingYet) {
    CrossoverSlotEditor editor = Editor(CrossoverSide::LowPass, 1);
    CrossoverView view = editor.InitialView();
    view.filterType = CrossoverType::Butterworth;
    editor.FilterTypeChanged(view);
    view.filterOrder = 3;
    editor.ApplySettings(view);
    ASSERT_EQ(band().lpFilter[1].order, 3);
    view.filterType = CrossoverType::LinkwitzRiley;
    editor.FilterTypeChanged(view);
    EXPECT_EQ(band().lpFilter[1].order, 4);
    EXPECT_EQ(view.filterOrder, 4);

    view.filterType = CrossoverType::Custom;
    const CrossoverSettings before = band().lpFilter[1];
    editor.FilterTypeChanged(view);
    EXPECT_EQ(band().lpFilter[1], before) << "Custom... alone stores nothing";
    view.ratios = {1.5, 0.8, 1, 1};
    view.qs = {0.6, 1.2, 1, 1};
    editor.ApplySettings(view);
    EXPECT_EQ(band().lpFilter[1].type, CrossoverType::Custom);
    EXPECT_EQ(band().lpFilter[1].freqOfs[1], 0.8);
    EXPECT_EQ(band().lpFilter[1].q[0], 0.6);
}

// Older files may hold a Linkwitz-Riley order the table has no record for;
// a field change that keeps it must not store a filter of no sections.
TEST_F(CrossoverEditing, AStoredLinkwitzRileyOrderWithoutARecordIsSnapped) {
    band().hpFilter[0].order = 5;
    CrossoverSlotEditor editor = Editor();
    CrossoverView view = editor.InitialView();
    view.filterFreq = 1200.0;
    editor.ApplySettings(view);
    EXPECT_EQ(band().hpFilter[0].order, 8);
    EXPECT_EQ(band().hpFilter[0].freqOfs[3], 1.0);
    EXPECT_GT(band().hpFilter[0].q[3], 0.0);
}

TEST_F(CrossoverEditing, ARefusedOrderShowsTheMessageAndTheStoredFilterAgain) {
    CrossoverSlotEditor editor = Editor();
    CrossoverView view = editor.InitialView();
    editor.EnabledClicked(view);
    ASSERT_TRUE(band().hpEnabled[0]);
    for (int k = 0; k < kEqualisers; ++k) {
        ASSERT_TRUE(band().SetPeq(k, 1.0, 1000.0, 1.0, true));
    }
    ASSERT_TRUE(band().SetNotch(0, 1000.0, 4.0, true));
    ASSERT_EQ(band().FreeBiquads(), 0);
    view.filterOrder = 3;
    editor.ApplySettings(view);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, kNotEnoughBiquads);
    EXPECT_EQ(view.filterOrder, 2);
    EXPECT_EQ(band().hpFilter[0].order, 2);
}

// A slot stored while off may no longer fit the band; Cancel must still put
// it back, whatever happened in the dialog.
TEST_F(CrossoverEditing, CancelPutsBackExactlyWhatTheSlotHeld) {
    CrossoverSettings eighth = band().hpFilter[0];
    eighth.order = 8;
    eighth.type = CrossoverType::LinkwitzRiley;
    ASSERT_TRUE(band().SetHighPass(0, eighth));
    for (int k = 0; k < 13; ++k) {
        ASSERT_TRUE(band().SetPeq(k, 1.0, 1000.0, 1.0, true));
    }
    const CrossoverSlot opened{band().hpTarget[0], band().hpFilter[0], false};
    CrossoverSlotEditor editor = Editor();
    CrossoverView view = editor.InitialView();
    view.filterOrder = 7;
    editor.ApplySettings(view);
    ASSERT_EQ(band().hpFilter[0].order, 4);
    view.filterOrder = 3;
    editor.ApplySettings(view);
    editor.EnabledClicked(view);
    view.targetOrder = 3;
    view.targetType = CrossoverType::Bessel;
    editor.TargetTypeChanged(view);
    ASSERT_TRUE(band().hpEnabled[0]);
    editor.Cancel();
    EXPECT_EQ(band().hpFilter[0], opened.filter);
    EXPECT_EQ(band().hpTarget[0], opened.target);
    EXPECT_FALSE(band().hpEnabled[0]);
    EXPECT_TRUE(band().modified);
}

class CrossoverDialog : public CrossoverEditing {
protected:
    template <typename Field> Field* Find(QWidget& dialog, const char* name) {
        auto* field = dialog.findChild<Field*>(QString::fromLatin1(name));
        EXPECT_NE(field, nullptr) << name;
        return field;
    }
};

TEST_F(CrossoverDialog, AButterworthThirdOrderShowsItsClampedZerosAndTheSlotInTheTitle) {
    CrossoverSettings third = band().lpFilter[1];
    third.type = CrossoverType::Butterworth;
    third.order = 3;
    third.freqOfs = {1, 1, 0, 0};
    third.q = {1, 0, 0, 0};
    ASSERT_TRUE(band().SetLowPass(1, third));
    CLpFilterDlg dialog(band(), 1, messages, [] {});
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Low-pass Filter[2]"));
    const auto text = [&](const char* name) {
        return Find<QWidget>(dialog, name)->findChild<QLineEdit*>()->text();
    };
    EXPECT_EQ(text("ratioField1"), QStringLiteral("1.0000"));
    EXPECT_EQ(text("qField2"), QStringLiteral("0.0010"));
    EXPECT_EQ(text("ratioField3"), QStringLiteral("1.0000"));
    EXPECT_EQ(text("qField4"), QStringLiteral("0.0010"));
    EXPECT_FALSE(Find<QWidget>(dialog, "qField1")->findChild<QLineEdit*>()->isEnabled());
    EXPECT_EQ(Find<QComboBox>(dialog, "filterTypeCombo")->currentText(),
              QStringLiteral("Butterworth"));
    EXPECT_EQ(Find<QComboBox>(dialog, "targetTypeCombo")->count(), 3);
}

// The field still holding the focus when Esc hides the dialog must not
// apply its value again after the restore.
TEST_F(CrossoverDialog, TheUpArrowKeyStepsTheOrderLiveAndEscRestoresFromTheFocusedField) {
    int recalculations = 0;
    CHpFilterDlg dialog(band(), 0, messages, [&] { ++recalculations; });
    dialog.show();
    dialog.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    auto* order = Find<VIntSpinButton>(dialog, "filterOrderField");
    order->findChild<QLineEdit*>()->setFocus();
    QTest::keyClick(order->findChild<QLineEdit*>(), Qt::Key_Up);
    EXPECT_EQ(band().hpFilter[0].order, 4);
    EXPECT_EQ(order->Value(), 4);
    EXPECT_EQ(recalculations, 1);
    QTest::keyClick(order->findChild<QLineEdit*>(), Qt::Key_Escape);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(band().hpFilter[0].order, 2);
}

TEST_F(CrossoverDialog, TheLowPassRowsOfTheTableGiveBesselSectionsAboveTheFrequency) {
    CLpFilterDlg dialog(band(), 0, messages, [] {});
    auto* type = Find<QComboBox>(dialog, "filterTypeCombo");
    type->setCurrentIndex(type->findText(QStringLiteral("Bessel")));
    emit type->activated(type->currentIndex());
    EXPECT_EQ(band().lpFilter[0].type, CrossoverType::Bessel);
    EXPECT_GT(band().lpFilter[0].freqOfs[0], 1.0);
    EXPECT_EQ(Find<VFloatSpinButton>(dialog, "ratioField1")->Value(), 1.2736);
}

} // namespace
} // namespace kv
