#include "import/ImportText.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>

namespace kv {
namespace {

TEST(ImportText, TokensSplitAtBlanksAndQuotedTokensKeepTheirBlanks) {
    std::string_view rest = "  1.5\t\"a b\"  c\"d";
    EXPECT_EQ(NextToken(rest), "1.5");
    EXPECT_EQ(NextToken(rest), "a b");
    EXPECT_EQ(NextToken(rest), "c\"d");
    EXPECT_EQ(NextToken(rest), "");
    EXPECT_EQ(CountTokens("\"unclosed quote runs on"), 1);
    std::string line = " \t\x01"
                       "\"Freq  Hz\" \t dB\r\x1A";
    CleanLine(line);
    NormalizeLine(line);
    EXPECT_EQ(line, "Freq  Hz dB");
}

TEST(ImportText, NumbersConvertTheirLeadingPartAndOtherwiseReadAsZero) {
    EXPECT_EQ(ParseNumber("+65.6568"), 65.6568);
    EXPECT_EQ(ParseNumber("-5,9765e+01"), -59.765);
    EXPECT_EQ(ParseNumber("12.5Hz"), 12.5);
    EXPECT_EQ(ParseNumber("abc"), 0.0);
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

TEST(ImportText, ValueAfterEqualsSkipsToTheFirstCharacterOfANumber) {
    EXPECT_EQ(ValueAfterEquals("Sens = approx -42,5 dB"), -42.5);
    EXPECT_EQ(ValueAfterEquals("Sens = approx. -42,5 dB"), 0.0);
    EXPECT_EQ(ValueAfterEquals("Sensitivity 12.3"), 0.0);
    EXPECT_EQ(ValueAfterEquals("x = 1e999"), 0.0);
}

} // namespace
} // namespace kv
