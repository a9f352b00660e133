#include "controls/VFloatSpinButton.h"
#include "dialogs/CSPLCurve.h"
#include "gui/session/SessionTestSupport.h"
#include "gui/session/SplCurveFiles.h"
#include "model/CConfiguration.h"
#include "support/ModelledDrivers.h"
#include "support/TestSupport.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <cmath>
#include <fstream>
#include <gtest/gtest.h>
#include <numbers>

namespace kv {
namespace {

class SplCurveDialog : public test::SplCurveFiles {
protected:
    int recalculations = 0;
    std::function<void()> changed = [this] { ++recalculations; };
};

TEST_F(SplCurveDialog, TheDialogShowsTheGateForAnImpulseResponseOnly) {
    test::WriteImpulseResponse(dir / "ir.wav");
    test::ScriptedFileChooser files;
    CSPLCurve dialog(design, 1, messages, files, changed);
    dialog.show();
    auto* gate = dialog.findChild<QGroupBox*>(QStringLiteral("gateGroup"));
    auto* browse = dialog.findChild<QPushButton*>(QStringLiteral("browseButton"));
    EXPECT_FALSE(gate->isVisible());

    files.answers = {dir / "ir.wav"};
    QTest::mouseClick(browse, Qt::LeftButton);
    EXPECT_TRUE(gate->isVisible());
    const double lowest = band().splFreqs[0];
    auto* length = dialog.findChild<VFloatSpinButton*>(QStringLiteral("gateField"));
    QLineEdit* edit = length->findChild<QLineEdit*>();
    edit->selectAll();
    QTest::keyClicks(edit, QStringLiteral("2,5"));
    QTest::keyClick(edit, Qt::Key_Return);
    EXPECT_NEAR(band().splFreqs[0], 400.0, 10.0);
    EXPECT_GT(band().splFreqs[0], lowest);
    auto* window = dialog.findChild<QComboBox*>(QStringLiteral("gateWindowCombo"));
    EXPECT_EQ(window->currentText().toStdString(), GateWindowNames().back());

    files.answers = {dir / "woofer.frd"};
    QTest::mouseClick(browse, Qt::LeftButton);
    EXPECT_FALSE(gate->isVisible());
    dialog.reject();
    EXPECT_TRUE(band().splFreqs.Empty());
}

// Cancel puts back the file and the smoothing the band had, or no curve at
// all, even after several files.
TEST_F(SplCurveDialog, CancelPutsBackTheFileAndTheSmoothingOrNoCurveAtAll) {
    test::ScriptedFileChooser files;
    {
        CSPLCurve first(design, 1, messages, files, changed);
        files.answers = {dir / "tweeter.frd"};
        QTest::mouseClick(first.findChild<QPushButton*>(QStringLiteral("browseButton")),
                          Qt::LeftButton);
        ASSERT_FALSE(band().splFreqs.Empty());
        first.reject();
    }
    EXPECT_TRUE(band().splFreqs.Empty()) << "the band had no curve";
    EXPECT_TRUE(band().splFileName.empty());

    ASSERT_TRUE(band().SetSplCurve(test::VectorOf<VDoubleVec>({20.0, 200.0}), VComplexVec(2),
                                   (dir / "woofer.frd").string()));
    CSPLCurve second(design, 1, messages, files, changed);
    files.answers = {dir / "tweeter.frd"};
    QTest::mouseClick(second.findChild<QPushButton*>(QStringLiteral("browseButton")),
                      Qt::LeftButton);
    auto* smooth = second.findChild<QWidget*>(QStringLiteral("smoothField"));
    QLineEdit* edit = smooth->findChild<QLineEdit*>();
    edit->selectAll();
    QTest::keyClicks(edit, QStringLiteral("3"));
    QTest::keyClick(edit, Qt::Key_Return);
    ASSERT_EQ(band().splSmoothing, 3);
    recalculations = 0;
    second.reject();
    EXPECT_EQ(band().splFileName, (dir / "woofer.frd").string());
    EXPECT_EQ(band().splSmoothing, kMaxSmoothing);
    EXPECT_EQ(band().splFreqs[0], 20.0);
    EXPECT_EQ(recalculations, 1);
}

// The phase's controls show once a file is read; they say which phase the
// curve carries and offer the flight time a measured phase shows.
TEST_F(SplCurveDialog, ThePhaseControlsSayWhatTheCurveCarriesAndOfferTheFlightTime) {
    ASSERT_TRUE(test::WriteDriverFile(dir / "level.txt", {&test::ModelledWoofer}));
    ASSERT_TRUE(test::WriteDriverFile(dir / "far.txt",
                                      {&test::ModelledWoofer, 90.0, 10.0, 40000.0, true, 2e-3}));
    test::ScriptedFileChooser files;
    CSPLCurve dialog(design, 1, messages, files, changed);
    dialog.show();
    auto* group = dialog.findChild<QGroupBox*>(QStringLiteral("phaseGroup"));
    auto* note = dialog.findChild<QLabel*>(QStringLiteral("phaseNote"));
    auto* choice = dialog.findChild<QComboBox*>(QStringLiteral("phaseCombo"));
    auto* flight = dialog.findChild<QCheckBox*>(QStringLiteral("flightTimeCheck"));
    auto* browse = dialog.findChild<QPushButton*>(QStringLiteral("browseButton"));
    EXPECT_FALSE(group->isVisible());

    files.answers = {dir / "level.txt"};
    QTest::mouseClick(browse, Qt::LeftButton);
    EXPECT_TRUE(group->isVisible());
    EXPECT_EQ(note->text(), QStringLiteral("Phase: minimum phase (the file carries none)"));
    EXPECT_EQ(choice->currentIndex(), 1);
    EXPECT_FALSE(flight->isEnabled());

    files.answers = {dir / "far.txt"};
    QTest::mouseClick(browse, Qt::LeftButton);
    EXPECT_EQ(note->text(), QStringLiteral("Phase: as measured"));
    EXPECT_EQ(choice->currentIndex(), 0);
    EXPECT_TRUE(flight->isEnabled());
    EXPECT_EQ(flight->text(), QStringLiteral("&Remove flight time (2.000 ms)"));
    const int before = recalculations;
    flight->click();
    EXPECT_TRUE(flight->isChecked());
    EXPECT_EQ(recalculations, before + 1);

    auto* offset = dialog.findChild<VFloatSpinButton*>(QStringLiteral("offsetField"));
    QLineEdit* edit = offset->findChild<QLineEdit*>();
    const Complex removed = band().splRaw[300];
    edit->selectAll();
    QTest::keyClicks(edit, QStringLiteral("0.5"));
    QTest::keyClick(edit, Qt::Key_Return);
    const double turn = -2.0 * std::numbers::pi * band().splFreqs[300] * 0.5e-3;
    EXPECT_NEAR(
        std::remainder(std::arg(band().splRaw[300] / removed) - turn, 2.0 * std::numbers::pi), 0.0,
        1e-6);
    dialog.reject();
    EXPECT_TRUE(band().splFreqs.Empty());
}

} // namespace
} // namespace kv
