#include "CliCommands.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <sstream>

namespace kv {
namespace {

struct CliRun {
    int status;
    std::string out;
    std::string err;
};

CliRun Cli(const std::vector<std::string>& words) {
    std::ostringstream out;
    std::ostringstream err;
    const int status = RunCli(words, out, err);
    return {status, out.str(), err.str()};
}

TEST(Cli, NewThenInfoShowsThreeDefaultBands) {
    test::TempDir dir;
    const std::string file = (dir / "demo.ksv").string();
    ASSERT_EQ(Cli({"new", "--ways", "3", "--title", "Demo", "-o", file}).status, 0);
    const CliRun info = Cli({"info", file, "--json"});
    ASSERT_EQ(info.status, 0) << info.err;
    EXPECT_NE(info.out.find(R"("title":"Demo","numBands":3,"sampleRate":96000)"), std::string::npos);
    for (const char* name : {"Output 1 (HF)", "Output 2 (MF)", "Output 3 (LF)"}) {
        EXPECT_NE(info.out.find(std::string("\"name\":\"") + name + "\",\"freeBiquads\":16"),
                  std::string::npos)
            << name;
    }
}

TEST(Cli, BadCommandLinesExitWithTwoAndFailuresWithOne) {
    EXPECT_EQ(Cli({}).status, 2);
    EXPECT_EQ(Cli({"frobnicate"}).status, 2);
    EXPECT_EQ(Cli({"new", "--ways", "4", "-o", "x.ksv"}).status, 2);
    EXPECT_EQ(Cli({"new", "--ways", "2"}).status, 2);
    EXPECT_EQ(Cli({"info"}).status, 2);
    EXPECT_EQ(Cli({"info", "a.ksv", "--bogus"}).status, 2);
    EXPECT_EQ(Cli({"--help"}).status, 0);
    EXPECT_EQ(Cli({"info", "--help"}).status, 0);

    const CliRun missing = Cli({"info", "/nonexistent/folder/none.ksv"});
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.err, "kestrelvane-cli: Couldn't open the file ! \n");
}

} // namespace
} // namespace kv
