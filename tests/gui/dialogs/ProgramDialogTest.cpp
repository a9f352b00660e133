#include "dialogs/CProgramEEprom.h"
#include "dialogs/PortComboBox.h"
#include "gui/session/SessionTestSupport.h"
#include "hardware/CTAS3103.h"
#include "model/CConfiguration.h"
#include "platform/CComPort.h"
#include "support/ProgrammingTiming.h"
#include "support/PtyUnit.h"

#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace kv {
namespace {

// Every port number ("COM3" too) leads to the simulated unit's
// pseudo-terminal.
class UnitPort : public CComPort {
public:
    explicit UnitPort(std::string device) : device_(std::move(device)) {}
    bool Open(int) override { return OpenByName(device_); }

private:
    std::string device_;
};

class ProgramDialog : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(design.New(2, kDesignSampleRate)); }

    void UseUnit(CProgramEEprom& dialog, const test::PtyUnit& unit) {
        dialog.SetTransport(
            [device = unit.DeviceName()] { return std::make_unique<UnitPort>(device); },
            test::kShortTiming);
    }

    // Whether the unit holds the design's image.
    bool UnitHoldsTheDesign(const test::PtyUnit& unit) const {
        CTAS3103 tas;
        const CTAS3103::Image image = tas.BuildImage(design);
        const test::Hmq27Firmware firmware = unit.Firmware();
        return std::equal(image.begin(), image.end(), firmware.eeprom.begin());
    }

    // Presses Go and waits for the dialog to close, as the user would.
    static void Go(CProgramEEprom& dialog) {
        QTest::mouseClick(dialog.findChild<QPushButton*>(QStringLiteral("goButton")),
                          Qt::LeftButton);
        EXPECT_TRUE(QTest::qWaitFor([&dialog] { return !dialog.isVisible(); }, 30000));
    }

    CConfiguration design;
    BlockWarnings noWarnings;
    test::MemorySettings settings;
    test::RecordingMessageBox messages;
    test::ScriptedFileChooser files;
};

TEST_F(ProgramDialog, ProgramsTheUnitOffTheWindowsThreadAndCannotBeClosedMeanwhile) {
    test::PtyUnit unit;
    if (unit.DeviceName().empty()) {
        GTEST_SKIP() << "no pseudo-terminal";
    }
    CProgramEEprom dialog(design, "COM3", noWarnings, settings, messages, files);
    UseUnit(dialog, unit);
    auto* bar = dialog.findChild<QProgressBar*>(QStringLiteral("progressBar"));
    auto* go = dialog.findChild<QPushButton*>(QStringLiteral("goButton"));
    ASSERT_NE(bar, nullptr);
    int highest = 0;
    bool triedToClose = false;
    bool stayedOpen = false;
    bool buttonsDisabled = false;
    QObject::connect(bar, &QProgressBar::valueChanged, [&](int value) {
        highest = std::max(highest, value);
        if (!triedToClose && dialog.Busy()) {
            triedToClose = true;
            buttonsDisabled = !go->isEnabled();
            dialog.reject();
            dialog.close();
            stayedOpen = dialog.isVisible();
        }
    });
    // The window's own event loop keeps turning while the unit is written.
    int ticks = 0;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [&] { ++ticks; });
    ticker.start(1);

    EXPECT_EQ(dialog.exec(), QDialog::Accepted);
    EXPECT_TRUE(triedToClose);
    EXPECT_TRUE(stayedOpen);
    EXPECT_TRUE(buttonsDisabled);
    EXPECT_EQ(highest, 20);
    EXPECT_GT(ticks, 1) << "the window's loop turned during the transfer";
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, "The HMQ27 has been programmed.");
    EXPECT_EQ(settings.values["Port/Port no"], "3");
    EXPECT_EQ(settings.values["Port/Serial Port"], "COM3");
    EXPECT_TRUE(UnitHoldsTheDesign(unit));
}

// A device the list does not show, such as this pseudo-terminal, can be
// typed; the dialog opens it by that name and remembers it.
TEST_F(ProgramDialog, ATypedDeviceIsProgrammedAndRemembered) {
    test::PtyUnit unit;
    if (unit.DeviceName().empty()) {
        GTEST_SKIP() << "no pseudo-terminal";
    }
    settings.SetInt("Port", "Port no", 2);
    CProgramEEprom dialog(design, "", noWarnings, settings, messages, files);
    dialog.show();
    auto* ports = dialog.findChild<PortComboBox*>(QStringLiteral("portCombo"));
    ASSERT_NE(ports, nullptr);
    EXPECT_EQ(ports->currentText(), QStringLiteral("COM2")) << "the remembered port";
    EXPECT_FALSE(dialog.Busy()) << "without a port given, the dialog waits for Go";
    ports->lineEdit()->selectAll();
    QTest::keyClicks(ports->lineEdit(), QString::fromStdString(unit.DeviceName()));
    Go(dialog);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, "The HMQ27 has been programmed.");
    EXPECT_TRUE(UnitHoldsTheDesign(unit));
    EXPECT_EQ(settings.values["Port/Serial Port"], unit.DeviceName());
    EXPECT_EQ(settings.values["Port/Port no"], "0");

    CProgramEEprom again(design, "", noWarnings, settings, messages, files);
    EXPECT_EQ(again.findChild<PortComboBox*>(QStringLiteral("portCombo"))->Choice(),
              QString::fromStdString(unit.DeviceName()));
}

TEST_F(ProgramDialog, APortThatDoesNotOpenIsNamedWithTheReason) {
    CProgramEEprom dialog(design, "/nonexistent/ttyKV0", noWarnings, settings, messages, files);
    EXPECT_EQ(dialog.exec(), QDialog::Rejected);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(
        messages.shown[0].text.rfind("Failed to open COM port ! \n\n/nonexistent/ttyKV0: ", 0), 0u)
        << messages.shown[0].text;
    EXPECT_TRUE(settings.values.empty());
}

// Warnings do not stop programming, but the user reads them first.
TEST_F(ProgramDialog, SafetyWarningsAreListedAndGoProgramsAnyway) {
    test::PtyUnit unit;
    if (unit.DeviceName().empty()) {
        GTEST_SKIP() << "no pseudo-terminal";
    }
    HardwareProblem boost;
    boost.band = 1;
    boost.subject = ProblemSubject::BandGain;
    boost.advice = "Output 2 rises to +18.0 dB at 320 Hz: lower the boost.";
    boost.text = "Band 2: +18.0 dB at 320 Hz.";
    const BlockWarnings safety({boost}, design.numBands);
    CProgramEEprom dialog(design, unit.DeviceName(), safety, settings, messages, files);
    dialog.show();
    QTest::qWait(200);
    EXPECT_FALSE(dialog.Busy()) << "the transfer started before the user read the warnings";
    EXPECT_TRUE(unit.Firmware().commands.empty());
    auto* warnings = dialog.findChild<QLabel*>(QStringLiteral("safetyWarnings"));
    ASSERT_NE(warnings, nullptr);
    EXPECT_TRUE(warnings->isVisible());
    EXPECT_TRUE(warnings->text().contains(QString::fromStdString(boost.advice)));
    Go(dialog);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_TRUE(UnitHoldsTheDesign(unit));

    CProgramEEprom quiet(design, unit.DeviceName(), noWarnings, settings, messages, files);
    EXPECT_EQ(quiet.findChild<QLabel*>(QStringLiteral("safetyWarnings")), nullptr);
}

TEST_F(ProgramDialog, ADesignTheChipCannotRunIsRefusedWithEveryReasonAndNothingIsSent) {
    test::PtyUnit unit;
    if (unit.DeviceName().empty()) {
        GTEST_SKIP() << "no pseudo-terminal";
    }
    design.bands[0].bassGain = 0.3;
    design.bands[1].delay = -0.001;
    CProgramEEprom dialog(design, "COM1", noWarnings, settings, messages, files);
    UseUnit(dialog, unit);
    EXPECT_EQ(dialog.exec(), QDialog::Rejected);
    ASSERT_EQ(messages.shown.size(), 1u);
    const std::string& text = messages.shown[0].text;
    EXPECT_NE(text.find("Band 1: the bass gain of 0.3 dB"), std::string::npos) << text;
    EXPECT_NE(text.find("Band 2: the delay of -1.000 ms is negative."), std::string::npos) << text;
    EXPECT_TRUE(unit.Firmware().commands.empty());
    EXPECT_TRUE(settings.values.empty());
}

TEST_F(ProgramDialog, FileModeWritesTheCfgFileTheUserChooses) {
    test::TempDir dir;
    design.SetTitle("Garden");
    settings.SetInt("Port", "Port no", -1);
    CProgramEEprom dialog(design, "", noWarnings, settings, messages, files);
    files.answers = {dir / "garden.cfg"};
    dialog.show();
    QTest::mouseClick(dialog.findChild<QPushButton*>(QStringLiteral("goButton")), Qt::LeftButton);
    EXPECT_FALSE(dialog.isVisible());
    ASSERT_EQ(files.asked.size(), 1u);
    EXPECT_EQ(files.asked[0].preset, "Garden");
    CTAS3103 tas;
    ASSERT_EQ(tas.WriteCfgFile(dir / "expected.cfg", "Garden", tas.BuildImage(design)), "");
    EXPECT_EQ(test::ReadBytes(dir / "garden.cfg"), test::ReadBytes(dir / "expected.cfg"));
}

} // namespace
} // namespace kv
