#include "CliCommands.h"
#include "support/ModelledDrivers.h"
#include "support/TestSupport.h"

#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

namespace kv {
namespace {

class CliPhase : public ::testing::Test {
protected:
    int Run(const std::vector<std::string>& words) {
        std::ostringstream outStream;
        std::ostringstream errStream;
        const int status = RunCli(words, outStream, errStream);
        out = outStream.str();
        err = errStream.str();
        return status;
    }

    std::string Driver(const std::string& name, const test::DriverFile& file) {
        EXPECT_TRUE(test::WriteDriverFile(dir / name, file));
        return (dir / name).string();
    }

    test::TempDir dir;
    std::string design = (dir / "d.ksv").string();
    std::string saved = (dir / "out.ksv").string();
    std::string out;
    std::string err;
};

TEST_F(CliPhase, ImportSaysWhenAFileCarriesNoPhase) {
    const std::string level = Driver("level.txt", {&test::ModelledWoofer});
    ASSERT_EQ(Run({"import", level, "--json"}), 0) << err;
    EXPECT_NE(out.find("\"phaseContent\":\"none\""), std::string::npos);
    ASSERT_EQ(Run({"import", level}), 0) << err;
    EXPECT_NE(out.find("Phase: none\n"), std::string::npos);
    const std::string phase =
        Driver("phase.txt", {&test::ModelledWoofer, 90.0, 10.0, 40000.0, true});
    ASSERT_EQ(Run({"import", phase, "--json"}), 0) << err;
    EXPECT_EQ(out.find("phaseContent"), std::string::npos) << "as before for a phase";

    std::ostringstream delays;
    delays << "* Data: db(Response), Group Delay (sec)\n"
           << "100 80 0.0010\n200 81 0.0008\n400 82 0.0005\n";
    const std::string groupDelay = (dir / "g.frd").string();
    std::ofstream(groupDelay) << delays.str();
    ASSERT_EQ(Run({"import", groupDelay, "--json"}), 0) << err;
    EXPECT_NE(out.find("\"phases\":[0,0,0]"), std::string::npos) << out;
    EXPECT_NE(out.find("\"phaseContent\":\"groupDelay\",\"groupDelays\":[0.001,8e-04,5e-04]"),
              std::string::npos)
        << out;
}

TEST_F(CliPhase, LoadSplTakesThePhaseChoiceOffsetAndFlightTime) {
    ASSERT_EQ(Run({"new", "--ways", "2", "-o", design}), 0) << err;
    const std::string level = Driver("level.txt", {&test::ModelledWoofer});
    ASSERT_EQ(Run({"load-spl", design, "--band", "1", level, "-o", saved}), 0) << err;
    EXPECT_NE(err.find("carries no phase; the curve gets the minimum phase"), std::string::npos);

    const std::string far =
        Driver("far.txt", {&test::ModelledWoofer, 90.0, 10.0, 40000.0, true, 2.5e-3});
    ASSERT_EQ(Run({"load-spl", design, "--band", "1", far, "--remove-flight-time", "--offset",
                   "-0.1", "-o", saved}),
              0)
        << err;
    EXPECT_EQ(out, "Flight time removed: 2.5000 ms\n");
    ASSERT_EQ(Run({"load-spl", design, "--band", "1", far, "--phase", "minimum",
                   "--remove-flight-time", "-o", saved}),
              0);
    EXPECT_NE(err.find("--remove-flight-time was ignored"), std::string::npos);

    EXPECT_EQ(Run({"load-spl", design, "--band", "1", far, "--phase", "zero", "-o", saved}), 2);
    EXPECT_EQ(Run({"load-spl", design, "--band", "1", far, "--offset", "25", "-o", saved}), 2);
}

TEST_F(CliPhase, AlignPrintsAndSavesTheDelayAndPolarity) {
    ASSERT_EQ(Run({"new", "--ways", "2", "-o", design}), 0) << err;
    EXPECT_EQ(Run({"align", design, "--bands", "1,2", "-o", saved}), 1);
    EXPECT_NE(err.find("share no crossover"), std::string::npos) << err;
    EXPECT_EQ(Run({"align", design, "--bands", "1", "-o", saved}), 2);
    EXPECT_EQ(Run({"align", design, "--bands", "1,x", "-o", saved}), 2);

    const std::string example = std::string(KV_SOURCE_DIR) + "/examples/two-way.ksv";
    ASSERT_EQ(Run({"align", example, "--bands", "2,1", "-o", saved}), 0) << err;
    EXPECT_NE(out.find("Crossover of bands 2 and 1: 2200 Hz\nBand 1 delay: "), std::string::npos)
        << out;
    EXPECT_NE(out.find("Deviation before: "), std::string::npos);
    const std::string printed = out;
    ASSERT_EQ(Run({"align", saved, "--bands", "2,1", "-o", saved}), 0) << err;
    EXPECT_EQ(out.substr(0, out.find("Deviation before")),
              printed.substr(0, printed.find("Deviation before")))
        << "the saved design is aligned";
}

} // namespace
} // namespace kv
