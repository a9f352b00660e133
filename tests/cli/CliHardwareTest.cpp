#include "CliCommands.h"
#include "CliRun.h"
#include "hardware/CTAS3103.h"
#include "model/CConfiguration.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <sstream>

namespace kv {
namespace {

const std::filesystem::path kData =
    std::filesystem::path(KV_SOURCE_DIR) / "tests/core/hardware/data";

int Cli(const std::vector<std::string>& words, std::string& err) {
    const test::CliRun run = test::RunCliWords(words);
    err = run.err;
    return run.status;
}

TEST(CliHardware, ImageAndCfgOfADesignAreWhatTheProgrammingWouldUse) {
    test::TempDir dir;
    const std::string design = (kData / "two-way.ksv").string();
    std::string err;
    ASSERT_EQ(Cli({"image", design, "-o", (dir / "out.bin").string()}, err), 0) << err;
    ASSERT_EQ(Cli({"cfg", design, "-o", (dir / "out.cfg").string()}, err), 0) << err;

    CConfiguration loaded;
    test::RecordingMessageBox messages;
    ASSERT_TRUE(loaded.Load(design, messages));
    CTAS3103 tas;
    const CTAS3103::Image image = tas.BuildImage(loaded);
    ASSERT_EQ(image.size(), 2368u);
    EXPECT_EQ(test::ReadBytes(dir / "out.bin"), image);
    EXPECT_EQ(test::ReadBytes(dir / "out.cfg"), test::ReadBytes(kData / "two-way.cfg"));
}

TEST(CliHardware, UnsafeDesignsAreRefusedAndNothingIsWritten) {
    test::TempDir dir;
    CConfiguration design;
    ASSERT_TRUE(design.New(1, 96000.0));
    for (int k = 0; k < 14; ++k) {
        ASSERT_TRUE(design.bands[0].SetPeq(k, 1.0, 100.0 * (k + 1), 1.0, true));
    }
    ASSERT_TRUE(design.bands[0].SetAllPass(1000.0, 1.0, true));
    ASSERT_TRUE(design.bands[0].SetLowShelf(2.0, 100.0, true));
    ASSERT_TRUE(design.bands[0].SetHighShelf(2.0, 8000.0, true));
    test::RecordingMessageBox messages;
    const std::string file = (dir / "crowded.ksv").string();
    ASSERT_TRUE(design.Save(file, messages));

    for (const char* command : {"image", "cfg"}) {
        std::string err;
        EXPECT_EQ(Cli({command, file, "-o", (dir / "out").string()}, err), 1);
        EXPECT_EQ(err, "kestrelvane-cli: Band 1 needs 17 biquads, but the TAS3103 has only 16 per "
                       "band.\n");
        EXPECT_FALSE(std::filesystem::exists(dir / "out"));
    }
    std::string err;
    EXPECT_EQ(Cli({"image", file}, err), 2);
    EXPECT_EQ(Cli({"cfg", file, "-o", (dir / "missing" / "out.cfg").string()}, err), 1);
}

TEST(CliHardware, InfoListsEachBandsBiquadsInHardwareOrder) {
    std::ostringstream out;
    std::ostringstream err;
    ASSERT_EQ(RunCli({"info", (kData / "two-way.ksv").string(), "--json"}, out, err), 0);
    const std::string json = out.str();
    const std::size_t first = json.find("\"biquads\":[[");
    ASSERT_NE(first, std::string::npos);
    const std::size_t second = json.find("\"biquads\":[[", first + 1);
    ASSERT_NE(second, std::string::npos);
    // Band 1: two high-pass sections; band 2: two low-pass sections and an
    // equaliser; six numbers each.
    const auto records = [&json](std::size_t from) {
        const std::size_t end = json.find("]]", from);
        int count = 0;
        for (std::size_t at = json.find('[', from + 11); at < end; at = json.find('[', at + 1)) {
            ++count;
        }
        return count;
    };
    EXPECT_EQ(records(first), 2);
    EXPECT_EQ(records(second), 3);
}

} // namespace
} // namespace kv
