#include "archive/VString.h"

#include "archive/VPersistence.h"
#include "support/TestSupport.h"

#include <clocale>
#include <gtest/gtest.h>
#include <string>

namespace kv {
namespace {

using test::ByteWriter;
using test::ReadBytes;
using test::TempDir;
using test::WriteBytes;

TEST(VStringFormat, ReplacesTheContentAndCutsAtTheLimit) {
    VString text("old content");
    text.Format("%.*lf|%d|%s", 3, 1.5, -7, "x");
    EXPECT_EQ(text, "1.500|-7|x");

    text.Format("%s", std::string(VString::kMaxFormatted + 100, 'a').c_str());
    EXPECT_EQ(text.size(), VString::kMaxFormatted);
    text.Format("%s", "");
    EXPECT_TRUE(text.empty());
}

// A GUI toolkit switches the process to the user's locale on start-up.
TEST(VStringFormat, KeepsTheDecimalPointUnderALocaleWithADecimalComma) {
    const std::string previous = std::setlocale(LC_NUMERIC, nullptr);
    if (std::setlocale(LC_NUMERIC, "de_DE.UTF-8") == nullptr) {
        GTEST_SKIP() << "no German locale installed";
    }
    VString text;
    text.Format("%.2f", 2.25);
    std::setlocale(LC_NUMERIC, previous.c_str());
    EXPECT_EQ(text, "2.25");
}

class VStringArchive : public ::testing::Test {
protected:
    bool Load(const std::vector<std::uint8_t>& bytes, VString& text) {
        WriteBytes(dir / "in.bin", bytes);
        VPersistence archive;
        return archive.Open(dir / "in.bin", false) && text.Serialize(archive);
    }

    TempDir dir;
};

TEST_F(VStringArchive, StoresATaggedStringItemAndReadsItBack) {
    for (const std::string& original : {std::string("Woofer 1"), std::string()}) {
        VString stored;
        stored.assign(original);
        VPersistence out;
        ASSERT_TRUE(out.Open(dir / "s.bin", true));
        ASSERT_TRUE(stored.Serialize(out));
        ASSERT_TRUE(out.Close());
        EXPECT_EQ(ReadBytes(dir / "s.bin"),
                  ByteWriter().Tag("VString", 1).String(original).Bytes());

        VString loaded("previous");
        EXPECT_TRUE(Load(ReadBytes(dir / "s.bin"), loaded));
        EXPECT_EQ(loaded, original);
    }
}

TEST_F(VStringArchive, TakesTheTextUpToTheFirstZeroByte) {
    VString loaded;
    ASSERT_TRUE(Load(
        ByteWriter().Tag("VString", 1).Int32(6).Raw({'a', 'b', 0, 'c', 'd', 0}).Bytes(), loaded));
    EXPECT_EQ(loaded, "ab");
}

TEST_F(VStringArchive, RefusesOtherVersionsAndLengthsBeyondTheFile) {
    const std::vector<std::vector<std::uint8_t>> refused = {
        ByteWriter().Tag("VString", 2).String("abc").Bytes(),
        ByteWriter().Tag("VString", 0).String("abc").Bytes(),
        ByteWriter().Tag("VDoubleVec", 1).String("abc").Bytes(),
        ByteWriter().Tag("VString", 1).Int32(0x7FFFFFFF).Raw({'a', 'b', 'c', 0}).Bytes(),
        ByteWriter().Tag("VString", 1).Int32(5).Raw({'a', 'b', 'c', 0}).Bytes(),
        ByteWriter().Tag("VString", 1).Int32(-1).Bytes(),
    };
    for (const auto& bytes : refused) {
        VString loaded("kept");
        EXPECT_FALSE(Load(bytes, loaded));
        EXPECT_EQ(loaded, "kept");
    }
}

} // namespace
} // namespace kv
