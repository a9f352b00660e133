#include "session/SplCurveEditor.h"

#include "gui/session/SplCurveFiles.h"
#include "support/ModelledDrivers.h"

#include <cmath>
#include <complex>
#include <fstream>
#include <gtest/gtest.h>
#include <numbers>

namespace kv {
namespace {

using SplCurveEditing = test::SplCurveFiles;

// Each file that cannot be a driver's curve is refused with what it is, and
// the band keeps the curve it had.
TEST_F(SplCurveEditing, EachKindOfRefusedFileIsNamedAndChangesNothing) {
    using namespace std::string_literals;
    std::ofstream(dir / "eq.txt") << "Filter Settings file\n\nPreamp: -3 dB\n"
                                     "Filter 1: ON PK Fc 50 Hz Gain -4 dB Q 2\n";
    std::ofstream(dir / "notes.txt") << "woofer\nmeasured at 1 m\nindoors\n";
    test::WriteBytes(dir / "plot.png", {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n', 0, 0});
    test::WriteBytes(dir / "dump.bin", {0x00, 0x00, 0x80, 0x7F, 0x13, 0x99, 0x07, 0xFE, 0x01});
    const struct {
        const char* name;
        const char* why;
    } refused[] = {
        {"woofer.zma", "is an impedance curve, not a driver's response."},
        {"eq.txt", "is not a measurement the program can read: it is a list of equaliser filters."},
        {"notes.txt", "is not a measurement the program can read: it holds no numbers."},
        {"plot.png", "is not a measurement the program can read: it is a PNG picture."},
        {"dump.bin", "is not a measurement the program can read: it is a binary file of no kind "
                     "the program knows."},
        {"gone.frd", "does not exist."},
    };
    SplCurveEditor editor(band(), messages);
    ASSERT_TRUE(editor.LoadFile(dir / "woofer.frd"));
    for (const auto& file : refused) {
        messages.shown.clear();
        EXPECT_FALSE(editor.LoadFile(dir / file.name));
        ASSERT_EQ(messages.shown.size(), 1u) << file.name;
        EXPECT_EQ(messages.shown[0].text, "Failed to import the SPL curve!\n\n\"" +
                                              (dir / file.name).string() + "\" " + file.why);
        EXPECT_EQ(band().splFreqs.GetSize(), 4) << file.name;
        EXPECT_EQ(band().splFileName, (dir / "woofer.frd").string()) << file.name;
    }
}

TEST_F(SplCurveEditing, TheLevelColumnOfASpreadsheetCanBeChosen) {
    std::ofstream(dir / "datasheet.csv") << "freq_hz,spl_db,spl_30deg_db\n100,80,78\n1000,85,82\n"
                                            "10000,83,75\n";
    SplCurveEditor editor(band(), messages);
    ASSERT_TRUE(editor.LoadFile(dir / "datasheet.csv"));
    EXPECT_EQ(editor.LevelColumns(), (std::vector<std::string>{"spl_db", "spl_30deg_db"}));
    EXPECT_EQ(editor.LevelColumn(), "spl_db");
    ASSERT_TRUE(editor.ChooseColumn("spl_30deg_db"));
    EXPECT_NEAR(20.0 * std::log10(std::abs(band().splRaw[2])), 75.0, 1e-9);
}

TEST_F(SplCurveEditing, TheGateOfAnImpulseResponseChangesTheCurveAndARefusedOneKeepsIt) {
    test::WriteImpulseResponse(dir / "ir.wav");
    SplCurveEditor editor(band(), messages);
    ASSERT_TRUE(editor.LoadFile(dir / "ir.wav"));
    EXPECT_TRUE(editor.OffersGate());
    EXPECT_NEAR(band().splFreqs[0], 1000.0 / kDefaultGateMs, 5.0) << "from 1 / gate length";

    editor.Gate() = {2.0, WindowType::Hanning};
    ASSERT_TRUE(editor.ApplyGate());
    EXPECT_NEAR(band().splFreqs[0], 500.0, 10.0);
    const int points = band().splFreqs.GetSize();

    editor.Gate().lengthMs = 150.0;
    EXPECT_FALSE(editor.ApplyGate());
    EXPECT_TRUE(messages.shown.empty()) << "the dialog shows it beside the gate";
    EXPECT_EQ(editor.LastGate().outcome, GateOutcome::LengthOutOfRange);
    EXPECT_EQ(band().splFreqs.GetSize(), points) << "the band keeps the curve it had";

    ASSERT_TRUE(editor.LoadFile(dir / "woofer.frd"));
    EXPECT_FALSE(editor.OffersGate());
    editor.Gate().lengthMs = 3.0;
    EXPECT_FALSE(editor.ApplyGate()) << "a frequency response has no gate";
    EXPECT_EQ(band().splFreqs.GetSize(), 4);
}

TEST_F(SplCurveEditing, ASilentRecordingIsRefusedOnceAndOffersNoGate) {
    test::ByteWriter data;
    for (int t = 0; t < 480; ++t) {
        test::Float32(data, 0.0f);
    }
    test::WriteBytes(
        dir / "silent.wav",
        test::MakeWave({.formatTag = 3, .blockAlign = 4, .bits = 32, .data = data.Bytes()}));
    SplCurveEditor editor(band(), messages);
    ASSERT_TRUE(editor.LoadFile(dir / "woofer.frd"));
    EXPECT_FALSE(editor.LoadFile(dir / "silent.wav"));
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text,
              "Failed to import the SPL curve!\n\n" + DescribeGateOutcome(GateOutcome::Silent));
    EXPECT_FALSE(editor.OffersGate());
    editor.Gate().lengthMs = 3.0;
    EXPECT_FALSE(editor.ApplyGate());
    EXPECT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(band().splFileName, (dir / "woofer.frd").string());
}

// The choices stay while the dialog is open: a change makes the curve
// again from the file already read, and the next file gets them too.
TEST_F(SplCurveEditing, ThePhaseChoicesMakeTheCurveAgainAndStayForTheNextFile) {
    const test::DriverFile level{&test::ModelledTweeter};
    const test::DriverFile measured{&test::ModelledTweeter, 90.0, 10.0, 40000.0, true, 3e-3};
    ASSERT_TRUE(test::WriteDriverFile(dir / "level.txt", level));
    ASSERT_TRUE(test::WriteDriverFile(dir / "far.txt", measured));
    SplCurveEditor editor(band(), messages);
    EXPECT_FALSE(editor.OffersPhase());
    EXPECT_FALSE(editor.ApplyPhase());
    ASSERT_TRUE(editor.LoadFile(dir / "far.txt"));
    EXPECT_TRUE(editor.OffersPhase());
    EXPECT_FALSE(editor.LastPhase().minimum);
    ASSERT_TRUE(editor.LastPhase().flightTimeMs);
    EXPECT_NEAR(*editor.LastPhase().flightTimeMs, 3.0, 0.01);

    const VComplexVec far = band().splRaw;
    editor.Phase().removeFlightTime = true;
    ASSERT_TRUE(editor.ApplyPhase());
    EXPECT_TRUE(editor.LastPhase().flightTimeRemoved);
    const int at = band().splFreqs.GetSize() / 2;
    const double turn = 2.0 * std::numbers::pi * band().splFreqs[at] * 3e-3;
    EXPECT_NEAR(
        std::remainder(std::arg(band().splRaw[at] / far[at]) - turn, 2.0 * std::numbers::pi), 0.0,
        0.01);

    editor.Phase().choice = PhaseChoice::Minimum;
    ASSERT_TRUE(editor.LoadFile(dir / "far.txt"));
    EXPECT_TRUE(editor.LastPhase().minimum);
    ASSERT_TRUE(editor.LoadFile(dir / "level.txt"));
    EXPECT_TRUE(editor.LastPhase().minimum);
    EXPECT_EQ(editor.LastPhase().content, PhaseContent::None);
}

} // namespace
} // namespace kv
