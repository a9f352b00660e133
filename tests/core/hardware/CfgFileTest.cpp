#include "hardware/CTAS3103.h"
#include "model/CConfiguration.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

namespace kv {
namespace {

std::string ReadText(const std::filesystem::path& path) {
    const std::vector<std::uint8_t> bytes = test::ReadBytes(path);
    return {bytes.begin(), bytes.end()};
}

// The design of data/two-way.cfg, a file checked line by line against the
// chip's block listing: LR4 high-pass on band 1 and low-pass on band 2,
// routing, gain, delay, polarity, an equaliser and a bass boost.
void MakeTwoWay(CConfiguration& design) {
    ASSERT_TRUE(design.New(2, 96000.0));
    design.SetTitle("Golden 2-way");
    const CrossoverSettings lr4{.freq = 2400.0, .order = 4, .q = {0.7071, 0.7071, 1.0, 1.0}};
    CBand& hf = design.bands[0];
    CBand& lf = design.bands[1];
    ASSERT_TRUE(hf.SetHighPass(0, lr4) && hf.EnableHighPass(0, true));
    ASSERT_TRUE(lf.SetLowPass(0, lr4) && lf.EnableLowPass(0, true));
    ASSERT_TRUE(lf.SetInput(InputRoute::Both) && hf.SetGain(-3.0) && design.SetDelay(0, 0.0005));
    ASSERT_TRUE(lf.SetPeq(0, -4.0, 120.0, 2.0, true));
    ASSERT_TRUE(lf.SetBassGain(3.0) && lf.SetBassCorner(2) && lf.SetReversedPhase(true));
}

class CfgFile : public ::testing::Test {
protected:
    void SetUp() override {
        MakeTwoWay(design);
        image = tas.BuildImage(design);
        ASSERT_EQ(image.size(), CTAS3103::kImageSize);
    }

    test::TempDir dir;
    CConfiguration design;
    CTAS3103 tas;
    CTAS3103::Image image;
};

TEST_F(CfgFile, TwoWayDesignMatchesTheCheckedFile) {
    const std::filesystem::path path = dir / "out.cfg";
    ASSERT_EQ(tas.WriteCfgFile(path, design.title, image), "");
    EXPECT_EQ(ReadText(path), ReadText(std::filesystem::path(KV_SOURCE_DIR) /
                                       "tests/core/hardware/data/two-way.cfg"));
}

TEST_F(CfgFile, TitleLinesEndingAndDelayBlock) {
    const std::filesystem::path path = dir / "untitled.cfg";
    ASSERT_EQ(tas.WriteCfgFile(path, "", image), "");
    const std::string text = ReadText(path);
    const std::string separator(68, '/');
    EXPECT_EQ(text.rfind(separator + "\r\n// Title:     \r\n// Target:    TAS3103 / 24LC64\r\n", 0),
              0u);
    const std::string shortSeparator(40, '/');
    const std::string ending = shortSeparator + "\r\n// End Of File\r\n" + shortSeparator + "\r\n";
    EXPECT_EQ(text.substr(text.size() - ending.size()), ending);
    EXPECT_NE(text.find("\r\nXfa\r\n00 30 00 00\r\n00 00 00 00\r\n00 00 00 00\r\n\r\n// M and N"),
              std::string::npos);

    // A line break in a title cannot start a line of its own.
    ASSERT_EQ(tas.WriteCfgFile(path, "two\r\nX4f", image), "");
    EXPECT_NE(ReadText(path).find("// Title:     two  X4f\r\n"), std::string::npos);
}

TEST_F(CfgFile, FailuresLeaveTheOldFileAndSayWhy) {
    const std::filesystem::path path = dir / "keep.cfg";
    test::WriteBytes(path, {'o', 'l', 'd'});
    CTAS3103::Image partial(image.begin(), image.begin() + 100);
    EXPECT_EQ(tas.WriteCfgFile(path, "x", partial), "The EEPROM image is incomplete.");
    EXPECT_EQ(tas.WriteCfgFile(dir / "no-such-folder" / "out.cfg", "x", image),
              "The folder \"" + (dir / "no-such-folder").string() + "\" does not exist.");
    EXPECT_EQ(ReadText(path), "old");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 1);
}

} // namespace
} // namespace kv
