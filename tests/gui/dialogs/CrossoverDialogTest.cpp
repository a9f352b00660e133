#include "controls/VFloatSpinButton.h"
#include "controls/VIntSpinButton.h"
#include "dialogs/CHpFilterDlg.h"
#include "dialogs/CLpFilterDlg.h"
#include "model/CConfiguration.h"
#include "support/TestSupport.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QTest>
#include <gtest/gtest.h>

namespace kv {
namespace {

class CrossoverDialog : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(design.New(2, kDesignSampleRate)); }

    CBand& band() { return design.bands[0]; }
    template <typename Field> Field* Find(QWidget& dialog, const char* name) {
        auto* field = dialog.findChild<Field*>(QString::fromLatin1(name));
        EXPECT_NE(field, nullptr) << name;
        return field;
    }

    CConfiguration design;
    test::RecordingMessageBox messages;
};

// A slot stored while off may no longer fit the band; Cancel must still put
// it back, whatever happened in the dialog.
TEST_F(CrossoverDialog, CancelPutsBackExactlyWhatTheSlotHeld) {
    CrossoverSettings eighth = band().hpFilter[0];
    eighth.order = 8;
    eighth.type = CrossoverType::LinkwitzRiley;
    ASSERT_TRUE(band().SetHighPass(0, eighth));
    for (int k = 0; k < 13; ++k) {
        ASSERT_TRUE(band().SetPeq(k, 1.0, 1000.0, 1.0, true));
    }
    const BandSettings opened = band().Settings();
    int changes = 0;
    CHpFilterDlg dialog(design, 0, 0, messages, [&] { ++changes; });
    dialog.show();
    auto* order = Find<VIntSpinButton>(dialog, "filterOrderField");
    order->SetValue(7);
    emit order->spinChanged();
    ASSERT_EQ(band().hpFilter[0].order, 4);
    QTest::mouseClick(Find<QCheckBox>(dialog, "enabledCheck"), Qt::LeftButton, {}, QPoint(6, 6));
    ASSERT_TRUE(band().hpEnabled[0]);
    auto* target = Find<QComboBox>(dialog, "targetTypeCombo");
    target->setCurrentIndex(target->findText(QStringLiteral("Bessel")));
    emit target->activated(target->currentIndex());
    dialog.reject();
    EXPECT_TRUE(band().Settings() == opened);
    EXPECT_TRUE(band().modified);
    EXPECT_EQ(changes, 4) << "three changes and the restore";
}

TEST_F(CrossoverDialog, AButterworthThirdOrderLeavesTheFieldsOfAbsentSectionsBlank) {
    CrossoverSettings third = band().lpFilter[1];
    third.type = CrossoverType::Butterworth;
    third.order = 3;
    third.freqOfs = {1, 1, 0, 0};
    third.q = {1, 0, 0, 0};
    ASSERT_TRUE(band().SetLowPass(1, third));
    CLpFilterDlg dialog(design, 0, 1, messages, [] {});
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Low-pass Filter[2]"));
    const auto text = [&](const char* name) {
        return Find<QWidget>(dialog, name)->findChild<QLineEdit*>()->text();
    };
    EXPECT_EQ(text("ratioField1"), QStringLiteral("1.0000"));
    EXPECT_EQ(text("ratioField2"), QStringLiteral("1.0000"));
    // The first-order section has no Q, and there is no third section: a
    // greyed field shows nothing rather than a clamped 0.
    EXPECT_EQ(text("qField2"), QString());
    EXPECT_EQ(text("ratioField3"), QString());
    EXPECT_EQ(text("qField4"), QString());
    EXPECT_FALSE(Find<QWidget>(dialog, "qField1")->findChild<QLineEdit*>()->isEnabled());
    EXPECT_EQ(Find<QComboBox>(dialog, "filterTypeCombo")->currentText(),
              QStringLiteral("Butterworth"));
    EXPECT_EQ(Find<QComboBox>(dialog, "targetTypeCombo")->count(), 3);
}

// The field still holding the focus when Esc hides the dialog must not
// apply its value again after the restore.
TEST_F(CrossoverDialog, TheUpArrowKeyStepsTheOrderLiveAndEscRestoresFromTheFocusedField) {
    int recalculations = 0;
    CHpFilterDlg dialog(design, 0, 0, messages, [&] { ++recalculations; });
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
    CLpFilterDlg dialog(design, 0, 0, messages, [] {});
    auto* type = Find<QComboBox>(dialog, "filterTypeCombo");
    type->setCurrentIndex(type->findText(QStringLiteral("Bessel")));
    emit type->activated(type->currentIndex());
    EXPECT_EQ(band().lpFilter[0].type, CrossoverType::Bessel);
    EXPECT_GT(band().lpFilter[0].freqOfs[0], 1.0);
    EXPECT_EQ(Find<VFloatSpinButton>(dialog, "ratioField1")->Value(), 1.2736);
}

} // namespace
} // namespace kv
