#include "ImportFiles.h"

#include <cmath>
#include <gtest/gtest.h>

namespace kv {
namespace {

using Doubles = std::vector<double>;
constexpr double kDeg = 0.017453292519943295;

class TextImport : public test::ImportFiles {};

TEST_F(TextImport, PlainColumnsReadDecimalCommasAndCommaSeparatedColumnsAlike) {
    ASSERT_TRUE(ImportText("a.frd", "1,5 80,2 -10\n2,5\t81 20\n3,5 82 30\n"));
    EXPECT_EQ(engine.Format(), ImportFormat::PlainColumns);
    EXPECT_EQ(engine.Kind(), ImportKind::FrequencyResponse);
    EXPECT_FALSE(engine.Binary());
    EXPECT_EQ(Values(engine.Frequencies()), (Doubles{1.5, 2.5, 3.5}));
    EXPECT_EQ(Values(engine.Levels()), (Doubles{80.2, 81, 82}));
    EXPECT_EQ(Values(engine.Phases()), (Doubles{-10 * kDeg, 20 * kDeg, 30 * kDeg}));

    ASSERT_TRUE(ImportText("b.frd", "1.5,80.2,-10\n2.5,81,20\n3.5,82,30\n"));
    EXPECT_EQ(Values(engine.Frequencies()), (Doubles{1.5, 2.5, 3.5}));
    EXPECT_EQ(Values(engine.Levels()), (Doubles{80.2, 81, 82}));
}

TEST_F(TextImport, DescendingFrequenciesAreReversedWithTheirValues) {
    ASSERT_TRUE(ImportText("a.frd", "300 3 30\n200 2 20\n100 1 10\n"));
    EXPECT_EQ(Values(engine.Frequencies()), (Doubles{100, 200, 300}));
    EXPECT_EQ(Values(engine.Levels()), (Doubles{1, 2, 3}));
    EXPECT_EQ(Values(engine.Phases()), (Doubles{10 * kDeg, 20 * kDeg, 30 * kDeg}));
}

TEST_F(TextImport, LinesThatAreNotNumericOrHoldNonFiniteNumbersAreSkipped) {
    ASSERT_TRUE(ImportText("a.frd", "* header\n100 1 0\nnote\n200 inf 0\n300 3 nan\n"
                                    "400 4 0\n1e999 5 0\n-nan 6 0\n500 1e-400 0\n600 6\n"));
    EXPECT_EQ(Values(engine.Frequencies()), (Doubles{100, 400, 500, 600}));
    EXPECT_EQ(Values(engine.Levels()), (Doubles{1, 4, 0, 6}));
    EXPECT_EQ(Values(engine.Phases()), (Doubles{0, 0, 0, 0}));
}

TEST_F(TextImport, LongLinesAreReadWholeNotInPieces) {
    // The tail of a long comment starts with a digit; read in pieces it
    // would become a data point of its own.
    const std::string comment = "* " + std::string(253, 'x') + "5000 99 0";
    const std::string huge = "100 1 0 " + std::string(200000, '7');
    ASSERT_TRUE(ImportText("a.frd", comment + "\n" + huge + "\n200 2 0\n300 3 0\n"));
    EXPECT_EQ(Values(engine.Frequencies()), (Doubles{100, 200, 300}));
}

TEST_F(TextImport, HeadlessImpedanceColumnsInAZmaFileAreImpedance) {
    ASSERT_TRUE(ImportText("Woofer.ZMA", "1.029 \t6.616 \t2.876 \n2 7 3\n3 8 4\n"));
    EXPECT_EQ(engine.Kind(), ImportKind::Impedance);
    EXPECT_EQ(Values(engine.ImpedanceMagnitudes()), (Doubles{6.616, 7, 8}));
    EXPECT_EQ(Values(engine.ImpedancePhases()), (Doubles{2.876 * kDeg, 3 * kDeg, 4 * kDeg}));
    EXPECT_TRUE(engine.Levels().Empty());
}

TEST_F(TextImport, TitledColumnsSkipTheirTitleLines) {
    ASSERT_TRUE(ImportText("a.txt", "Freq dB Phase\n10 1 0\n20 2 0\n"));
    EXPECT_EQ(Values(engine.Frequencies()), (Doubles{10, 20}));
    ASSERT_TRUE(ImportText("a.txt", "Loudspeaker\nHz dB\n30 1 0\n20 2 0\n10 3 0\n"));
    EXPECT_EQ(engine.Format(), ImportFormat::SplUnderTwoTitles);
    EXPECT_EQ(Values(engine.Levels()), (Doubles{3, 2, 1}));
    ASSERT_TRUE(ImportText("a.txt", "Freq Ohm deg\n10 6 45\n20 7 -45\n"));
    EXPECT_EQ(engine.Kind(), ImportKind::Impedance);
    EXPECT_EQ(Values(engine.ImpedancePhases()), (Doubles{45 * kDeg, -45 * kDeg}));
    ASSERT_TRUE(ImportText("a.txt", "Impedance Bode Plot - ohms (eq)\nsub\n10 6 0\n"));
    EXPECT_EQ(engine.Kind(), ImportKind::Impedance);
    EXPECT_EQ(Values(engine.ImpedanceMagnitudes()), (Doubles{6}));
}

TEST_F(TextImport, CompensationFileVersionsDecideThePhaseColumn) {
    const std::string body = "a\nb\nc\n100 1 2\n200 3 4\n";
    ASSERT_TRUE(ImportText("a.txt", "Lsp-LAB:Compensation File v0.10\n" + body));
    EXPECT_EQ(Values(engine.Phases()), (Doubles{0, 0}));
    EXPECT_EQ(Values(engine.Levels()), (Doubles{1, 3}));
    ASSERT_TRUE(ImportText("a.txt", "Lsp-LAB:Compensation File v0.11\n" + body));
    EXPECT_EQ(Values(engine.Phases()), (Doubles{2, 4}));
    ASSERT_TRUE(ImportText("a.txt", "Lsp-LAB:Compensation File v0.9\n" + body));
    EXPECT_EQ(Values(engine.Phases()), (Doubles{2 * kDeg, 4 * kDeg}));
    EXPECT_FALSE(ImportText("a.txt", "Lsp-LAB:Compensation File v0.10\na\nb\n"));
    EXPECT_EQ(engine.Format(), ImportFormat::CompensationFile);
    EXPECT_EQ(engine.Kind(), ImportKind::Nothing);
}

TEST_F(TextImport, MicrophoneFilesGiveTheirSensitivity) {
    ASSERT_TRUE(ImportText("m.txt", "Mic correction data: Ref Sensitivity = 12.5 mV/Pa\n"
                                    "20 1 0\n30 2 0\n"));
    EXPECT_DOUBLE_EQ(engine.Sensitivity(), 0.0125);
    EXPECT_EQ(Values(engine.Levels()), (Doubles{1, 2}));

    ASSERT_TRUE(ImportText("m.mdf", "MDF (Microphone Data Format) File\n2\n3\n4\n5\n"
                                    "Ref = 94\nLevel = 6.0206\n8\n9\n1 20 1 90\n2 30 2 0\n"));
    EXPECT_NEAR(engine.Sensitivity(),
                std::pow(10.0, 6.0206 / 20.0) / (2e-5 * std::pow(10.0, 94.0 / 20.0)), 1e-12);
    EXPECT_EQ(Values(engine.Frequencies()), (Doubles{20, 30}));
    EXPECT_EQ(Values(engine.Phases()), (Doubles{90 * kDeg, 0}));
}

TEST_F(TextImport, TimeSeriesTakeTheirRateFromTheFirstTwoTimes) {
    ASSERT_TRUE(ImportText("t.txt", "Time[ms] Level[V]\n0 0.5\n0.0104166 -0.25\n0.02 1\n"));
    EXPECT_EQ(engine.Kind(), ImportKind::TimeResponse);
    EXPECT_EQ(engine.SampleRate(), 96000.61);
    EXPECT_EQ(Values(engine.TimeSamples()), (Doubles{0.5, -0.25, 1}));
    EXPECT_TRUE(engine.Frequencies().Empty());

    ASSERT_TRUE(ImportText("t.txt", "Time[ms] Level[Pa]\n1 0.001\n2 -0.002\n"));
    EXPECT_EQ(engine.SampleRate(), 1000.0);
    EXPECT_EQ(Values(engine.TimeSamples()), (Doubles{50, -100}));

    EXPECT_FALSE(ImportText("t.txt", "Time[ms] Level[V]\n1 1\n1 2\n2 3\n"));
    EXPECT_FALSE(ImportText("t.txt", "Time[ms] Level[V]\n2 1\n1 2\n0 3\n"));
    EXPECT_FALSE(ImportText("t.txt", "Time[ms] Level[V]\n1 1\nend\n"));
}

TEST_F(TextImport, StarredHeaderTextReadsAfterItsUnitsLine) {
    ASSERT_TRUE(ImportText("a.txt", "* LMS\n* note\n*   Frequency   Hz Ohm\n10 5 1\n20 6 2\n"));
    EXPECT_EQ(engine.Kind(), ImportKind::Impedance);
    EXPECT_EQ(Values(engine.ImpedanceMagnitudes()), (Doubles{5, 6}));
    ASSERT_TRUE(ImportText("a.gdt", "x\ny\n* DataUnits= Hz dBSPL Deg\n10 5 1\n20 6 2\n"));
    EXPECT_EQ(engine.Kind(), ImportKind::FrequencyResponse);
    EXPECT_FALSE(ImportText("a.txt", "* LEAP\n* Hz dB\n10 5 1\nx\n"));
    EXPECT_FALSE(ImportText("a.txt", "* LEAP\n10 5 1\n20 6 2\n"));
}

TEST_F(TextImport, IdfLineThreeGivesTheKind) {
    const std::string rest = "4\n5\n6\n7\n10 5 90\n20 6 0\n";
    ASSERT_TRUE(ImportText("a.idf", "1\n2\n 1\n" + rest));
    EXPECT_EQ(engine.Kind(), ImportKind::Impedance);
    ASSERT_TRUE(ImportText("a.idf", "1\n2\n2\n" + rest));
    EXPECT_EQ(engine.Kind(), ImportKind::FrequencyResponse);
    EXPECT_EQ(Values(engine.Phases()), (Doubles{90 * kDeg, 0}));
    EXPECT_FALSE(ImportText("a.idf", "1\n2\n3\n" + rest));
}

TEST_F(TextImport, TdsFilesNeedTheirColumnTitleAndIgnoreTheFirstColumn) {
    const std::string head = "1\n2\n#  FREQ   MAGNITUDE PHASE\n4\n5\n";
    ASSERT_TRUE(ImportText("a.tds", head + "9 10 5 90\n9 20 6 0\n"));
    EXPECT_EQ(Values(engine.Frequencies()), (Doubles{10, 20}));
    EXPECT_EQ(Values(engine.Levels()), (Doubles{5, 6}));
    EXPECT_FALSE(ImportText("a.tx2", "1\n2\n# FREQ LEVEL\n4\n5\n9 10 5 90\n9 20 6 0\n"));
}

TEST_F(TextImport, VoltColumnsHoldOnlyThePointsRead) {
    ASSERT_TRUE(ImportText("v.txt", "Hz V deg\n400 10 0\n0 1 0\n300 0 0\n200 -1 0\n100 1 45\n"));
    EXPECT_EQ(Values(engine.Frequencies()), (Doubles{100, 200, 300, 400}));
    EXPECT_EQ(Values(engine.Levels()), (Doubles{0, -760, -760, 20}));
    EXPECT_EQ(Values(engine.Phases()), (Doubles{45 * kDeg, 0, 0, 0}));
    // Reversed only when the last two descend, and only from four points.
    ASSERT_TRUE(ImportText("v.txt", "Hz V deg\n300 1 0\n200 1 0\n100 1 0\n"));
    EXPECT_EQ(Values(engine.Frequencies()), (Doubles{300, 200, 100}));
    EXPECT_FALSE(ImportText("v.txt", "Hz V deg\n0 1 0\n100 1 0\n"));
}

TEST_F(TextImport, XopFilesCarryImpedanceAndResponse) {
    ASSERT_TRUE(ImportText("a.xop", "title\n10 6 30 85 -90\n20 7 40 86 -80\n"));
    EXPECT_EQ(engine.Kind(), ImportKind::Both);
    EXPECT_EQ(Values(engine.ImpedanceMagnitudes()), (Doubles{6, 7}));
    EXPECT_EQ(Values(engine.ImpedancePhases()), (Doubles{30 * kDeg, 40 * kDeg}));
    EXPECT_EQ(Values(engine.Levels()), (Doubles{85, 86}));
    EXPECT_EQ(Values(engine.Phases()), (Doubles{-90 * kDeg, -80 * kDeg}));
    EXPECT_FALSE(ImportText("a.xop", "title\n10 6 30 85 -90\nend\n"));
}

TEST_F(TextImport, CommentedColumnsTakeTheirKindFromTheColumnHeader) {
    const std::string splHeader = "* Measurement data measured by REW V5.31\n*\n"
                                  "* Freq(Hz)\tSPL(dB)\tPhase(degrees)\n";
    const std::string data = "20\t72.5\t165.7\n21.5\t72.8\t165.3\n";
    ASSERT_TRUE(ImportText("w.txt", splHeader + data));
    EXPECT_EQ(engine.Format(), ImportFormat::CommentedColumns);
    EXPECT_EQ(engine.Kind(), ImportKind::FrequencyResponse);
    EXPECT_EQ(Values(engine.Levels()), (Doubles{72.5, 72.8}));
    EXPECT_EQ(Values(engine.Phases()), (Doubles{165.7 * kDeg, 165.3 * kDeg}));

    ASSERT_TRUE(ImportText("w.txt", "* REW\n* Freq(Hz) Z(Ohms) Phase(degrees)\n*\n" + data));
    EXPECT_EQ(engine.Kind(), ImportKind::Impedance);
    EXPECT_EQ(Values(engine.ImpedanceMagnitudes()), (Doubles{72.5, 72.8}));

    ASSERT_TRUE(ImportText("c.txt", "# rta\n# freq_Hz\tSPL_dB\n\n40 52.1\n30 52.2\n"));
    EXPECT_EQ(Values(engine.Frequencies()), (Doubles{30, 40}));
    EXPECT_EQ(Values(engine.Phases()), (Doubles{0, 0}));

    ASSERT_TRUE(
        ImportText("i.zma", "****\n* Data: Impedance (ohms)\n****\n10 +7.1 +25\n11 7 -3\n"));
    EXPECT_EQ(engine.Kind(), ImportKind::Impedance);
    EXPECT_FALSE(ImportText("one.txt", "* a\n* b\n10 1 0\n"));
}

TEST_F(TextImport, TheSameExportLoadsUnderAnyName) {
    const std::string rew = "* REW\n* x\n* Freq(Hz) SPL(dB) Phase(degrees)\n20 80 1\n30 81 2\n";
    ASSERT_TRUE(ImportText("m.txt", rew));
    const Doubles asText = Values(engine.Levels());
    ASSERT_TRUE(ImportText("m.frd", rew));
    EXPECT_EQ(Values(engine.Levels()), asText);
}

TEST_F(TextImport, UnknownAndUnreadableFilesFailWithNothingImported) {
    EXPECT_FALSE(engine.Import(messages, dir / "missing.frd"));
    EXPECT_EQ(engine.Format(), ImportFormat::Unknown);
    EXPECT_FALSE(engine.Import(messages, dir.Path()));
    EXPECT_FALSE(ImportText("a.txt", "just\nsome\ntext\n"));
    EXPECT_EQ(engine.Kind(), ImportKind::Nothing);
    EXPECT_TRUE(messages.asked.empty());
}

// A file whose layout was recognised but whose content is not what the
// layout holds says both, and leaves no result behind.
TEST_F(TextImport, AFileThatFailsSaysWhatItWasTakenForAndWhy) {
    EXPECT_FALSE(ImportText("x.idf", "a\nb\n9\nd\ne\nf\ng\n1 2 3\n4 5 6\n"));
    EXPECT_EQ(engine.Reason(),
              "an IDF file: its name ends in .idf, but its data could not be read");
    EXPECT_EQ(engine.Kind(), ImportKind::Nothing);
    EXPECT_FALSE(
        engine.Import(messages, WriteText("x.frd", "20 80 0\n30 81 0\n40 82 0\n"), {"spl"}));
    EXPECT_EQ(engine.Reason(),
              "plain frequency columns: its first line holds two numbers, which names no level "
              "columns");
}

} // namespace
} // namespace kv
