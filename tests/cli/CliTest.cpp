#include "CliRun.h"
#include "support/ProjectFileBytes.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <sstream>

namespace kv {
namespace {

using test::CliRun;

CliRun Cli(const std::vector<std::string>& words) {
    return test::RunCliWords(words);
}

TEST(Cli, NewThenInfoShowsThreeDefaultBands) {
    test::TempDir dir;
    const std::string file = (dir / "demo.ksv").string();
    ASSERT_EQ(Cli({"new", "--ways", "3", "--title", "Demo", "-o", file}).status, 0);
    const CliRun info = Cli({"info", file, "--json"});
    ASSERT_EQ(info.status, 0) << info.err;
    EXPECT_NE(info.out.find(R"("title":"Demo","numBands":3,"sampleRate":96000)"),
              std::string::npos);
    for (const char* name : {"Output 1 (HF)", "Output 2 (MF)", "Output 3 (LF)"}) {
        EXPECT_NE(info.out.find(std::string("\"name\":\"") + name + "\",\"freeBiquads\":16"),
                  std::string::npos)
            << name;
    }
}

// The readable summary names every filter that shapes a band, as --json
// lists them; a switched-off one is not worth a line.
TEST(Cli, InfoTextListsEveryFilterThatIsOn) {
    test::TempDir dir;
    CConfiguration design;
    ASSERT_TRUE(design.New(1, 96000.0));
    CBand& band = design.bands[0];
    ASSERT_TRUE(band.SetPeq(2, -4.5, 250.0, 2.0, true));
    ASSERT_TRUE(band.SetPeq(3, 6.0, 500.0, 1.0, false));
    ASSERT_TRUE(band.SetNotch(1, 3000.0, 8.0, true));
    ASSERT_TRUE(band.SetLowShelf(3.0, 120.0, true));
    ASSERT_TRUE(band.SetBassGain(2.5));
    test::RecordingMessageBox messages;
    ASSERT_TRUE(design.Save(dir / "eq.ksv", messages));
    const CliRun info = Cli({"info", (dir / "eq.ksv").string()});
    ASSERT_EQ(info.status, 0) << info.err;
    EXPECT_NE(info.out.find("  Equaliser 3: -4.5 dB at 250 Hz, Q 2\n"), std::string::npos)
        << info.out;
    EXPECT_EQ(info.out.find("Equaliser 4"), std::string::npos);
    EXPECT_NE(info.out.find("  Notch 2: 3000 Hz, Q 8\n"), std::string::npos);
    EXPECT_NE(info.out.find("  Low shelf: 3 dB at 120 Hz\n"), std::string::npos);
    EXPECT_NE(info.out.find("  Bass 2.5 dB below 250 Hz, treble 0 dB above 6000 Hz\n"),
              std::string::npos);
}

TEST(Cli, ResaveTurnsAnOldestVersionFileIntoTheCurrentLayout) {
    test::TempDir dir;
    CConfiguration design;
    ASSERT_TRUE(design.New(2, 96000.0));
    design.SetTitle("Old design");
    design.sampleRate = 44100.0;
    design.inputGain = 3.0;
    for (CBand& band : design.bands) {
        band.gain = -3.5;
        band.hpEnabled[0] = true;
        band.hpFilter[0].order = 4;
        band.hpFilter[1].freq = 123.0;
        band.notch[0] = {300.0, 2.0, true};
        band.notch[3] = {900.0, 2.0, true};
        band.peq[2] = {6.0, 2000.0, 3.0, true};
        band.peq[10] = {6.0, 2000.0, 3.0, true};
        band.reversedPhase = true;
        band.muted = true;
    }
    const std::string in = (dir / "old.ksv").string();
    test::WriteBytes(in, test::WriteFile(design, 1));
    const std::string out = (dir / "new.ksv").string();
    const CliRun run = Cli({"resave", in, "-o", out});
    ASSERT_EQ(run.status, 0) << run.err;

    // What the current layout holds for everything the oldest one lacks.
    const CBand fresh;
    design.sampleRate = 96000.0;
    design.inputGain = 0.0;
    for (CBand& band : design.bands) {
        band.hpFilter[1] = fresh.hpFilter[1];
        for (int k = 1; k < kNotches; ++k) {
            band.notch[k] = {1000.0 * (k + 1), 25.0, false};
        }
        for (int k = 8; k < kEqualisers; ++k) {
            band.peq[k] = fresh.peq[k];
        }
        band.reversedPhase = false;
        band.muted = false;
    }
    EXPECT_EQ(test::ReadBytes(out), test::WriteFile(design, 5, in));
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
    EXPECT_EQ(missing.err,
              "kestrelvane-cli: Couldn't open the file ! \"/nonexistent/folder/none.ksv\" "
              "does not exist.\n");
}

} // namespace
} // namespace kv
