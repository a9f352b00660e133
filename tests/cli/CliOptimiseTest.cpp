#include "CliRun.h"
#include "hardware/HardwareCheck.h"
#include "model/CConfiguration.h"
#include "model/MainGrid.h"
#include "support/ModelledDrivers.h"
#include "support/ReferenceFit.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <regex>

namespace kv {
namespace {

using test::RunCliWords;

constexpr int kEqualisersAsked = 6;

// The number a JSON member holds, found by its path's last two names.
double JsonNumber(const std::string& json, const std::string& object, const std::string& member) {
    const std::regex pattern("\"" + object + "\":\\{[^}]*\"" + member + "\":([-0-9.eE+]+)");
    std::smatch match;
    EXPECT_TRUE(std::regex_search(json, match, pattern)) << object << "." << member;
    return match.empty() ? 0.0 : std::stod(match[1].str());
}

class CliOptimise : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(CreateMainGrid(grid));
        CConfiguration design;
        ASSERT_TRUE(test::BuildWooferBand(design, dir / "woofer.txt"));
        ASSERT_TRUE(design.Save(input, messages));
    }

    // The design as the program loads and computes it.
    void Load(const std::string& path, CConfiguration& design) {
        ASSERT_TRUE(design.Load(path, messages));
        design.Recalculate(&grid, kMainPirLength);
    }

    test::TempDir dir;
    VFreqVec grid;
    test::RecordingMessageBox messages;
    std::string input = (dir / "two-way.ksv").string();
    std::string output = (dir / "optimised.ksv").string();
};

// How close the fit gets is the optimiser's own test; here, that the command
// saves what it reports and keeps to what it was asked.
TEST_F(CliOptimise, SixEqualisersAndTheGainSaveWhatTheReportSays) {
    const test::CliRun run =
        RunCliWords({"optimise", input, "--band", "1", "--peqs", std::to_string(kEqualisersAsked),
                     "--gain", "-o", output, "--json"});
    ASSERT_EQ(run.status, 0) << run.err;
    CConfiguration before;
    Load(input, before);
    const OptimiseOptions options = DefaultOptimiseOptions(before.bands[0]);

    CConfiguration after;
    Load(output, after);
    const std::vector<double> heard = test::HeardDeviation(after, 0, options.fromHz, options.toHz);
    EXPECT_NEAR(JsonNumber(run.out, "after", "rmsDb"), test::Rms(heard), 1e-9);
    EXPECT_NEAR(JsonNumber(run.out, "after", "largestDb"), test::Largest(heard), 1e-9);
    EXPECT_GT(JsonNumber(run.out, "before", "rmsDb"), 1.0);
    EXPECT_GE(after.bands[0].FreeBiquads(), 0);
    int enabled = 0;
    for (const PeqSettings& peq : after.bands[0].peq) {
        enabled += peq.enabled ? 1 : 0;
    }
    EXPECT_LE(enabled, kEqualisersAsked);
    EXPECT_TRUE(HardwareCheck(after).Run().empty());
    EXPECT_EQ(RunCliWords({"image", output, "-o", (dir / "unit.bin").string()}).status, 0)
        << "the unit can be programmed with it";
}

TEST_F(CliOptimise, PrintsTheDeviationTheEqualisersSetAndTheTimeTaken) {
    const test::CliRun run = RunCliWords({"optimise", input, "--band", "1", "--from", "100", "--to",
                                          "3000", "--peqs", "2", "-o", output});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(std::regex_search(run.out, std::regex("^Band 1 from 100 Hz to 3000 Hz\n")));
    EXPECT_TRUE(std::regex_search(
        run.out, std::regex("\nDeviation before: [0-9.]+ dB RMS, [0-9.]+ dB largest\n")));
    EXPECT_TRUE(std::regex_search(
        run.out, std::regex("\nDeviation after:  [0-9.]+ dB RMS, [0-9.]+ dB largest\n")));
    const std::regex equaliser("\nEqualiser [0-9]+: [0-9.]+ Hz, -?[0-9.]+ dB, Q [0-9.]+");
    EXPECT_EQ(std::distance(std::sregex_iterator(run.out.begin(), run.out.end(), equaliser),
                            std::sregex_iterator()),
              2);
    EXPECT_TRUE(std::regex_search(run.out, std::regex("\nTime: [0-9.]+ s\n$")));
    EXPECT_EQ(run.out.find("Gain:"), std::string::npos) << "the gain was not to change";
}

TEST_F(CliOptimise, RefusesARangeOrACountTheBandCannotHave) {
    const auto status = [&](std::vector<std::string> extra) {
        std::vector<std::string> words{"optimise", input, "-o", output};
        words.insert(words.end(), extra.begin(), extra.end());
        return RunCliWords(words);
    };
    EXPECT_EQ(status({}).status, 2) << "no --band";
    EXPECT_EQ(status({"--band", "1", "--from", "10"}).status, 2);
    EXPECT_EQ(status({"--band", "1", "--to", "30000"}).status, 2);
    EXPECT_EQ(status({"--band", "1", "--from", "3000", "--to", "1000"}).status, 2);
    EXPECT_EQ(status({"--band", "1", "--peqs", "15"}).status, 2);
    const test::CliRun full = status({"--band", "1", "--peqs", "13"});
    EXPECT_EQ(full.status, 1);
    EXPECT_EQ(full.err, "kestrelvane-cli: The band has room for 12 equalisers, not 13: switch "
                        "off filters to free biquads.\n");
    EXPECT_FALSE(std::filesystem::exists(output));
}

} // namespace
} // namespace kv
