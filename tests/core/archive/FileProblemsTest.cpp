#include "archive/FileProblems.h"

#include <cerrno>
#include <cstdint>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace kv {
namespace {

std::string StartOf(const std::string& bytes) {
    return HowItStarts(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
}

TEST(FileProblems, SizesReadAsAFileManagerShowsThem) {
    EXPECT_EQ(SizeText(0), "0 bytes");
    EXPECT_EQ(SizeText(1), "1 byte");
    EXPECT_EQ(SizeText(999), "999 bytes");
    EXPECT_EQ(SizeText(1234), "1.2 kB");
    EXPECT_EQ(SizeText(999'960), "1.0 MB") << "never \"1000.0 kB\"";
    EXPECT_EQ(SizeText(3'400'000'000), "3.4 GB");
}

TEST(FileProblems, AFileStartIsShownAsItsFirstLineOrItsFirstBytes) {
    using namespace std::string_literals;
    EXPECT_EQ(StartOf("Frequency,SPL\r\n100,85\n"), "\"Frequency,SPL\"");
    EXPECT_EQ(StartOf("\xEF\xBB\xBFHz dB\n"), "\"Hz dB\"") << "a byte order mark is not text";
    EXPECT_EQ(StartOf("Größe\n"), "\"Größe\"");
    EXPECT_EQ(StartOf(std::string(60, 'a')), "\"" + std::string(40, 'a') + "…\"");
    EXPECT_EQ(StartOf("\x89PNG\r\n\x1A\n\0\0"s), "the bytes 89 50 4E 47 0D 0A 1A 0A");
    EXPECT_EQ(StartOf("\x13\x99"s), "the bytes 13 99");
    EXPECT_EQ(StartOf("ab\xC3"s), "the bytes 61 62 C3") << "a character cut off is not text";
}

TEST(FileProblems, AWriteFailureNamesWhatTheUserCanDoSomethingAbout) {
    const std::filesystem::path file = std::filesystem::path("/data") / "speakers" / "two.ksv";
    EXPECT_EQ(WhyNotWritten(file, ENOSPC), "The disk is full.");
    EXPECT_EQ(WhyNotWritten(file, EACCES),
              "You have no permission to write in the folder \"/data/speakers\".");
    EXPECT_EQ(WhyNotWritten(file, EROFS),
              "The folder \"/data/speakers\" is on a disk that can only be read.");
    EXPECT_EQ(WhyNotWritten(file, ENOENT), "The folder \"/data/speakers\" does not exist.");
    EXPECT_EQ(WhyNotWritten(file, EISDIR),
              "\"/data/speakers/two.ksv\" is a folder; choose a file name.");
    EXPECT_EQ(WhyNotWritten(file, 0), "\"/data/speakers/two.ksv\" could not be written.");
    EXPECT_EQ(WhyNotWritten("two.ksv", EACCES), "You have no permission to write in the folder \"" +
                                                    std::filesystem::current_path().string() +
                                                    "\".")
        << "a file name alone is in the current folder";
}

} // namespace
} // namespace kv
