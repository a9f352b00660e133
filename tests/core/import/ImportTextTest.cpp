#include "import/ImportText.h"

#include <clocale>
#include <cmath>
#include <gtest/gtest.h>
#include <limits>

namespace kv {
namespace {

std::string Cleaned(std::string line) {
    CleanLine(line);
    return line;
}

std::string Normalized(std::string line) {
    NormalizeLine(line);
    return line;
}

std::string AsDataLine(std::string line) {
    DataLine(line);
    return line;
}

TEST(ImportText, LinesAreCleanedOfBlanksAndControlCharactersAtBothEnds) {
    EXPECT_EQ(Cleaned(" \t\x01" "Freq dB\r\x1A"), "Freq dB");
    EXPECT_EQ(Cleaned("\r\n"), "");
    EXPECT_EQ(Normalized("Hz \t  dB\t\tdeg"), "Hz dB deg");
    EXPECT_EQ(Normalized("\"Freq  Hz\" dB"), "Freq  Hz dB");
}

TEST(ImportText, TokensSplitAtBlanksAndQuotedTokensKeepTheirBlanks) {
    std::string_view rest = "  1.5\t\"a b\"  c\"d";
    EXPECT_EQ(NextToken(rest), "1.5");
    EXPECT_EQ(NextToken(rest), "a b");
    EXPECT_EQ(NextToken(rest), "c\"d");
    EXPECT_EQ(NextToken(rest), "");
    EXPECT_EQ(CountTokens("  20 \"x y\" 30  "), 3);
    EXPECT_EQ(CountTokens("\"unclosed quote runs on"), 1);
    EXPECT_EQ(CountTokens(" \t "), 0);
}

TEST(ImportText, CommasAreColumnSeparatorsOnlyBesideDecimalPoints) {
    EXPECT_EQ(AsDataLine(" 1,5 80,2 -10\r"), "1,5 80,2 -10");
    EXPECT_EQ(AsDataLine("1.5,80.2,-10"), "1.5 80.2 -10");
    std::string_view rest = "1,5 80,2 -10";
    EXPECT_EQ(ParseNumber(NextToken(rest)), 1.5);
    EXPECT_EQ(ParseNumber(NextToken(rest)), 80.2);
    EXPECT_EQ(ParseNumber(NextToken(rest)), -10.0);
}

TEST(ImportText, NumericLinesStartWithASignAPointACommaOrADigit) {
    for (const char* line : {"+1", "-1", ".5", ",5", "7 x", "  \t9"}) {
        EXPECT_TRUE(IsNumericLine(line)) << line;
    }
    for (const char* line : {"", "  ", "* 1 2", "# 1", "e5", "Hz"}) {
        EXPECT_FALSE(IsNumericLine(line)) << line;
    }
}

TEST(ImportText, NumbersConvertTheirLeadingPartAndOtherwiseReadAsZero) {
    EXPECT_EQ(ParseNumber("+65.6568"), 65.6568);
    EXPECT_EQ(ParseNumber("-5.9765e+01"), -59.765);
    EXPECT_EQ(ParseNumber("12.5Hz"), 12.5);
    EXPECT_EQ(ParseNumber("1e"), 1.0);
    EXPECT_EQ(ParseNumber("abc"), 0.0);
    EXPECT_EQ(ParseNumber(""), 0.0);
    EXPECT_EQ(ParseNumber("+-3"), 0.0);
    EXPECT_EQ(ParseNumber(std::string(300, '1') + "e-300"), ParseNumber(std::string(255, '1')));
}

TEST(ImportText, NumbersBeyondTheDoubleRangeAreInfiniteOrZeroNeverGarbage) {
    EXPECT_EQ(ParseNumber("1e400"), std::numeric_limits<double>::infinity());
    EXPECT_EQ(ParseNumber("-1e400"), -std::numeric_limits<double>::infinity());
    EXPECT_EQ(ParseNumber("1e-400"), 0.0);
    EXPECT_TRUE(std::signbit(ParseNumber("-1e-400")));
    EXPECT_TRUE(std::isinf(ParseNumber("inf")));
    EXPECT_TRUE(std::isnan(ParseNumber("nan")));
}

TEST(ImportText, NumbersDoNotDependOnTheLocaleOfTheProcess) {
    // A desktop program runs in the user's locale, whose decimal separator
    // may be a comma.
    const char* previous = std::setlocale(LC_NUMERIC, nullptr);
    const std::string saved = previous != nullptr ? previous : "C";
    if (std::setlocale(LC_NUMERIC, "de_DE.UTF-8") == nullptr) {
        GTEST_SKIP() << "no German locale installed";
    }
    EXPECT_EQ(ParseNumber("1.5"), 1.5);
    EXPECT_EQ(ParseNumber("1,5"), 1.5);
    std::setlocale(LC_NUMERIC, saved.c_str());
}

TEST(ImportText, ValueAfterEqualsSkipsToTheNumber) {
    EXPECT_EQ(ValueAfterEquals("Sens = approx -42,5 dB"), -42.5);
    EXPECT_EQ(ValueAfterEquals("Sens = approx. -42,5 dB"), 0.0);
    EXPECT_EQ(ValueAfterEquals("Ref Sensitivity=12.3mV/Pa"), 12.3);
    EXPECT_EQ(ValueAfterEquals("Sensitivity 12.3"), 0.0);
    EXPECT_EQ(ValueAfterEquals("x = none"), 0.0);
    EXPECT_EQ(ValueAfterEquals("x = 1e999"), 0.0);
}

TEST(ImportText, PrefixesCompareWithoutRegardToCase) {
    EXPECT_TRUE(StartsWithNoCase("hz DB deg", "Hz dB"));
    EXPECT_FALSE(StartsWithNoCase("Hz", "Hz dB"));
    EXPECT_TRUE(EqualsNoCase("wAv", "WAV"));
    EXPECT_FALSE(EqualsNoCase("wa", "WAV"));
}

} // namespace
} // namespace kv
