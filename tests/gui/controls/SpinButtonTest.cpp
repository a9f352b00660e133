#include "controls/SpinAcceleration.h"
#include "controls/VFloatSpinButton.h"
#include "controls/VIntSpinButton.h"

#include <QApplication>
#include <QClipboard>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <chrono>
#include <cmath>
#include <gtest/gtest.h>
#include <limits>

namespace kv {
namespace {

using std::chrono::milliseconds;

// A dialog as the program's dialogs hold their fields: a label with a
// mnemonic for the field, another field to move the focus to, and a default
// button that Enter would press.
template <typename Spin> class SpinDialog : public ::testing::Test {
protected:
    SpinDialog() {
        auto* layout = new QVBoxLayout(&dialog);
        auto* label = new QLabel(QStringLiteral("&Gain"), &dialog);
        label->setBuddy(spin);
        layout->addWidget(label);
        layout->addWidget(spin);
        layout->addWidget(other);
        layout->addWidget(okButton);
        okButton->setDefault(true);
        QObject::connect(spin, &VSpinButtonBase::spinChanged, [this] { ++notified; });
        QObject::connect(okButton, &QPushButton::clicked, [this] { ++defaultPressed; });
        dialog.show();
        dialog.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&dialog));
    }

    QLineEdit* Edit() const { return spin->template findChild<QLineEdit*>(); }

    QToolButton* Arrow(Qt::ArrowType type) const {
        for (QToolButton* button : spin->template findChildren<QToolButton*>()) {
            if (button->arrowType() == type) {
                return button;
            }
        }
        return nullptr;
    }

    std::string Shown() const { return Edit()->text().toStdString(); }

    // Replaces the whole text as the user does: select all, then type.
    void Type(const char* text) {
        Edit()->setFocus();
        QTest::keyClick(Edit(), Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(Edit(), QString::fromLatin1(text));
    }

    void Paste(const char* text) {
        QApplication::clipboard()->setText(QString::fromLatin1(text));
        Edit()->setFocus();
        QTest::keyClick(Edit(), Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(Edit(), Qt::Key_V, Qt::ControlModifier);
    }

    void Leave() { QTest::keyClick(Edit(), Qt::Key_Tab); }

    void Wheel(int angle) {
        QWheelEvent wheel(QPointF(5, 5), spin->mapToGlobal(QPointF(5, 5)), QPoint(),
                          QPoint(0, angle), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(spin, &wheel);
    }

    QDialog dialog;
    Spin* spin = new Spin(&dialog);
    QLineEdit* other = new QLineEdit(&dialog);
    QPushButton* okButton = new QPushButton(QStringLiteral("OK"), &dialog);
    int notified = 0;
    int defaultPressed = 0;
};

// The gain-like field of the filter dialogs: 0.01 to 25 in steps of 0.01.
class FloatField : public SpinDialog<VFloatSpinButton> {
protected:
    FloatField() {
        spin->SetRange(0.01, 25.0, 0.01, 3);
        spin->SetValue(1.0);
    }
};

// A dialog squeezed onto a small or scaled screen must not cut the numbers.
TEST_F(FloatField, TheFieldStaysWideEnoughForTheEndsOfItsRange) {
    spin->SetRange(0.1, 47894.4, 0.1, 2);
    const int text = Edit()->fontMetrics().horizontalAdvance(QStringLiteral("47894.40"));
    EXPECT_GT(spin->minimumSizeHint().width(), text) << "what a layout squeezes the field to";
}

TEST_F(FloatField, TypedValuesAreClampedAndNotifiedWhenTheFieldIsLeft) {
    Type("30");
    EXPECT_EQ(notified, 0);
    Leave();
    EXPECT_EQ(Shown(), "25.000");
    EXPECT_EQ(spin->Value(), 25.0);
    EXPECT_EQ(notified, 1);
    EXPECT_TRUE(other->hasFocus());

    Type("0");
    other->setFocus();
    EXPECT_EQ(Shown(), "0.010");

    // Leaving notifies whether or not the value changed.
    Edit()->setFocus();
    other->setFocus();
    EXPECT_EQ(notified, 3);
}

TEST_F(FloatField, EnterCommitsAndSelectsWithoutPressingTheDefaultButton) {
    Type("1,5");
    QTest::keyClick(Edit(), Qt::Key_Return);
    EXPECT_EQ(Shown(), "1.500");
    EXPECT_EQ(Edit()->selectedText(), Edit()->text());
    EXPECT_EQ(notified, 1);
    QTest::keyClick(Edit(), Qt::Key_Enter);
    EXPECT_EQ(notified, 2);
    EXPECT_EQ(defaultPressed, 0);

    // Enter in an ordinary field of the same dialog does press it.
    other->setFocus();
    QTest::keyClick(other, Qt::Key_Return);
    EXPECT_EQ(defaultPressed, 1);
}

TEST_F(FloatField, TextWithoutAFiniteNumberBringsThePreviousValueBack) {
    for (const char* typed : {"-", "e", "E", ".", ",", "", "1e999", "-1e999"}) {
        Type(typed);
        Leave();
        EXPECT_EQ(Shown(), "1.000") << typed;
    }
    for (const char* pasted : {"1e999", "inf", "-INF", "nan", "infinity"}) {
        Paste(pasted);
        Leave();
        EXPECT_EQ(Shown(), "1.000") << pasted;
        EXPECT_EQ(spin->Value(), 1.0);
    }
    // Pasted text is read as typed text is.
    Paste("  2,5\t");
    Leave();
    EXPECT_EQ(Shown(), "2.500");
}

TEST_F(FloatField, OnlyOneDecimalPointAndOneExponentLetterCanBeTyped) {
    const std::pair<const char*, const char*> cases[] = {
        {"1.2.3", "1.23"}, {"1.5,", "1.5"},  {"1,5.", "1,5"},   {"2e3E", "2e3"},
        {"2E3e", "2E3"},   {"-1-2", "-1-2"}, {"1a b+x2", "12"},
    };
    for (const auto& [typed, shown] : cases) {
        Type(typed);
        EXPECT_EQ(Shown(), shown) << typed;
    }
    // A point that replaces the selection holding the old one is welcome.
    Type("2.5");
    Edit()->setSelection(1, 1);
    QTest::keyClicks(Edit(), QStringLiteral(","));
    EXPECT_EQ(Shown(), "2,5");
    // Editing keys and shortcuts reach the field.
    QTest::keyClick(Edit(), Qt::Key_Backspace);
    EXPECT_EQ(Shown(), "25");
    QTest::keyClick(Edit(), Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(Edit()->selectedText(), QStringLiteral("25"));
    // A mnemonic no control took (Alt+O without an OK of that letter) types
    // nothing over the selection.
    QTest::keyClick(Edit(), Qt::Key_O, Qt::AltModifier);
    EXPECT_EQ(Shown(), "25");
}

TEST_F(FloatField, ArrowsStepFromTheShownTextAndNotifyOnlyAChange) {
    QTest::mouseClick(Arrow(Qt::UpArrow), Qt::LeftButton);
    EXPECT_EQ(Shown(), "1.010");
    EXPECT_EQ(notified, 1);
    QTest::mouseClick(Arrow(Qt::DownArrow), Qt::LeftButton);
    EXPECT_EQ(Shown(), "1.000");

    Type("3");
    QTest::mouseClick(Arrow(Qt::UpArrow), Qt::LeftButton);
    EXPECT_EQ(Shown(), "3.010");
    EXPECT_EQ(notified, 3);

    spin->SetValue(25.0);
    QTest::mouseClick(Arrow(Qt::UpArrow), Qt::LeftButton);
    EXPECT_EQ(Shown(), "25.000");
    EXPECT_EQ(notified, 3);

    // A typed value that the step only clamps is still news to the dialog.
    spin->SetValue(10.0);
    Type("30");
    QTest::mouseClick(Arrow(Qt::UpArrow), Qt::LeftButton);
    EXPECT_EQ(Shown(), "25.000");
    EXPECT_EQ(notified, 4);
}

TEST_F(FloatField, AHeldArrowRepeatsUntilReleased) {
    QTest::mousePress(Arrow(Qt::UpArrow), Qt::LeftButton);
    EXPECT_TRUE(QTest::qWaitFor([this] { return spin->Value() > 1.025; }, 5000));
    QTest::mouseRelease(Arrow(Qt::UpArrow), Qt::LeftButton);
    const double released = spin->Value();
    QTest::qWait(350);
    EXPECT_EQ(spin->Value(), released);
    EXPECT_EQ(notified, static_cast<int>(std::lround((released - 1.0) / 0.01)));
}

TEST_F(FloatField, WheelAndKeysStepTheValue) {
    Wheel(120);
    EXPECT_EQ(Shown(), "1.010");
    Wheel(-240);
    EXPECT_EQ(Shown(), "0.990");
    Wheel(60);
    Wheel(60);
    EXPECT_EQ(Shown(), "1.000");
    EXPECT_EQ(notified, 3);

    Edit()->setFocus();
    QTest::keyClick(Edit(), Qt::Key_Up);
    EXPECT_EQ(Shown(), "1.010");
    QTest::keyClick(Edit(), Qt::Key_PageUp);
    EXPECT_EQ(Shown(), "1.110");
    QTest::keyClick(Edit(), Qt::Key_PageDown);
    QTest::keyClick(Edit(), Qt::Key_Down);
    EXPECT_EQ(Shown(), "1.000");
    EXPECT_EQ(notified, 7);

    spin->SetValue(0.0);
    QTest::keyClick(Edit(), Qt::Key_Down);
    Wheel(-120);
    EXPECT_EQ(Shown(), "0.010");
    EXPECT_EQ(notified, 7);
}

// A frequency moves by a fraction of itself, so that 30 Hz and 3 kHz take
// as many clicks per octave; Shift keeps the fine step, and near the bottom
// a step still moves by at least that.
TEST_F(FloatField, AFrequencyStepsByAFractionOfAnOctaveAndShiftStepsFinely) {
    spin->SetRange(1.0, 40000.0, 0.1, 1);
    spin->SetStepRatio(std::exp2(1.0 / 48.0));
    spin->SetValue(1000.0);
    Edit()->setFocus();
    QTest::keyClick(Edit(), Qt::Key_Up);
    EXPECT_EQ(Shown(), "1014.5");
    for (int i = 0; i < 47; ++i) {
        Wheel(120);
    }
    EXPECT_NEAR(spin->Value(), 2000.0, 1.0) << "48 steps make an octave";
    spin->SetValue(1000.0);
    QTest::keyClick(Edit(), Qt::Key_Down);
    EXPECT_EQ(Shown(), "985.7");
    QTest::keyClick(Edit(), Qt::Key_Up, Qt::ShiftModifier);
    EXPECT_EQ(Shown(), "985.8");
    spin->SetValue(2.0);
    QTest::keyClick(Edit(), Qt::Key_Down);
    EXPECT_EQ(Shown(), "1.9") << "never less than the fine step";
}

TEST_F(FloatField, SettingTheShownValueKeepsCaretAndRejectsNonFiniteValues) {
    Edit()->setCursorPosition(2);
    spin->SetValue(1.0);
    EXPECT_EQ(Edit()->cursorPosition(), 2);
    spin->SetValue(std::numeric_limits<double>::quiet_NaN());
    spin->SetValue(std::numeric_limits<double>::infinity());
    EXPECT_EQ(spin->Value(), 1.0);
    EXPECT_EQ(Shown(), "1.000");
    spin->SetValue(-3.0);
    EXPECT_EQ(Shown(), "0.010");
}

TEST(FloatFieldPrecision, NegativePrecisionFollowsTheStep) {
    const std::tuple<double, const char*> cases[] = {
        {0.1, "1.0"}, {0.05, "1.0"}, {0.01, "1.00"}, {0.0, "1.0"}, {-1.0, "1.0"}, {1000.0, "1"},
    };
    for (const auto& [step, shown] : cases) {
        VFloatSpinButton spin;
        spin.SetRange(0.0, 2000.0, step, -1);
        spin.SetValue(1.0);
        EXPECT_EQ(spin.findChild<QLineEdit*>()->text().toStdString(), shown) << step;
    }
}

TEST(FloatFieldPrecision, AStepNotAboveZeroStepsByATenth) {
    VFloatSpinButton spin;
    spin.SetRange(0.0, 2.0, 0.0, 2);
    spin.SetValue(1.0);
    QWheelEvent wheel(QPointF(), QPointF(), QPoint(), QPoint(0, 120), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(&spin, &wheel);
    EXPECT_EQ(spin.findChild<QLineEdit*>()->text(), QStringLiteral("1.10"));
}

TEST(HeldArrow, StepsGrowWithTheTimeTheArrowIsHeld) {
    const std::pair<milliseconds, int> schedule[] = {
        {milliseconds(0), 1},        {milliseconds(1999), 1},   {milliseconds(2000), 10},
        {milliseconds(4999), 10},    {milliseconds(5000), 100}, {milliseconds(8000), 1000},
        {milliseconds(60000), 1000},
    };
    for (const auto& [held, multiplier] : schedule) {
        EXPECT_EQ(SpanMultiplier(HeldArrowSpan(held)), multiplier) << held.count();
    }
    // A position jump of 20 per repeat moves a 0.01 step field by 1.00.
    EXPECT_DOUBLE_EQ(SpanMultiplier(20) * 0.01, 1.0);
    const std::pair<int, int> spans[] = {{0, 1},    {1, 1},     {2, 10},    {10, 10},
                                         {11, 100}, {100, 100}, {101, 1000}};
    for (const auto& [span, multiplier] : spans) {
        EXPECT_EQ(SpanMultiplier(span), multiplier) << span;
    }
}

// The order field of the filter dialogs: 1 to 8.
class IntField : public SpinDialog<VIntSpinButton> {
protected:
    IntField() { spin->SetRange(1, 8); }
};

TEST_F(IntField, HoldsOneBelowTheMinimumUntilTheFirstValueIsSet) {
    EXPECT_EQ(spin->Value(), 0);
    spin->SetValue(1);
    EXPECT_EQ(spin->Value(), 1);
    EXPECT_EQ(Shown(), "1");
}

TEST_F(IntField, TextOutsideTheRangeBecomesTheViolatedBound) {
    spin->SetValue(4);
    Type("12");
    Leave();
    EXPECT_EQ(Shown(), "8");
    EXPECT_EQ(notified, 1);
    Type("0");
    Leave();
    EXPECT_EQ(Shown(), "1");
    for (const auto& [pasted, shown] : {std::pair("99999999999999999999", "8"),
                                        std::pair("-99999999999", "1"), std::pair(" 5x7", "5")}) {
        Paste(pasted);
        Leave();
        EXPECT_EQ(Shown(), shown) << pasted;
    }
}

TEST_F(IntField, ReadValueReportsATypedNumberWithoutStoringIt) {
    spin->SetValue(2);
    Type("5");
    EXPECT_EQ(spin->ReadValue(), 5);
    EXPECT_EQ(spin->Value(), 2);
    // The arrows step from the stored value, not from the text.
    QTest::mouseClick(Arrow(Qt::UpArrow), Qt::LeftButton);
    EXPECT_EQ(Shown(), "3");
    EXPECT_EQ(notified, 1);
}

TEST_F(IntField, OnlyDigitsCanBeTypedAndAMinusOnlyBelowZero) {
    Type("-3a.5");
    EXPECT_EQ(Shown(), "35");
    spin->SetRange(-5, 5);
    Type("-3");
    Leave();
    EXPECT_EQ(spin->Value(), -3);
}

TEST_F(IntField, StepsStopAtTheBounds) {
    spin->SetValue(8);
    QTest::mouseClick(Arrow(Qt::UpArrow), Qt::LeftButton);
    Wheel(120);
    EXPECT_EQ(Shown(), "8");
    EXPECT_EQ(notified, 0);
    Edit()->setFocus();
    QTest::keyClick(Edit(), Qt::Key_PageDown);
    EXPECT_EQ(Shown(), "1");
    QTest::keyClick(Edit(), Qt::Key_PageUp);
    EXPECT_EQ(Shown(), "8");
    QTest::keyClick(Edit(), Qt::Key_Down);
    EXPECT_EQ(Shown(), "7");
    EXPECT_EQ(notified, 3);
}

TEST_F(IntField, IsReachedByItsLabelAndTabButNeverThroughItsArrows) {
    spin->setAccessibleName(QStringLiteral("Order"));
    EXPECT_EQ(Edit()->accessibleName(), QStringLiteral("Order"));

    other->setFocus();
    QTest::keyClick(other, Qt::Key_G, Qt::AltModifier);
    EXPECT_TRUE(Edit()->hasFocus());
    QTest::keyClick(Edit(), Qt::Key_Tab);
    EXPECT_TRUE(other->hasFocus());
    QTest::keyClick(other, Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_TRUE(Edit()->hasFocus());
    QTest::keyClick(Edit(), Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_TRUE(okButton->hasFocus());
    EXPECT_EQ(Arrow(Qt::UpArrow)->focusPolicy(), Qt::NoFocus);

    spin->Enable(false);
    EXPECT_FALSE(Edit()->isEnabled());
    EXPECT_FALSE(Arrow(Qt::UpArrow)->isEnabled());
    EXPECT_FALSE(Arrow(Qt::DownArrow)->isEnabled());
    spin->Enable(true);
    EXPECT_TRUE(Arrow(Qt::DownArrow)->isEnabled());
}

} // namespace
} // namespace kv
