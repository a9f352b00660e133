#include "JsonWriter.h"

#include <cmath>
#include <gtest/gtest.h>
#include <sstream>

namespace kv {
namespace {

TEST(Json, NumbersReadBackExactlyAndNonFiniteOnesAreNull) {
    EXPECT_EQ(JsonNumber(0.1), "0.1");
    EXPECT_EQ(JsonNumber(2e-05), "2e-05");
    EXPECT_EQ(std::stod(JsonNumber(1.0 / 3.0)), 1.0 / 3.0);
    EXPECT_EQ(JsonNumber(96000.0), "96000");
    EXPECT_EQ(JsonNumber(std::nan("")), "null");
    EXPECT_EQ(JsonNumber(-INFINITY), "null");
}

TEST(Json, StringsAreEscapedAndAlwaysUtf8) {
    EXPECT_EQ(JsonString("a\"b\\c\n\x01"), R"("a\"b\\c\n\u0001")");
    EXPECT_EQ(JsonString("caf\xC3\xA9"), "\"caf\xC3\xA9\"");
    // A title saved in a single-byte code page: é as the byte E9.
    EXPECT_EQ(JsonString("caf\xE9"), "\"caf\xC3\xA9\"");
    EXPECT_EQ(JsonString("\xE2\x82"), "\"\xC3\xA2\xC2\x82\"");
}

TEST(Json, MembersAndElementsAreSeparated) {
    std::ostringstream out;
    JsonWriter json(out);
    json.BeginObject();
    json.Member("a", 1);
    json.Key("b").BeginArray();
    json.Value(true);
    json.BeginObject();
    json.EndObject();
    json.EndArray();
    json.Member("c", "x");
    json.EndObject();
    EXPECT_EQ(out.str(), R"({"a":1,"b":[true,{}],"c":"x"})");
}

} // namespace
} // namespace kv
