#include "controls/VFloatSpinButton.h"
#include "core/import/ImportFiles.h"
#include "dialogs/CSPLCurve.h"
#include "gui/session/SessionTestSupport.h"
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

class SplCurveDialog : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(design.New(2, kDesignSampleRate));
        std::ofstream(dir / "woofer.frd") << "20 80 0\n200 90 -10\n2000 85 -40\n20000 60 -90\n";
        std::ofstream(dir / "tweeter.frd") << "500 70 0\n5000 92 -20\n20000 90 -45\n";
        std::ofstream(dir / "woofer.zma") << "20 6.5 10\n200 12 -30\n2000 9 20\n";
    }

    CBand& band() { return design.bands[1]; }

    test::TempDir dir;
    CConfiguration design;
    test::RecordingMessageBox messages;
    int recalculations = 0;
    std::function<void()> changed = [this] { ++recalculations; };
};

// A measured impulse response as a 48 kHz float WAV: a decaying direct
// sound and, 4 ms after it, a reflection from the floor.
void WriteImpulseResponse(const std::filesystem::path& path) {
    test::ByteWriter data;
    for (int t = 0; t < 4800; ++t) {
        const double direct = t >= 100 ? std::exp(-(t - 100) / 6.0) : 0.0;
        const double reflection = t == 100 + 192 ? 0.5 : 0.0;
        test::Float32(data, static_cast<float>(direct + reflection));
    }
    test::WriteBytes(
        path, test::MakeWave({.formatTag = 3, .blockAlign = 4, .bits = 32, .data = data.Bytes()}));
}

TEST_F(SplCurveDialog, TheDialogShowsTheGateForAnImpulseResponseOnly) {
    WriteImpulseResponse(dir / "ir.wav");
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
