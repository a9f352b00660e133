#include "ImportFiles.h"
#include "model/CBand.h"
#include "model/SplCurve.h"

#include <gtest/gtest.h>

namespace kv {
namespace {

using Doubles = std::vector<double>;
using Names = std::vector<std::string>;
constexpr double kDeg = 0.017453292519943295;

class DelimitedImport : public test::ImportFiles {
protected:
    bool ImportColumn(const std::string& name, const std::string& content,
                      const std::string& column) {
        return engine.Import(messages, WriteText(name, content), ImportOptions{column});
    }
};

TEST_F(DelimitedImport, SemicolonsWithDecimalCommas) {
    ASSERT_TRUE(ImportText("a.csv", "Frequenz (Hz);Pegel dB;Phase\n20,5;80,25;-10\n"
                                    "31,5;81;0,5\n40;82,5;90\n"));
    EXPECT_EQ(engine.Format(), ImportFormat::DelimitedColumns);
    EXPECT_EQ(engine.Kind(), ImportKind::FrequencyResponse);
    EXPECT_EQ(Values(engine.Frequencies()), (Doubles{20.5, 31.5, 40}));
    EXPECT_EQ(Values(engine.Levels()), (Doubles{80.25, 81, 82.5}));
    EXPECT_EQ(Values(engine.Phases()), (Doubles{-10 * kDeg, 0.5 * kDeg, 90 * kDeg}));
    EXPECT_TRUE(engine.ImpedanceMagnitudes().Empty());
}

TEST_F(DelimitedImport, TabsQuotedNamesAndColumnsInAnyOrder) {
    ASSERT_TRUE(ImportText("a.txt", "\"Phase, deg\"\t\"SPL, dB\"\t\"Freq, Hz\"\n"
                                    "0\t85\t400\n-30\t84\t200\n-90\t82\t50\n"));
    EXPECT_EQ(engine.Format(), ImportFormat::DelimitedColumns);
    // Descending frequencies are turned round; the phase precedes the level
    // column and is none of its.
    EXPECT_EQ(Values(engine.Frequencies()), (Doubles{50, 200, 400}));
    EXPECT_EQ(Values(engine.Levels()), (Doubles{82, 84, 85}));
    EXPECT_EQ(Values(engine.Phases()), (Doubles{0, 0, 0}));
    EXPECT_EQ(engine.LevelColumns(), (Names{"SPL, dB"}));

    ASSERT_TRUE(ImportText("b.txt", "Magnitude\tPhase\tHz\n85\t10\t100\n84,5\t20\t200\n"));
    EXPECT_EQ(Values(engine.Frequencies()), (Doubles{100, 200}));
    EXPECT_EQ(Values(engine.Levels()), (Doubles{85, 84.5}));
    EXPECT_EQ(Values(engine.Phases()), (Doubles{10 * kDeg, 20 * kDeg}));
}

TEST_F(DelimitedImport, ALevelColumnIsChosenByItsName) {
    const std::string curves = "freq,spl 0,phase 0,spl 30,phase 30\n"
                               "100,90,10,85,20\n200,91,11,84,21\n300,92,12,83,22\n";
    ASSERT_TRUE(ImportText("a.csv", curves));
    EXPECT_EQ(engine.LevelColumns(), (Names{"spl 0", "spl 30"}));
    EXPECT_EQ(engine.LevelColumn(), "spl 0");
    EXPECT_EQ(Values(engine.Levels()), (Doubles{90, 91, 92}));

    ASSERT_TRUE(ImportColumn("a.csv", curves, "SPL 30"));
    EXPECT_EQ(engine.LevelColumn(), "spl 30");
    EXPECT_EQ(Values(engine.Levels()), (Doubles{85, 84, 83}));
    EXPECT_EQ(Values(engine.Phases()), (Doubles{20 * kDeg, 21 * kDeg, 22 * kDeg}));

    // A name the file does not have fails, and says what it has.
    EXPECT_FALSE(ImportColumn("a.csv", curves, "phase 30"));
    EXPECT_EQ(engine.Kind(), ImportKind::Nothing);
    EXPECT_TRUE(engine.Frequencies().Empty());
    EXPECT_EQ(engine.LevelColumn(), "");
    EXPECT_EQ(engine.LevelColumns(), (Names{"spl 0", "spl 30"}));
    EXPECT_TRUE(engine.HasLevelColumn("SPL 30"));
    EXPECT_FALSE(engine.HasLevelColumn("phase 30"));

    // Other layouts name no columns to choose from.
    EXPECT_FALSE(ImportColumn("a.frd", "10 1 0\n20 2 0\n30 3 0\n", "spl 0"));
    EXPECT_EQ(engine.Format(), ImportFormat::PlainColumns);
    EXPECT_TRUE(engine.LevelColumns().empty());
    ASSERT_TRUE(ImportText("a.frd", "10 1 0\n20 2 0\n30 3 0\n"));
    EXPECT_TRUE(engine.LevelColumns().empty());
}

TEST_F(DelimitedImport, RowsWithoutNumbersInTheChosenColumnsAreSkipped) {
    ASSERT_TRUE(ImportText("a.csv", "freq_hz,spl_db,spl_30deg_db\r\n20.00,,\r\n,,\r\n\r\n"
                                    "21.20,-,70\r\nlabel,1,2\r\n100,80,\r\n200,81,75\r\n"
                                    "300,\"82\",\r\n"));
    EXPECT_EQ(Values(engine.Frequencies()), (Doubles{100, 200, 300}));
    EXPECT_EQ(Values(engine.Levels()), (Doubles{80, 81, 82}));
    EXPECT_EQ(Values(engine.Phases()), (Doubles{0, 0, 0}));

    // Fewer than two usable rows.
    EXPECT_FALSE(ImportText("b.csv", "freq,spl\n10,\n20,80\n,\n"));
    EXPECT_EQ(engine.Format(), ImportFormat::DelimitedColumns);
    EXPECT_EQ(engine.Kind(), ImportKind::Nothing);
}

TEST_F(DelimitedImport, APhaseColumnThatHoldsPhasesDropsTheRowsWithout) {
    ASSERT_TRUE(ImportText("a.csv", "f,dB,deg\n100,80,10\n200,81,\n300,82,30\n"));
    EXPECT_EQ(Values(engine.Frequencies()), (Doubles{100, 300}));
    EXPECT_EQ(Values(engine.Phases()), (Doubles{10 * kDeg, 30 * kDeg}));
    EXPECT_FALSE(ImportText("b.csv", "f,dB,deg\n100,80,10\n200,81,\n300,82,\n"));
    EXPECT_FALSE(ImportText("c.csv", "f,dB,deg\n100,80,x\n200,81,x\n300,82,x\n"));
}

TEST_F(DelimitedImport, CommaDelimitedDecimalCommasAreNotMisread) {
    // Read by position these would be 1 Hz at 5 dB and 2 Hz at 5 dB.
    EXPECT_FALSE(ImportText("a.csv", "freq,spl\n1,5,80,2\n2,5,81,3\n3,5,82,4\n"));
    EXPECT_EQ(engine.Format(), ImportFormat::DelimitedColumns);
    ASSERT_TRUE(ImportText("b.csv", "freq,spl\n\"1,5\",\"80\"\n2.5,81\n3.5,82\n"));
    EXPECT_EQ(Values(engine.Frequencies()), (Doubles{2.5, 3.5}));
}

TEST_F(DelimitedImport, ImpedanceColumnsGiveAnImpedanceCurve) {
    ASSERT_TRUE(ImportText("z.csv", "\xEF\xBB\xBF\"Freq\";\"Z\";\"Phase\"\n10;6,5;45\n20;7;-45\n"));
    EXPECT_EQ(engine.Kind(), ImportKind::Impedance);
    EXPECT_EQ(Values(engine.ImpedanceMagnitudes()), (Doubles{6.5, 7}));
    EXPECT_EQ(Values(engine.ImpedancePhases()), (Doubles{45 * kDeg, -45 * kDeg}));
    EXPECT_TRUE(engine.Levels().Empty());
    EXPECT_TRUE(engine.LevelColumns().empty());
    EXPECT_EQ(engine.LevelColumn(), "");
    CBand band;
    EXPECT_FALSE(LoadSplCurve(band, engine, dir / "z.csv"));
}

TEST_F(DelimitedImport, AByteOrderMarkIsNoPartOfTheFirstName) {
    ASSERT_TRUE(ImportText("a.csv", "\xEF\xBB\xBF"
                                    "SPL,Freq\n80,100\n81,200\n"));
    EXPECT_EQ(engine.LevelColumns(), (Names{"SPL"}));
    EXPECT_EQ(Values(engine.Frequencies()), (Doubles{100, 200}));
    EXPECT_EQ(Values(engine.Levels()), (Doubles{80, 81}));
}

TEST_F(DelimitedImport, HeadersWithoutACurveAreUnknown) {
    for (const char* content :
         {"alpha,beta,gamma\n1,2,3\n4,5,6\n", "freq,gain,phase\n1,2,3\n4,5,6\n",
          "spl;phase\n1;2\n3;4\n", "freq spl\n1 2\n3 4\n"}) {
        EXPECT_FALSE(ImportText("a.csv", content)) << content;
        EXPECT_EQ(engine.Format(), ImportFormat::Unknown) << content;
        EXPECT_TRUE(engine.LevelColumns().empty());
    }
}

} // namespace
} // namespace kv
