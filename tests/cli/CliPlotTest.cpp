#include "CliRun.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

namespace kv {
namespace {

test::CliRun Plot(std::vector<std::string> words) {
    words.insert(words.begin(), "plot");
    return test::RunCliWords(words);
}

// Width and height from a PNG file's header; 0 by 0 for anything else.
std::pair<int, int> PngSize(const std::filesystem::path& path) {
    const std::vector<std::uint8_t> bytes = test::ReadBytes(path);
    const std::vector<std::uint8_t> signature = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (bytes.size() < 24 || !std::equal(signature.begin(), signature.end(), bytes.begin())) {
        return {0, 0};
    }
    const auto bigEndian = [&](std::size_t at) {
        return bytes[at] << 24 | bytes[at + 1] << 16 | bytes[at + 2] << 8 | bytes[at + 3];
    };
    return {bigEndian(16), bigEndian(20)};
}

class CliPlotTest : public ::testing::Test {
protected:
    void SetUp() override {
        const test::CliRun run = test::RunCliWords({"new", "--ways", "2", "-o", design});
        ASSERT_EQ(run.status, 0) << run.err;
    }

    test::TempDir dir;
    const std::string design = (dir / "design.ksv").string();
};

TEST_F(CliPlotTest, EveryViewRendersAtTheDefaultSize) {
    for (const char* view : {"band", "total", "band-time", "total-time"}) {
        const auto png = dir / (std::string(view) + ".png");
        const test::CliRun run = Plot({design, "-o", png.string(), "--view", view});
        ASSERT_EQ(run.status, 0) << view << ": " << run.err;
        EXPECT_EQ(PngSize(png), std::pair(1200, 450)) << view;
    }
}

TEST_F(CliPlotTest, SizeBandAndSwitchesChangeThePicture) {
    const auto plain = dir / "plain.png";
    ASSERT_EQ(Plot({design, "-o", plain.string(), "--band", "2", "--size", "640x300"}).status, 0);
    EXPECT_EQ(PngSize(plain), std::pair(640, 300));
    const auto phase = dir / "phase.png";
    ASSERT_EQ(Plot({design, "-o", phase.string(), "--band", "2", "--size", "640x300", "--show",
                    "total,phase,groupdelay"})
                  .status,
              0);
    EXPECT_NE(test::ReadBytes(plain), test::ReadBytes(phase));
    const auto filter = dir / "filter.png";
    const auto hardware = dir / "hardware.png";
    ASSERT_EQ(Plot({design, "-o", filter.string(), "--show", "filter"}).status, 0);
    ASSERT_EQ(Plot({design, "-o", hardware.string(), "--show", "filter,hardware"}).status, 0);
    EXPECT_NE(test::ReadBytes(filter), test::ReadBytes(hardware));
}

TEST_F(CliPlotTest, BadRequestsAreRefusedWithoutWriting) {
    const auto png = dir / "never.png";
    const std::vector<std::vector<std::string>> requests = {
        {"--view", "sideways"}, {"--show", "total,volume"}, {"--size", "0x300"},
        {"--size", "640"},      {"--size", "99999x10"},     {"--band", "3"},
        {"--band", "0"}};
    for (const std::vector<std::string>& request : requests) {
        std::vector<std::string> words = {design, "-o", png.string()};
        words.insert(words.end(), request.begin(), request.end());
        const test::CliRun run = Plot(words);
        EXPECT_EQ(run.status, 2) << request[0] << " " << request[1];
        EXPECT_NE(run.err.find("kestrelvane-cli: "), std::string::npos);
    }
    EXPECT_FALSE(std::filesystem::exists(png));
}

TEST_F(CliPlotTest, UnreadableDesignAndUnwritableImageFail) {
    const auto png = dir / "plot.png";
    EXPECT_EQ(Plot({(dir / "missing.ksv").string(), "-o", png.string()}).status, 1);
    const test::CliRun unwritable = Plot({design, "-o", (dir / "no" / "plot.png").string()});
    EXPECT_EQ(unwritable.status, 1);
    EXPECT_NE(unwritable.err.find("Couldn't create the file ! "), std::string::npos);
}

} // namespace
} // namespace kv
