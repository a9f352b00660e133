#include "archive/VPersistence.h"
#include "support/TestSupport.h"

#include <functional>
#include <gtest/gtest.h>

namespace kv {
namespace {

using test::ByteWriter;
using test::ReadBytes;
using test::TempDir;
using test::WriteBytes;
using Bytes = std::vector<std::uint8_t>;

Bytes StoreWith(const std::function<bool(VPersistence&)>& store) {
    TempDir dir;
    VPersistence archive;
    EXPECT_TRUE(archive.Open(dir / "a.bin", true));
    EXPECT_TRUE(store(archive));
    EXPECT_TRUE(archive.Close());
    return ReadBytes(dir / "a.bin");
}

TEST(Archive, EncodesItemsLittleEndianWithoutPadding) {
    EXPECT_EQ(StoreWith([](VPersistence& a) { return a.WriteString(""); }), (Bytes{1, 0, 0, 0, 0}));
    EXPECT_EQ(StoreWith([](VPersistence& a) { return a.WriteString("abc"); }),
              (Bytes{4, 0, 0, 0, 'a', 'b', 'c', 0}));
    EXPECT_EQ(StoreWith([](VPersistence& a) { return a.WriteTag("V", 1); }),
              (Bytes{2, 0, 0, 0, 'V', 0, 1, 0, 0, 0}));
    EXPECT_EQ(StoreWith([](VPersistence& a) {
                  return a.WriteInt32(-2) && a.WriteBool(true) && a.WriteDouble(1.0);
              }),
              (Bytes{0xFE, 0xFF, 0xFF, 0xFF, 1, 0, 0, 0, 0, 0, 0, 0xF0, 0x3F}));
}

class ArchiveReading : public ::testing::Test {
protected:
    void Load(const Bytes& bytes) {
        WriteBytes(dir / "in.bin", bytes);
        ASSERT_TRUE(archive.Open(dir / "in.bin", false));
    }

    TempDir dir;
    VPersistence archive;
};

TEST_F(ArchiveReading, ReadStringCutsToTheFieldAndSkipsTheWholeItem) {
    Load(ByteWriter().String("abcdef").Int32(77).String("xyz").Bytes());
    std::string text;
    ASSERT_TRUE(archive.ReadString(text, 3));
    EXPECT_EQ(text, "ab");
    std::int32_t next = 0;
    ASSERT_TRUE(archive.ReadInt32(next));
    EXPECT_EQ(next, 77);
    ASSERT_TRUE(archive.ReadString(text, -1));
    EXPECT_EQ(text, "xyz");
    EXPECT_FALSE(archive.ReadString(text, -1));
}

TEST_F(ArchiveReading, ImpossibleStringLengthsFailWithoutAllocating) {
    Load(ByteWriter().Int32(0x7FFFFFFF).String("abc").Bytes());
    std::string text = "kept";
    EXPECT_FALSE(archive.ReadString(text, -1));
    EXPECT_EQ(text, "kept");
}

TEST_F(ArchiveReading, ZeroAndNegativeStringLengthsAreRefused) {
    Load(ByteWriter().Int32(0).Int32(-5).Bytes());
    std::string text;
    EXPECT_FALSE(archive.ReadString(text, -1));
    EXPECT_FALSE(archive.ReadString(text, -1));
}

TEST_F(ArchiveReading, ExpectTagRewindsOnAMismatchSoAnotherReaderMayTry) {
    Load(ByteWriter().Tag("VComplexVec", 1).Int32(5).Bytes());
    std::int32_t version = 0;
    EXPECT_FALSE(archive.ExpectTag("VDoubleVec", version));
    ASSERT_TRUE(archive.ExpectTag("VComplexVec", version));
    EXPECT_EQ(version, 1);
    std::int32_t count = 0;
    ASSERT_TRUE(archive.ReadInt32(count));
    EXPECT_EQ(count, 5);
}

TEST_F(ArchiveReading, ReadTagWithRewindLeavesThePositionAtTheTag) {
    Load(ByteWriter().Tag("Name", 3).Bytes());
    std::string name;
    std::int32_t version = 0;
    ASSERT_TRUE(archive.ReadTag(name, version, true));
    EXPECT_EQ(name, "Name");
    EXPECT_EQ(version, 3);
    ASSERT_TRUE(archive.ReadTag(name, version, false));
    EXPECT_EQ(archive.RemainingBytes(), 0u);
}

TEST_F(ArchiveReading, ShortReadsFail) {
    Load({1, 2, 3});
    std::int32_t value = 0;
    EXPECT_FALSE(archive.ReadInt32(value));
    double d = 0;
    EXPECT_FALSE(archive.ReadDouble(d));
}

TEST(ArchiveModes, EachOperationWorksOnlyInItsMode) {
    TempDir dir;
    WriteBytes(dir / "in.bin", ByteWriter().Int32(1).Bytes());
    VPersistence archive;
    std::int32_t value = 0;
    std::string text;
    EXPECT_FALSE(archive.WriteInt32(1));
    EXPECT_FALSE(archive.ReadInt32(value));
    EXPECT_FALSE(archive.Close());

    ASSERT_TRUE(archive.Open(dir / "in.bin", false));
    EXPECT_FALSE(archive.WriteInt32(1));
    EXPECT_FALSE(archive.WriteString("x"));
    EXPECT_FALSE(archive.Open(dir / "other.bin", true));
    EXPECT_TRUE(archive.IsLoading());
    EXPECT_TRUE(archive.ReadInt32(value));
    EXPECT_TRUE(archive.Close());

    ASSERT_TRUE(archive.Open(dir / "out.bin", true));
    EXPECT_FALSE(archive.ReadInt32(value));
    EXPECT_FALSE(archive.ReadString(text, -1));
    std::int32_t version = 0;
    EXPECT_FALSE(archive.ExpectTag("x", version));
    EXPECT_TRUE(archive.Close());
    EXPECT_FALSE(std::filesystem::exists(dir / "other.bin"));
}

TEST(ArchiveWriting, NothingReplacesTheTargetUntilClose) {
    TempDir dir;
    const auto target = dir / "design.ksv";
    WriteBytes(target, {9, 9, 9});
    {
        VPersistence archive;
        ASSERT_TRUE(archive.Open(target, true));
        ASSERT_TRUE(archive.WriteString("new content"));
        EXPECT_EQ(ReadBytes(target), (Bytes{9, 9, 9}));
        // Destroyed without Close: an abandoned save.
    }
    EXPECT_EQ(ReadBytes(target), (Bytes{9, 9, 9}));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()),
                            std::filesystem::directory_iterator()),
              1);

    VPersistence archive;
    ASSERT_TRUE(archive.Open(target, true));
    ASSERT_TRUE(archive.WriteBool(true));
    ASSERT_TRUE(archive.Close());
    EXPECT_EQ(ReadBytes(target), (Bytes{1}));
}

TEST(ArchiveWriting, OpeningInAMissingFolderFails) {
    TempDir dir;
    VPersistence archive;
    EXPECT_FALSE(archive.Open(dir / "missing" / "x.ksv", true));
    EXPECT_FALSE(archive.IsOpen());
}

} // namespace
} // namespace kv
