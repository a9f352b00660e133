#include "controls/VFloatSpinButton.h"
#include "dialogs/CSPLCurve.h"
#include "gui/session/SessionTestSupport.h"
#include "gui/session/SplCurveFiles.h"
#include "model/CConfiguration.h"
#include "support/TestSupport.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <fstream>
#include <gtest/gtest.h>

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

} // namespace
} // namespace kv
