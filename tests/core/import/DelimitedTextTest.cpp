#include "import/DelimitedText.h"

#include "import/VInputFile.h"

#include <cmath>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace kv {
namespace {

using Names = std::vector<std::string>;

DelimitedHeader HeaderOf(const std::vector<std::string>& names) {
    DelimitedHeader header;
    header.names = names;
    for (const std::string& name : names) {
        header.roles.push_back(RoleOfName(name));
    }
    return header;
}

// The header ReadDelimitedHeader finds in the content, and whether it found
// one.
bool ReadHeader(const std::string& content, DelimitedHeader& header) {
    VInputFile file;
    file.OpenMemory(reinterpret_cast<const std::uint8_t*>(content.data()), content.size());
    return ReadDelimitedHeader(file, header);
}

TEST(DelimitedText, TheFirstWordThatNamesARoleDecidesTheColumn) {
    EXPECT_EQ(RoleOfName("freq_hz"), ColumnRole::Frequency);
    EXPECT_EQ(RoleOfName("Frequency [Hz]"), ColumnRole::Frequency);
    EXPECT_EQ(RoleOfName("F"), ColumnRole::Frequency);
    EXPECT_EQ(RoleOfName("spl_db"), ColumnRole::Level);
    // "deg" names a phase, but "spl" comes first.
    EXPECT_EQ(RoleOfName("spl_30deg_db"), ColumnRole::Level);
    EXPECT_EQ(RoleOfName("Gain (dBSPL)"), ColumnRole::Level);
    EXPECT_EQ(RoleOfName("MAGNITUDE"), ColumnRole::Level);
    EXPECT_EQ(RoleOfName("phase_deg"), ColumnRole::Phase);
    EXPECT_EQ(RoleOfName("Phase(degrees)"), ColumnRole::Phase);
    EXPECT_EQ(RoleOfName("impedance_ohm"), ColumnRole::Impedance);
    EXPECT_EQ(RoleOfName("Z(Ohms)"), ColumnRole::Impedance);
    // One-letter names count only as whole words.
    EXPECT_EQ(RoleOfName("fs"), ColumnRole::Other);
    EXPECT_EQ(RoleOfName("zone"), ColumnRole::Other);
    EXPECT_EQ(RoleOfName("Group delay (ms)"), ColumnRole::Other);
    EXPECT_EQ(RoleOfName("30"), ColumnRole::Other);
    EXPECT_EQ(RoleOfName(""), ColumnRole::Other);
}

TEST(DelimitedText, CellsSplitOutsideQuotesOnly) {
    EXPECT_EQ(SplitCells(" \"Freq, Hz\" ,spl,\r", ',', 10), (Names{"Freq, Hz", "spl", ""}));
    EXPECT_EQ(SplitCells("\"say \"\"dB\"\"\";x", ';', 10), (Names{"say \"dB\"", "x"}));
    // A quote inside a cell is text, not the start of a quoted cell.
    EXPECT_EQ(SplitCells("12\" woofer,spl", ',', 10), (Names{"12\" woofer", "spl"}));
    EXPECT_EQ(SplitCells("\"unclosed,quote", ',', 10), (Names{"unclosed,quote"}));
    EXPECT_EQ(SplitCells("a\t b \t\tc", '\t', 10), (Names{"a", "b", "", "c"}));
    EXPECT_EQ(SplitCells("", ',', 10), (Names{""}));
    // The last cell holds the rest of a line wider than allowed.
    EXPECT_EQ(SplitCells("a,b,c,d", ',', 2), (Names{"a", "b,c,d"}));
}

TEST(DelimitedText, ACellIsANumberOnlyWhenAllOfItIs) {
    EXPECT_EQ(CellNumber("20.5", ','), 20.5);
    EXPECT_EQ(CellNumber("-1e3", ','), -1000.0);
    EXPECT_EQ(CellNumber("80,25", ';'), 80.25);
    EXPECT_EQ(CellNumber("80,25", '\t'), 80.25);
    // Under comma delimiters a comma in a quoted cell is a thousands
    // separator as likely as a decimal comma.
    EXPECT_EQ(CellNumber("1,234", ','), std::nullopt);
    EXPECT_EQ(CellNumber("1,234.5", ';'), std::nullopt);
    for (const char* cell : {"", "-", "n/a", "12 dB", "inf", "nan", "1e999", "1e"}) {
        EXPECT_EQ(CellNumber(cell, ';'), std::nullopt) << cell;
    }
}

TEST(DelimitedText, PhaseGoesWithTheMagnitudeColumnItFollows) {
    const DelimitedHeader header =
        HeaderOf({"freq", "spl 0", "phase 0", "spl 30", "group delay", "phase 30", "ohm"});
    EXPECT_EQ(LevelColumnNames(header), (Names{"spl 0", "spl 30"}));
    const std::optional<ChosenColumns> first = ChooseColumns(header, "");
    ASSERT_TRUE(first);
    EXPECT_EQ(first->kind, ImportKind::FrequencyResponse);
    EXPECT_EQ(first->frequency, 0u);
    EXPECT_EQ(first->magnitude, 1u);
    EXPECT_EQ(first->phase, 2u);
    const std::optional<ChosenColumns> second = ChooseColumns(header, "SPL 30");
    ASSERT_TRUE(second);
    EXPECT_EQ(second->magnitude, 3u);
    EXPECT_EQ(second->phase, 5u);
    EXPECT_FALSE(ChooseColumns(header, "spl 60"));
    EXPECT_FALSE(ChooseColumns(header, "phase 0"));

    // A phase column before any magnitude, or after the next one, is not
    // this magnitude's.
    const std::optional<ChosenColumns> noPhase =
        ChooseColumns(HeaderOf({"phase", "hz", "dB", "ohm", "deg"}), "");
    ASSERT_TRUE(noPhase);
    EXPECT_EQ(noPhase->magnitude, 2u);
    EXPECT_EQ(noPhase->phase, std::nullopt);
}

TEST(DelimitedText, ImpedanceIsReadOnlyWhereNoLevelColumnIs) {
    const std::optional<ChosenColumns> impedance = ChooseColumns(HeaderOf({"z", "f", "deg"}), "");
    ASSERT_TRUE(impedance);
    EXPECT_EQ(impedance->kind, ImportKind::Impedance);
    EXPECT_EQ(impedance->frequency, 1u);
    EXPECT_EQ(impedance->magnitude, 0u);
    EXPECT_EQ(impedance->phase, 2u);
    EXPECT_FALSE(ChooseColumns(HeaderOf({"z", "f", "deg"}), "z"));
    EXPECT_EQ(ChooseColumns(HeaderOf({"freq", "ohm", "spl"}), "")->magnitude, 2u);
    EXPECT_FALSE(ChooseColumns(HeaderOf({"spl", "phase"}), ""));
    EXPECT_FALSE(ChooseColumns(HeaderOf({"freq", "phase"}), ""));
}

TEST(DelimitedText, TheHeaderIsTheFirstLineThatIsNoComment) {
    DelimitedHeader header;
    ASSERT_TRUE(
        ReadHeader("\xEF\xBB\xBF\n# curve\n\n\"Freq (Hz)\";\"Level, dB\"\r\n1;2\n", header));
    EXPECT_EQ(header.delimiter, ';');
    EXPECT_EQ(header.names, (Names{"Freq (Hz)", "Level, dB"}));
    ASSERT_TRUE(ReadHeader("freq\tspl\x01x,y;z\n", header));
    EXPECT_EQ(header.delimiter, '\t');
    EXPECT_EQ(header.names, (Names{"freq", "spl x,y;z"}));

    EXPECT_FALSE(ReadHeader("freq spl phase\n1 2 3\n", header));
    EXPECT_FALSE(ReadHeader("alpha,beta,gamma\n1,2,3\n", header));
    EXPECT_FALSE(ReadHeader("# only\n# comments\n", header));
    EXPECT_FALSE(ReadHeader("20,80\n30,81\n", header));
}

TEST(DelimitedText, HeadersAreBoundedInWidthAndLength) {
    std::string wide = "freq,spl";
    for (std::size_t i = 2; i < kMaxDelimitedColumns; ++i) {
        wide += ",x";
    }
    DelimitedHeader header;
    ASSERT_TRUE(ReadHeader(wide + "\n", header));
    EXPECT_EQ(header.names.size(), kMaxDelimitedColumns);
    EXPECT_FALSE(ReadHeader(wide + ",x\n", header));

    const std::string name(kMaxDelimitedHeaderLength - 9, 'a');
    ASSERT_TRUE(ReadHeader("freq,spl," + name + "\r\n", header));
    EXPECT_FALSE(ReadHeader("freq,spl," + name + "a\n", header));
}

TEST(DelimitedText, RowsNeedNumbersInTheChosenColumnsAndNoStrayCells) {
    const DelimitedHeader header = HeaderOf({"freq", "spl", "phase", "note"});
    const ChosenColumns columns = *ChooseColumns(header, "");
    const auto row = [&](const std::string& line) {
        return ReadDelimitedRow(line, header, columns);
    };

    const std::optional<DelimitedRow> full = row("20, 80.5 ,-45,\"good, this\"\r");
    ASSERT_TRUE(full);
    EXPECT_EQ(full->frequency, 20.0);
    EXPECT_EQ(full->magnitude, 80.5);
    EXPECT_EQ(full->phase, -45.0);
    const std::optional<DelimitedRow> noPhase = row("20,80");
    ASSERT_TRUE(noPhase);
    EXPECT_TRUE(std::isnan(noPhase->phase));
    EXPECT_TRUE(row("20,80,,,"));

    EXPECT_FALSE(row(""));
    EXPECT_FALSE(row(",,,"));
    EXPECT_FALSE(row("20,,10"));
    EXPECT_FALSE(row("20,-,10"));
    EXPECT_FALSE(row("20,80,n/a"));
    // Decimal commas under comma delimiters: more cells than the header.
    EXPECT_FALSE(row("20,5,80,2,-45,0,x"));
}

} // namespace
} // namespace kv
