#include "controls/VFloatSpinButton.h"
#include "dialogs/CAllPassDlg.h"
#include "dialogs/CBassNTrebleDlg.h"
#include "dialogs/CDelayDlg.h"
#include "dialogs/CEqDlg.h"
#include "dialogs/CGainDlg.h"
#include "dialogs/CNotchDlg.h"
#include "dialogs/FilterItemsEditor.h"
#include "model/CConfiguration.h"
#include "support/TestSupport.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QTest>
#include <gtest/gtest.h>

namespace kv {
namespace {

constexpr const char* kNoBiquadsLeft =
    "There are no available biquads left ! \n\nTry turning off any unused filters...";

class BandDialogs : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(design.New(3, kDesignSampleRate)); }

    CBand& band() { return design.bands[0]; }

    // Every biquad in use: fourteen equalisers and two notches.
    void FillTheBand() {
        for (int k = 0; k < kEqualisers; ++k) {
            ASSERT_TRUE(band().SetPeq(k, 1.0, 100.0 * (k + 1), 1.0, true));
        }
        ASSERT_TRUE(band().SetNotch(0, 500.0, 4.0, true));
        ASSERT_TRUE(band().SetNotch(1, 900.0, 4.0, true));
        ASSERT_EQ(band().FreeBiquads(), 0);
    }

    // Types text into a dialog's field and presses Enter.
    static void Type(QWidget& dialog, const char* field, const QString& text) {
        auto* edit =
            dialog.findChild<QWidget*>(QString::fromLatin1(field))->findChild<QLineEdit*>();
        edit->selectAll();
        QTest::keyClicks(edit, text);
        QTest::keyClick(edit, Qt::Key_Return);
    }

    static QString Shown(QWidget& dialog, const char* field) {
        return dialog.findChild<QWidget*>(QString::fromLatin1(field))
            ->findChild<QLineEdit*>()
            ->text();
    }

    CConfiguration design;
    test::RecordingMessageBox messages;
    int recalculations = 0;
    std::function<void()> changed = [this] { ++recalculations; };
};

TEST_F(BandDialogs, TheEqualisersAreSortedOnOpeningAndCancelKeepsTheOrder) {
    ASSERT_TRUE(band().SetPeq(0, 2.0, 2000.0, 1.0, true));
    ASSERT_TRUE(band().SetPeq(1, 5.0, 100.0, 1.0, false));
    ASSERT_TRUE(band().SetPeq(2, 1.0, 500.0, 1.0, true));
    ASSERT_TRUE(band().SetPeq(3, -3.0, 2000.0, 2.0, true));
    ASSERT_TRUE(band().SetPeq(4, -3.0, 2000.0, 4.0, true));
    {
        CEqDlg dialog(band(), messages, changed);
        EXPECT_EQ(band().peq[0].freq, 500.0);
        EXPECT_EQ(band().peq[1].gain, 2.0) << "equal frequencies: larger gain first";
        EXPECT_EQ(band().peq[2].q, 4.0) << "then larger Q";
        EXPECT_EQ(band().peq[3].q, 2.0);
        EXPECT_EQ(band().peq[4].freq, 100.0) << "disabled ones after the enabled";
        EXPECT_FALSE(band().peq[4].enabled);
        Type(dialog, "peqGainField1", QStringLiteral("-6"));
        EXPECT_EQ(band().peq[0].gain, -6.0);
        dialog.reject();
    }
    EXPECT_EQ(band().peq[0].freq, 500.0);
    EXPECT_EQ(band().peq[0].gain, 1.0);
    EXPECT_EQ(band().peq[4].freq, 100.0);
}

TEST_F(BandDialogs, NotchesInAFullBandSwitchOffAlwaysAndOnOnlyWhenABiquadIsFree) {
    FillTheBand();
    FilterItemsEditor notches(band(), FilterItems::Notches, messages, changed);
    EXPECT_FALSE(notches.ToggleEnabled(2));
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, kNoBiquadsLeft);
    EXPECT_FALSE(band().notch[2].enabled);
    EXPECT_TRUE(notches.ToggleEnabled(0));
    EXPECT_TRUE(notches.ToggleEnabled(2));
    EXPECT_FALSE(notches.ToggleEnabled(0)) << "notch 3 took the freed biquad";
    EXPECT_FALSE(band().notch[0].enabled);
    EXPECT_TRUE(band().notch[2].enabled);

    // Putting notch 1 back before switching notch 3 off would be refused.
    notches.Cancel();
    EXPECT_TRUE(band().notch[0].enabled);
    EXPECT_TRUE(band().notch[1].enabled);
    EXPECT_FALSE(band().notch[2].enabled);
}

TEST_F(BandDialogs, AValueTheBandRefusesShowsWhatTheBandHolds) {
    ASSERT_TRUE(band().SetAllPass(800.0, 1.0, true));
    CAllPassDlg dialog(band(), messages, changed);
    dialog.show();
    Type(dialog, "freqField", QStringLiteral("0.5"));
    EXPECT_EQ(band().allPass.freq, 800.0);
    EXPECT_EQ(Shown(dialog, "freqField"), QStringLiteral("800.0"));
    Type(dialog, "qField", QStringLiteral("2,5"));
    EXPECT_EQ(band().allPass.q, 2.5);
    EXPECT_GT(recalculations, 0);
}

TEST_F(BandDialogs, BassAndTrebleListTheirCornersAndKeepTheChipsHalfDecibelSteps) {
    CBassNTrebleDlg dialog(band(), changed);
    dialog.show();
    auto* bass = dialog.findChild<QComboBox*>(QStringLiteral("bassCornerCombo"));
    auto* treble = dialog.findChild<QComboBox*>(QStringLiteral("trebleCornerCombo"));
    ASSERT_EQ(bass->count(), 5);
    EXPECT_EQ(bass->itemText(0), QStringLiteral("1500 Hz"));
    EXPECT_EQ(bass->itemText(4), QStringLiteral("250 Hz"));
    EXPECT_EQ(treble->itemText(0), QStringLiteral("36000 Hz"));
    EXPECT_EQ(treble->currentText(), QStringLiteral("6000 Hz"));
    Type(dialog, "bassField", QStringLiteral("3.3"));
    EXPECT_EQ(band().bassGain, 3.5);
    EXPECT_EQ(Shown(dialog, "bassField"), QStringLiteral("3.5"));
    bass->setCurrentIndex(1);
    emit bass->activated(1);
    EXPECT_EQ(band().bassCorner, 2);
    dialog.reject();
    EXPECT_EQ(band().bassGain, 0.0);
    EXPECT_EQ(band().bassCorner, 5);
}

TEST_F(BandDialogs, TheDelayStepsOneSampleWithinWhatTheOtherBandsLeave) {
    ASSERT_TRUE(design.bands[1].SetDelay(0.01));
    CDelayDlg dialog(band(), changed);
    dialog.show();
    auto* delay = dialog.findChild<VFloatSpinButton*>(QStringLiteral("delayField"));
    QTest::keyClick(delay->findChild<QLineEdit*>(), Qt::Key_Up);
    EXPECT_EQ(std::lround(band().delay * 96000.0), 1);
    EXPECT_EQ(Shown(dialog, "delayField"), QStringLiteral("0.010"));
    Type(dialog, "delayField", QStringLiteral("30"));
    EXPECT_NEAR(band().delay, (2045.0 - 960.0) / 96000.0, 1e-12);
}

TEST_F(BandDialogs, RoutingOnlyRedrawsAndTheGainTakesTheMuteLevel) {
    int redraws = 0;
    CGainDlg dialog(band(), changed, [&] { ++redraws; });
    dialog.show();
    QTest::mouseClick(dialog.findChild<QRadioButton*>(QStringLiteral("inputBothRadio")),
                      Qt::LeftButton);
    EXPECT_EQ(band().input, 2);
    EXPECT_EQ(redraws, 1);
    EXPECT_EQ(recalculations, 0);
    Type(dialog, "gainField", QStringLiteral("-122.0"));
    EXPECT_EQ(band().gain, -122.0);
    QTest::mouseClick(dialog.findChild<QCheckBox*>(QStringLiteral("reversedCheck")),
                      Qt::LeftButton);
    EXPECT_TRUE(band().reversedPhase);
    dialog.reject();
    EXPECT_EQ(band().input, 0);
    EXPECT_EQ(band().gain, 0.0);
    EXPECT_FALSE(band().reversedPhase);
}

TEST_F(BandDialogs, TheFieldsOfANotchTakeInputOnlyWhileItIsOn) {
    CNotchDlg dialog(band(), messages, changed);
    dialog.show();
    auto* check = dialog.findChild<QCheckBox*>(QStringLiteral("enabledCheck3"));
    auto* freq =
        dialog.findChild<QWidget*>(QStringLiteral("notchFreqField3"))->findChild<QLineEdit*>();
    EXPECT_FALSE(freq->isEnabled());
    QTest::mouseClick(check, Qt::LeftButton);
    EXPECT_TRUE(band().notch[2].enabled);
    EXPECT_TRUE(freq->isEnabled());
}

} // namespace
} // namespace kv
