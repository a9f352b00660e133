#include "controls/VFloatSpinButton.h"
#include "dialogs/CAllPassDlg.h"
#include "dialogs/CBassNTrebleDlg.h"
#include "dialogs/CDelayDlg.h"
#include "dialogs/CEqDlg.h"
#include "dialogs/CGainDlg.h"
#include "dialogs/CNotchDlg.h"
#include "gui/session/SessionTestSupport.h"
#include "model/CConfiguration.h"
#include "session/FilterItemsEditor.h"
#include "support/TestSupport.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <fstream>
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
    test::ScriptedFileChooser files;
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
        CEqDlg dialog(design, 0, messages, files, changed);
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

TEST_F(BandDialogs, SortingKeepsAnEqualiserOutsideTheRangesAndAnOrderedBandUnchanged) {
    ASSERT_TRUE(band().SetPeq(0, 3.0, 100.0, 1.0, true));
    band().peq[1] = PeqSettings{22.0, 50.0, 1.0, true};
    band().modified = false;
    SortPeqs(band());
    EXPECT_EQ(band().peq[0], (PeqSettings{22.0, 50.0, 1.0, true})) << "as an older file held it";
    EXPECT_TRUE(band().modified);
    band().modified = false;
    SortPeqs(band());
    EXPECT_FALSE(band().modified) << "nothing moved";
}

TEST_F(BandDialogs, AnEqualiserOutsideTheRangesSwitchesOffButNotOnWithoutAWord) {
    band().peq[2] = PeqSettings{22.0, 50.0, 1.0, true};
    FilterItemsEditor editor(band(), FilterItems::Peqs, messages);
    EXPECT_TRUE(editor.ToggleEnabled(2));
    EXPECT_FALSE(band().peq[2].enabled);
    EXPECT_EQ(band().peq[2].gain, 22.0);
    EXPECT_FALSE(editor.ToggleEnabled(2));
    EXPECT_FALSE(band().peq[2].enabled);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_NE(messages.shown[0].text.find("outside the ranges"), std::string::npos);
}

TEST_F(BandDialogs, NotchesInAFullBandSwitchOffAlwaysAndOnOnlyWhenABiquadIsFree) {
    FillTheBand();
    FilterItemsEditor notches(band(), FilterItems::Notches, messages);
    EXPECT_FALSE(notches.ToggleEnabled(2));
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, kNoBiquadsLeft);
    EXPECT_FALSE(band().notch[2].enabled);
    EXPECT_TRUE(notches.ToggleEnabled(0));
    EXPECT_TRUE(notches.ToggleEnabled(2));
    EXPECT_FALSE(notches.ToggleEnabled(0)) << "notch 3 took the freed biquad";
    EXPECT_FALSE(band().notch[0].enabled);
    EXPECT_TRUE(band().notch[2].enabled);
}

// Putting notch 1 back before switching notch 3 off would be refused: Cancel
// puts the whole copy back at once.
TEST_F(BandDialogs, CancelPutsBackNotchesThatCouldNotBeSwitchedOnOneByOne) {
    FillTheBand();
    CNotchDlg dialog(design, 0, messages, changed);
    dialog.show();
    for (const char* box : {"enabledCheck1", "enabledCheck3"}) {
        auto* check = dialog.findChild<QCheckBox*>(QString::fromLatin1(box));
        QTest::mouseClick(check, Qt::LeftButton, {}, QPoint(6, check->height() / 2));
    }
    ASSERT_FALSE(band().notch[0].enabled);
    ASSERT_TRUE(band().notch[2].enabled);
    dialog.reject();
    EXPECT_TRUE(band().notch[0].enabled);
    EXPECT_TRUE(band().notch[1].enabled);
    EXPECT_FALSE(band().notch[2].enabled);
}

TEST_F(BandDialogs, AValueTheBandRefusesShowsWhatTheBandHolds) {
    ASSERT_TRUE(band().SetAllPass(800.0, 1.0, true));
    CAllPassDlg dialog(design, 0, messages, changed);
    dialog.show();
    Type(dialog, "freqField", QStringLiteral("0.5"));
    EXPECT_EQ(band().allPass.freq, 800.0);
    EXPECT_EQ(Shown(dialog, "freqField"), QStringLiteral("800.0"));
    Type(dialog, "qField", QStringLiteral("2,5"));
    EXPECT_EQ(band().allPass.q, 2.5);
    EXPECT_GT(recalculations, 0);
}

TEST_F(BandDialogs, BassAndTrebleListTheirCornersAndKeepTheChipsHalfDecibelSteps) {
    CBassNTrebleDlg dialog(design, 0, changed);
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
    ASSERT_TRUE(design.SetDelay(1, 0.01));
    CDelayDlg dialog(design, 0, changed);
    dialog.show();
    auto* delay = dialog.findChild<VFloatSpinButton*>(QStringLiteral("delayField"));
    QTest::keyClick(delay->findChild<QLineEdit*>(), Qt::Key_Up);
    EXPECT_EQ(std::lround(band().delay * 96000.0), 1);
    EXPECT_EQ(Shown(dialog, "delayField"), QStringLiteral("0.010"));
    Type(dialog, "delayField", QStringLiteral("30"));
    EXPECT_NEAR(band().delay, (2045.0 - 960.0) / 96000.0, 1e-12);
}

TEST_F(BandDialogs, RoutingIsAChangeAndTheGainTakesTheMuteLevel) {
    CGainDlg dialog(design, 0, changed);
    dialog.show();
    QTest::mouseClick(dialog.findChild<QRadioButton*>(QStringLiteral("inputBothRadio")),
                      Qt::LeftButton);
    EXPECT_EQ(band().input, InputRoute::Both);
    EXPECT_EQ(recalculations, 1) << "a change to save, though no response changes";
    Type(dialog, "gainField", QStringLiteral("-122.0"));
    EXPECT_EQ(band().gain, -122.0);
    QTest::mouseClick(dialog.findChild<QCheckBox*>(QStringLiteral("reversedCheck")),
                      Qt::LeftButton);
    EXPECT_TRUE(band().reversedPhase);
    dialog.reject();
    EXPECT_EQ(band().input, InputRoute::A);
    EXPECT_EQ(band().gain, 0.0);
    EXPECT_FALSE(band().reversedPhase);
}

TEST_F(BandDialogs, TheFieldsOfANotchTakeInputOnlyWhileItIsOn) {
    CNotchDlg dialog(design, 0, messages, changed);
    dialog.show();
    auto* check = dialog.findChild<QCheckBox*>(QStringLiteral("enabledCheck3"));
    auto* freq =
        dialog.findChild<QWidget*>(QStringLiteral("notchFreqField3"))->findChild<QLineEdit*>();
    EXPECT_FALSE(freq->isEnabled());
    // On the box itself: a wide check box takes clicks on its box and text.
    QTest::mouseClick(check, Qt::LeftButton, {}, QPoint(6, check->height() / 2));
    EXPECT_TRUE(band().notch[2].enabled);
    EXPECT_TRUE(freq->isEnabled());
}

class FilterListImport : public BandDialogs {
protected:
    // Presses "Import filters..." in an open equaliser dialog that is given
    // a filter list with the text.
    void Import(CEqDlg& dialog, const std::string& text) {
        std::ofstream(dir / "filters.txt") << text;
        files.answers = {dir / "filters.txt"};
        QTest::mouseClick(dialog.findChild<QPushButton*>(QStringLiteral("importFiltersButton")),
                          Qt::LeftButton);
    }

    test::TempDir dir;
};

TEST_F(FilterListImport, WhatFitsIsShownAtOnceAndCancelPutsEveryKindBack) {
    CEqDlg dialog(design, 0, messages, files, changed);
    dialog.show();
    Import(dialog, "Filter 1: ON PK Fc 1000 Hz Gain -4 dB Q 2\n"
                   "Filter 2: ON PK Fc 80 Hz Gain 3 dB Q 1\n"
                   "Filter 3: ON NO Fc 3000 Hz Q 8\n");
    EXPECT_TRUE(messages.asked.empty()) << "everything fits: nothing to ask";
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_EQ(band().peq[0].freq, 80.0) << "sorted as the dialog shows them";
    EXPECT_TRUE(band().notch[0].enabled);
    EXPECT_EQ(Shown(dialog, "peqGainField1"), QStringLiteral("3.00"));
    EXPECT_GT(recalculations, 0);
    dialog.reject();
    EXPECT_FALSE(band().peq[0].enabled);
    EXPECT_FALSE(band().notch[0].enabled) << "the notch came with the import";
}

TEST_F(FilterListImport, LinesThatDoNotFitAreListedAndNoImportsNothing) {
    ASSERT_TRUE(band().SetPeq(0, 1.0, 500.0, 1.0, true));
    ASSERT_TRUE(band().SetPeq(1, 1.0, 600.0, 1.0, true));
    CEqDlg dialog(design, 0, messages, files, changed);
    const std::string list = "Filter 1: ON PK Fc 1000 Hz Gain -4 dB Q 2\n"
                             "Filter 2: ON LP Fc 80 Hz\n";
    messages.answers = {IMessageBox::Answer::No};
    Import(dialog, list);
    ASSERT_EQ(messages.asked.size(), 1u);
    EXPECT_NE(messages.asked[0].text.find("line 2: a band has no filter of type \"LP\""),
              std::string::npos)
        << messages.asked[0].text;
    EXPECT_NE(messages.asked[0].text.find("Import the filter that fits?"), std::string::npos);
    EXPECT_EQ(band().peq[0].freq, 500.0);
    EXPECT_EQ(recalculations, 0);

    messages.answers = {IMessageBox::Answer::Yes};
    Import(dialog, list);
    EXPECT_EQ(band().peq[0].freq, 1000.0);
    EXPECT_FALSE(band().peq[1].enabled) << "the import replaces the equalisers";
    EXPECT_EQ(recalculations, 1);
}

// A Preamp line is no misfit: the import goes ahead and tells what the band
// does not take over. The equalisers come sorted, as the dialog shows them.
TEST_F(FilterListImport, NotesAloneAreToldAfterTheImport) {
    CEqDlg dialog(design, 0, messages, files, changed);
    Import(dialog, "Preamp: -3 dB\n"
                   "Filter 1: ON PK Fc 2000 Hz Gain -4 dB Q 2\n"
                   "Filter 2: ON PK Fc 80 Hz Gain 3 dB Q 1\n");
    EXPECT_TRUE(messages.asked.empty());
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].icon, IMessageBox::Icon::Information);
    EXPECT_NE(messages.shown[0].text.find("line 1: \"Preamp: -3 dB\" is not taken over"),
              std::string::npos)
        << messages.shown[0].text;
    EXPECT_EQ(band().peq[0].freq, 80.0);
    EXPECT_EQ(band().peq[1].freq, 2000.0);
}

// Twenty filters, as room-measurement programs often make: the question
// lists a few of the six that do not fit and counts the rest.
TEST_F(FilterListImport, ALongListOfMisfitsIsShortened) {
    std::string list;
    for (int i = 1; i <= 34; ++i) {
        list += "Filter " + std::to_string(i) + ": ON PK Fc " + std::to_string(50 * i) +
                " Hz Gain -2 dB Q 2\n";
    }
    CEqDlg dialog(design, 0, messages, files, changed);
    messages.answers = {IMessageBox::Answer::No};
    Import(dialog, list);
    ASSERT_EQ(messages.asked.size(), 1u);
    const std::string& question = messages.asked[0].text;
    EXPECT_NE(question.find("line 26: "), std::string::npos) << question;
    EXPECT_EQ(question.find("line 27: "), std::string::npos) << question;
    EXPECT_NE(question.find("... and 8 more"), std::string::npos) << question;
    EXPECT_NE(question.find("Import the 14 filters that fit?"), std::string::npos);
}

// An imported Q below the field's 0.01 stays as imported while the user
// edits another equaliser.
TEST_F(FilterListImport, AnEditLeavesTheOtherEqualisersAsTheyAre) {
    CEqDlg dialog(design, 0, messages, files, changed);
    dialog.show();
    Import(dialog, "Filter 1: ON PK Fc 100 Hz Gain -4 dB Q 0.005\n"
                   "Filter 2: ON PK Fc 900 Hz Gain 3 dB Q 1\n");
    ASSERT_EQ(band().peq[0].q, 0.005);
    Type(dialog, "peqGainField2", QStringLiteral("5"));
    EXPECT_EQ(band().peq[1].gain, 5.0);
    EXPECT_EQ(band().peq[0].q, 0.005);
}

TEST_F(FilterListImport, AFileThatIsNoFilterListChangesNothing) {
    CEqDlg dialog(design, 0, messages, files, changed);
    Import(dialog, "Frequency, SPL\n100, 85\n");
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].icon, IMessageBox::Icon::Error);
    EXPECT_EQ(recalculations, 0);
    EXPECT_EQ(files.asked.at(0).filter, "Filter lists (*.txt *.TXT);;All Files (*)");
}

} // namespace
} // namespace kv
