#include "CliCommands.h"
#include "CliRun.h"
#include "hardware/CTAS3103.h"
#include "model/CConfiguration.h"
#include "support/PtyUnit.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <sstream>

namespace kv {
namespace {

int Cli(const std::vector<std::string>& words, std::string& err) {
    const test::CliRun run = test::RunCliWords(words);
    err = run.err;
    return run.status;
}

std::string NewDesign(const test::TempDir& dir) {
    const std::string file = (dir / "demo.ksv").string();
    std::string err;
    EXPECT_EQ(Cli({"new", "--ways", "3", "--title", "Demo", "-o", file}, err), 0) << err;
    return file;
}

TEST(CliProgram, ProgramsTheUnitWithTheDesignsImage) {
    test::TempDir dir;
    const std::string design = NewDesign(dir);
    test::PtyUnit unit;
    std::string err;
    ASSERT_EQ(Cli({"program", design, "--port", unit.DeviceName()}, err), 0) << err;
    EXPECT_NE(err.find("Programming the HMQ27: 20/20\n"), std::string::npos) << err;

    CConfiguration loaded;
    test::RecordingMessageBox messages;
    ASSERT_TRUE(loaded.Load(design, messages));
    CTAS3103 tas;
    const CTAS3103::Image image = tas.BuildImage(loaded);
    const test::Hmq27Firmware firmware = unit.Firmware();
    ASSERT_EQ(image.size(), 2368u);
    EXPECT_TRUE(std::equal(image.begin(), image.end(), firmware.eeprom.begin()));
}

TEST(CliProgram, UnitThatDoesNotAnswerIsOneMessage) {
    test::TempDir dir;
    const std::string design = NewDesign(dir);
    test::PtyUnit unit(test::UnitFaults{.wrongHandshake = true});
    std::string err;
    EXPECT_EQ(Cli({"program", design, "--port", unit.DeviceName()}, err), 1);
    EXPECT_EQ(err, "kestrelvane-cli: There is no HMQ27 connected to the COM port ! \n");
}

TEST(CliProgram, PortsThatAreNoPorts) {
    test::TempDir dir;
    const std::string design = NewDesign(dir);
    std::string err;
    EXPECT_EQ(Cli({"program", design}, err), 2);
    EXPECT_EQ(Cli({"program", design, "--port", "9"}, err), 2);
    EXPECT_EQ(Cli({"program", design, "--port", "0"}, err), 2);
    EXPECT_EQ(Cli({"program", design, "--port", "/nonexistent/ttyKV0"}, err), 1);
    EXPECT_EQ(err, "kestrelvane-cli: Failed to open COM port ! /nonexistent/ttyKV0: there is no "
                   "such device. Plug in the adapter, or choose another port.\n");
}

} // namespace
} // namespace kv
