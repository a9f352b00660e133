#include "CliRun.h"
#include "model/CConfiguration.h"
#include "support/TestSupport.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <sstream>

namespace kv {
namespace {

int RunWords(const std::vector<std::string>& words, std::string* out = nullptr,
             std::string* err = nullptr) {
    const test::CliRun run = test::RunCliWords(words);
    if (out != nullptr) {
        *out = run.out;
    }
    if (err != nullptr) {
        *err = run.err;
    }
    return run.status;
}

class CliResponses : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(RunWords({"new", "--ways", "2", "-o", design}), 0); }

    test::TempDir dir;
    std::string design = (dir / "d.ksv").string();
};

TEST_F(CliResponses, ExportWritesTheBandsAndTheTotalCurve) {
    const std::string band = (dir / "band.txt").string();
    const std::string total = (dir / "total.txt").string();
    ASSERT_EQ(RunWords({"export", design, "--band", "2", "-o", band}), 0);
    ASSERT_EQ(RunWords({"export", design, "--total", "-o", total}), 0);
    const auto bandBytes = test::ReadBytes(band);
    const std::string bandText(bandBytes.begin(), bandBytes.end());
    EXPECT_EQ(bandText.rfind("Freq      dB         Phase\r\n10.0000  0.00  0.00\r\n", 0), 0u);
    EXPECT_NE(bandText.find("\r\n40000.0  0.00  0.00\r\n"), std::string::npos);
    EXPECT_EQ(std::count(bandText.begin(), bandText.end(), '\n'), 577);
    const auto totalBytes = test::ReadBytes(total);
    const std::string totalText(totalBytes.begin(), totalBytes.end());
    // Two flat bands add up to 6.02 dB.
    EXPECT_NE(totalText.find("\r\n10.0000  6.02  0.00\r\n"), std::string::npos);
}

TEST_F(CliResponses, ExportRefusesAmbiguousOrMissingBands) {
    const std::string out = (dir / "x.txt").string();
    EXPECT_EQ(RunWords({"export", design, "-o", out}), 2);
    EXPECT_EQ(RunWords({"export", design, "--total", "--band", "1", "-o", out}), 2);
    EXPECT_EQ(RunWords({"export", design, "--band", "3", "-o", out}), 2);
    EXPECT_EQ(RunWords({"export", design, "--band", "0", "-o", out}), 2);
    std::string err;
    EXPECT_EQ(RunWords({"export", design, "--total", "-o", (dir / "no" / "x.txt").string()},
                       nullptr, &err),
              1);
    EXPECT_EQ(err, "kestrelvane-cli: Failed saving the curve ! The folder \"" +
                       (dir / "no").string() + "\" does not exist.\n");
}

TEST_F(CliResponses, ResponsesListEveryComputedCurve) {
    std::string out;
    ASSERT_EQ(RunWords({"responses", design, "--json"}, &out), 0);
    EXPECT_EQ(out.rfind(R"({"grid":[10,)", 0), 0u);
    EXPECT_NE(out.find(R"("sampleRate":96000,"pirLength":0.02,"bands":[{"filterResponse":[[1,0],)"),
              std::string::npos);
    for (const char* name : {"totalStep", "sumFilterResponse", "sumTargetStep", "sumTotalStep"}) {
        EXPECT_NE(out.find(std::string("\"") + name + "\":["), std::string::npos) << name;
    }
    EXPECT_EQ(out.find("nan"), std::string::npos);
    EXPECT_EQ(out.back(), '\n');
}

// The mute level's volume word holds 7 steps of 2^-23, which is what the
// unit plays instead of -122 dB.
TEST_F(CliResponses, ResponsesShowEveryBandAsTheUnitPlaysIt) {
    CConfiguration muted;
    ASSERT_TRUE(muted.New(2, 96000.0));
    ASSERT_TRUE(muted.bands[1].SetMuted(true));
    test::RecordingMessageBox messages;
    ASSERT_TRUE(muted.Save(design, messages));
    std::string out;
    ASSERT_EQ(RunWords({"responses", design, "--json"}, &out), 0);
    const std::size_t first = out.find(R"("hardwareResponse":[[1,0],)");
    ASSERT_NE(first, std::string::npos);
    EXPECT_NE(out.find(R"("hardwareResponse":[[8.344650268554688e-07,0],)", first),
              std::string::npos);
    EXPECT_NE(out.find(R"("filterResponse":[[7.9432823472)", first), std::string::npos);
}

} // namespace
} // namespace kv
