#include "CliCommands.h"
#include "core/import/ImportFiles.h"
#include "model/CConfiguration.h"
#include "support/ModelledDrivers.h"
#include "support/TestSupport.h"

#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

namespace kv {
namespace {

class CliImport : public ::testing::Test {
protected:
    int Run(const std::vector<std::string>& words) {
        std::ostringstream outStream;
        std::ostringstream errStream;
        const int status = RunCli(words, outStream, errStream);
        out = outStream.str();
        err = errStream.str();
        return status;
    }

    std::string Write(const std::string& name, const std::string& content) {
        std::ofstream(dir / name, std::ios::binary) << content;
        return (dir / name).string();
    }

    std::string Mlssa() {
        test::ByteWriter writer;
        writer.Raw({0xDE, 0xBC, 0xFF, 0xFF, 0, 0, 0x80, 0x3F}).Int32(3);
        writer.Double(0.0).Raw({0, 0, 0x80, 0x3F, 0, 0, 0, 0, 0, 0, 0, 0x40, 0, 0, 0, 0});
        writer.Raw(std::vector<std::uint8_t>(846, 0));
        test::WriteBytes(dir / "m.mls", writer.Bytes());
        return (dir / "m.mls").string();
    }

    test::TempDir dir;
    std::string out;
    std::string err;
};

TEST_F(CliImport, ImportPrintsEveryResultField) {
    const std::string file = Write("w.frd", "20 85.5 0\n10 80 180\n5 70 0\n");
    ASSERT_EQ(Run({"import", file, "--json"}), 0) << err;
    EXPECT_EQ(out, "{\"format\":4,\"kind\":1,\"binary\":false,\"frequencies\":[5,10,20],"
                   "\"levels\":[70,80,85.5],\"phases\":[0,3.141592653589793,0],"
                   "\"impedanceMagnitudes\":[],\"impedancePhases\":[],\"timeSamples\":[],"
                   "\"sampleRate\":0,\"sensitivity\":0}\n");
    ASSERT_EQ(Run({"import", file}), 0);
    EXPECT_EQ(out, "Format: 4 (text)\nKind: 1 (frequency response)\nPoints: 3, 5 Hz to 20 Hz\n");
}

TEST_F(CliImport, ImportSaysWhichLevelColumnOfDelimitedTextItRead) {
    const std::string file = Write("c.csv", "freq;spl 0;spl 30\n10;80,5;70\n20;81;\n");
    ASSERT_EQ(Run({"import", file, "--json"}), 0) << err;
    EXPECT_EQ(out, "{\"format\":22,\"kind\":1,\"binary\":false,\"frequencies\":[10,20],"
                   "\"levels\":[80.5,81],\"phases\":[0,0],\"impedanceMagnitudes\":[],"
                   "\"impedancePhases\":[],\"timeSamples\":[],\"sampleRate\":0,"
                   "\"sensitivity\":0,\"phaseContent\":\"none\",\"levelColumn\":\"spl 0\","
                   "\"levelColumns\":[\"spl 0\",\"spl 30\"]}\n");
    ASSERT_EQ(Run({"import", file}), 0);
    EXPECT_EQ(out, "Format: 22 (text)\nKind: 1 (frequency response)\nPoints: 2, 10 Hz to 20 Hz\n"
                   "Phase: none\nLevel column: spl 0 (of spl 0, spl 30)\n");
}

TEST_F(CliImport, TheMlssaQuestionIsAnsweredFromTheCommandLine) {
    const std::string file = Mlssa();
    ASSERT_EQ(Run({"import", file, "--json"}), 0) << err;
    EXPECT_NE(out.find("\"kind\":1,"), std::string::npos);
    EXPECT_NE(out.find("\"frequencies\":[1000,2000]"), std::string::npos);
    EXPECT_EQ(err, "kestrelvane-cli: Is the MLSSA file \"m.mls\" a SPL curve ? \n");
    ASSERT_EQ(Run({"import", file, "--json", "--spl-is-impedance"}), 0) << err;
    EXPECT_NE(out.find("\"kind\":2,"), std::string::npos);
    EXPECT_NE(out.find("\"impedanceMagnitudes\":[0,0]"), std::string::npos);
}

TEST_F(CliImport, ImportFailuresSayWhy) {
    EXPECT_EQ(Run({"import", (dir / "none.frd").string()}), 1);
    EXPECT_EQ(err, "kestrelvane-cli: Couldn't open the file ! \"" + (dir / "none.frd").string() +
                       "\" does not exist.\n");
    const std::string text = Write("notes.txt", "some\nplain\ntext\n");
    EXPECT_EQ(Run({"import", text}), 1);
    EXPECT_EQ(err, "kestrelvane-cli: Unknown measurement file format: " + text +
                       " (it holds no numbers)\n");
    const std::string empty = Write("empty.xop", "title\nno\ndata\n");
    EXPECT_EQ(Run({"import", empty}), 1);
    EXPECT_EQ(err, "kestrelvane-cli: Failed to read the measurement file: " + empty +
                       " (an XOP file: its name ends in .xop, but its data could not be read)\n");
    EXPECT_EQ(Run({"import"}), 2);
    EXPECT_EQ(Run({"import", text, "--bogus"}), 2);
}

TEST_F(CliImport, LoadSplPutsTheCurveIntoTheBandAndSaves) {
    const std::string design = (dir / "d.ksv").string();
    const std::string saved = (dir / "out.ksv").string();
    ASSERT_EQ(Run({"new", "--ways", "2", "-o", design}), 0) << err;
    const std::string curve = Write("w.frd", "10 80 0\n20 81 0\n40 82 0\n");
    ASSERT_EQ(Run({"load-spl", design, "--band", "2", curve, "--smoothing", "6", "-o", saved}), 0)
        << err;
    ASSERT_EQ(Run({"info", saved, "--json"}), 0) << err;
    EXPECT_NE(out.find("\"splFileName\":\"" + curve + "\",\"splSmoothing\":6,\"splPoints\":3"),
              std::string::npos);
    EXPECT_NE(out.find("\"splFileName\":\"\",\"splSmoothing\":48,\"splPoints\":0"),
              std::string::npos);
}

TEST_F(CliImport, LoadSplReadsTheLevelColumnNamedByColumn) {
    const std::string design = (dir / "d.ksv").string();
    const std::string saved = (dir / "out.ksv").string();
    ASSERT_EQ(Run({"new", "--ways", "1", "-o", design}), 0) << err;
    const std::string curves = Write("c.csv", "freq,spl 0,spl 30\n10,80,\n20,81,70\n40,82,71\n");
    ASSERT_EQ(Run({"load-spl", design, "--band", "1", curves, "-o", saved}), 0) << err;
    ASSERT_EQ(Run({"info", saved, "--json"}), 0) << err;
    EXPECT_NE(out.find("\"splPoints\":3"), std::string::npos);
    ASSERT_EQ(Run({"load-spl", design, "--band", "1", curves, "--column", "SPL 30", "-o", saved}),
              0)
        << err;
    ASSERT_EQ(Run({"info", saved, "--json"}), 0) << err;
    EXPECT_NE(out.find("\"splPoints\":2"), std::string::npos);

    std::filesystem::remove(saved);
    EXPECT_EQ(Run({"load-spl", design, "--band", "1", curves, "--column", "spl 60", "-o", saved}),
              1);
    EXPECT_EQ(err, "kestrelvane-cli: No level column \"spl 60\" in " + curves +
                       " (it has spl 0, spl 30)\n");
    const std::string plain = Write("w.frd", "10 80 0\n20 81 0\n40 82 0\n");
    EXPECT_EQ(Run({"load-spl", design, "--band", "1", plain, "--column", "spl", "-o", saved}), 1);
    EXPECT_EQ(err, "kestrelvane-cli: No level column \"spl\" in " + plain +
                       " (it names no level column)\n");
    EXPECT_FALSE(std::filesystem::exists(saved));
}

TEST_F(CliImport, TheDatasheetSpreadsheetsLoadAsTheirKinds) {
    const std::filesystem::path folder =
        std::filesystem::path(KV_MEASUREMENTS_DIR) / "mk3-reference-loudspeaker";
    if (!std::filesystem::is_directory(folder)) {
        GTEST_SKIP() << "no measurement files at " << folder;
    }
    const std::string design = (dir / "d.ksv").string();
    const std::string saved = (dir / "out.ksv").string();
    ASSERT_EQ(Run({"new", "--ways", "2", "-o", design}), 0) << err;
    const std::string spl = (folder / "SB26STAC-C000-4_freq_response.csv").string();
    ASSERT_EQ(
        Run({"load-spl", design, "--band", "2", spl, "--column", "spl_30deg_db", "-o", saved}), 0)
        << err;
    ASSERT_EQ(Run({"info", saved, "--json"}), 0) << err;
    EXPECT_NE(out.find("\"splPoints\":92"), std::string::npos);

    const std::string impedance = (folder / "H2606-920000_impedance.csv").string();
    ASSERT_EQ(Run({"import", impedance}), 0) << err;
    EXPECT_EQ(out, "Format: 22 (text)\nKind: 2 (impedance)\nPoints: 67, 216.09 Hz to 9965.73 Hz\n");
    std::filesystem::remove(saved);
    EXPECT_EQ(Run({"load-spl", design, "--band", "1", impedance, "-o", saved}), 1);
    EXPECT_EQ(err, "kestrelvane-cli: Failed to import the SPL curve! \"" + impedance +
                       "\" is an impedance curve, not a driver's response.\n");
    EXPECT_FALSE(std::filesystem::exists(saved));
}

TEST_F(CliImport, LoadSplRefusesWhatIsNoSplCurve) {
    const std::string design = (dir / "d.ksv").string();
    const std::string saved = (dir / "out.ksv").string();
    ASSERT_EQ(Run({"new", "--ways", "2", "-o", design}), 0) << err;
    const std::string impedance = Write("w.zma", "10 6 0\n20 7 0\n40 8 0\n");
    EXPECT_EQ(Run({"load-spl", design, "--band", "1", impedance, "-o", saved}), 1);
    EXPECT_EQ(err, "kestrelvane-cli: Failed to import the SPL curve! \"" + impedance +
                       "\" is an impedance curve, not a driver's response.\n");
    EXPECT_FALSE(std::filesystem::exists(saved));

    const std::string curve = Write("w.frd", "10 80 0\n20 81 0\n40 82 0\n");
    EXPECT_EQ(Run({"load-spl", design, "--band", "3", curve, "-o", saved}), 2);
    EXPECT_EQ(Run({"load-spl", design, curve, "-o", saved}), 2);
    EXPECT_EQ(Run({"load-spl", design, "--band", "1", curve, "--smoothing", "49", "-o", saved}), 2);
    EXPECT_FALSE(std::filesystem::exists(saved));
}

// The samples as a 48 kHz float WAV file.
std::string ImpulseWave(const std::filesystem::path& path, std::vector<float> samples) {
    test::ByteWriter data;
    for (const float s : samples) {
        test::Float32(data, s);
    }
    test::WriteBytes(
        path, test::MakeWave({.formatTag = 3, .blockAlign = 4, .bits = 32, .data = data.Bytes()}));
    return path.string();
}

std::vector<float> UnitImpulse(int count) {
    std::vector<float> samples(static_cast<std::size_t>(count), 0.0f);
    samples[0] = 1.0f;
    return samples;
}

class CliGate : public CliImport {
protected:
    void SetUp() override { ASSERT_EQ(Run({"new", "--ways", "1", "-o", design}), 0) << err; }

    // The lowest frequency of the saved band's curve.
    double LowestFrequency() {
        CConfiguration loaded;
        test::RecordingMessageBox messages;
        EXPECT_TRUE(loaded.Load(saved, messages));
        return loaded.bands[0].splFreqs.Empty() ? 0.0 : loaded.bands[0].splFreqs[0];
    }

    std::string design = (dir / "d.ksv").string();
    std::string saved = (dir / "out.ksv").string();
};

// The curve starts at 1 / gate length: 200 Hz for the default 5 ms.
TEST_F(CliGate, LoadSplGatesAnImpulseResponseAsAsked) {
    const std::string wave = ImpulseWave(dir / "ir.wav", UnitImpulse(4800));
    ASSERT_EQ(Run({"load-spl", design, "--band", "1", wave, "-o", saved}), 0) << err;
    EXPECT_EQ(err, "");
    EXPECT_NEAR(LowestFrequency(), 200.0, 3.0);
    // 2.51 ms is gated at a whole 120 samples, which the file holds.
    ASSERT_EQ(Run({"load-spl", design, "--band", "1", wave, "--gate", "2.51", "--window",
                   "hanning (COS)", "-o", saved}),
              0)
        << err;
    EXPECT_EQ(err, "");
    EXPECT_NEAR(LowestFrequency(), 400.0, 6.0);
}

TEST_F(CliGate, AGateLongerThanTheFileIsClampedWithANote) {
    const std::string wave = ImpulseWave(dir / "ir.wav", UnitImpulse(96));
    ASSERT_EQ(Run({"load-spl", design, "--band", "1", wave, "--gate", "50", "-o", saved}), 0);
    EXPECT_EQ(err, "kestrelvane-cli: the impulse response ends 2.00 ms after its peak; gated "
                   "there\n");
    EXPECT_NEAR(LowestFrequency(), 500.0, 8.0);
}

TEST_F(CliGate, AFrequencyResponseIgnoresTheGateWithANote) {
    const std::string curve = Write("w.frd", "10 80 0\n20 81 -5\n40 82 -10\n");
    ASSERT_EQ(Run({"load-spl", design, "--band", "1", curve, "--gate", "20", "-o", saved}), 0);
    EXPECT_EQ(err, "kestrelvane-cli: the file holds a frequency response; --gate and --window "
                   "apply to impulse responses only and were ignored\n");
    EXPECT_EQ(LowestFrequency(), 10.0);
}

TEST_F(CliGate, BadGatesAreUsageErrorsAndSilenceIsRefused) {
    const std::string wave = ImpulseWave(dir / "ir.wav", UnitImpulse(4800));
    for (const char* gate : {"0.4", "100.5", "five", "nan", ""}) {
        EXPECT_EQ(Run({"load-spl", design, "--band", "1", wave, "--gate", gate, "-o", saved}), 2)
            << gate;
        EXPECT_EQ(err, "kestrelvane-cli: --gate takes a number from 0.5 to 100\n");
    }
    EXPECT_EQ(Run({"load-spl", design, "--band", "1", wave, "--window", "Kaiser", "-o", saved}), 2);
    EXPECT_EQ(err, "kestrelvane-cli: --window takes one of: Rectangular, Bartlett, Hanning (Cos), "
                   "Hamming, Blackman, Blackman-Harris, Ext. Cosine Bell\n");
    const std::string silent = ImpulseWave(dir / "silent.wav", std::vector<float>(4800, 0.0f));
    EXPECT_EQ(Run({"load-spl", design, "--band", "1", silent, "-o", saved}), 1);
    EXPECT_EQ(err, "kestrelvane-cli: Failed to import the SPL curve! The impulse response is "
                   "silent: every sample is 0, so there is no peak to gate.\n");
    EXPECT_FALSE(std::filesystem::exists(saved));
}

// A modelled driver's measurement file in the fixture's folder.
std::string WriteDriver(const test::TempDir& dir, const std::string& name,
                        const test::DriverFile& file) {
    EXPECT_TRUE(test::WriteDriverFile(dir / name, file));
    return (dir / name).string();
}

TEST_F(CliImport, ImportSaysWhenAFileCarriesNoPhase) {
    const std::string level = WriteDriver(dir, "level.txt", {&test::ModelledWoofer});
    ASSERT_EQ(Run({"import", level, "--json"}), 0) << err;
    EXPECT_NE(out.find("\"phaseContent\":\"none\""), std::string::npos);
    ASSERT_EQ(Run({"import", level}), 0) << err;
    EXPECT_NE(out.find("Phase: none\n"), std::string::npos);
    const std::string phase =
        WriteDriver(dir, "phase.txt", {&test::ModelledWoofer, 90.0, 10.0, 40000.0, true});
    ASSERT_EQ(Run({"import", phase, "--json"}), 0) << err;
    EXPECT_EQ(out.find("phaseContent"), std::string::npos) << "as before for a phase";

    std::ostringstream delays;
    delays << "* Data: db(Response), Group Delay (sec)\n"
           << "100 80 0.0010\n200 81 0.0008\n400 82 0.0005\n";
    const std::string groupDelay = Write("g.frd", delays.str());
    ASSERT_EQ(Run({"import", groupDelay, "--json"}), 0) << err;
    EXPECT_NE(out.find("\"phases\":[0,0,0]"), std::string::npos) << out;
    EXPECT_NE(out.find("\"phaseContent\":\"groupDelay\",\"groupDelays\":[0.001,8e-04,5e-04]"),
              std::string::npos)
        << out;
}

TEST_F(CliImport, LoadSplTakesThePhaseChoiceOffsetAndFlightTime) {
    const std::string design = (dir / "d.ksv").string();
    const std::string saved = (dir / "out.ksv").string();
    ASSERT_EQ(Run({"new", "--ways", "2", "-o", design}), 0) << err;
    const std::string level = WriteDriver(dir, "level.txt", {&test::ModelledWoofer});
    ASSERT_EQ(Run({"load-spl", design, "--band", "1", level, "-o", saved}), 0) << err;
    EXPECT_NE(err.find("carries no phase; the curve gets the minimum phase"), std::string::npos);
    // A group delay the user sets aside for the minimum phase is not said to
    // give the curve's phase.
    const std::string delays = (dir / "delays.frd").string();
    std::ofstream(delays) << "* Data: db(Response), Group Delay (sec)\n"
                             "100 80 0.001\n1000 85 0.0005\n10000 82 0.0001\n";
    ASSERT_EQ(Run({"load-spl", design, "--band", "1", delays, "-o", saved}), 0) << err;
    EXPECT_NE(err.find("is a group delay; the curve's phase is integrated"), std::string::npos)
        << err;
    ASSERT_EQ(Run({"load-spl", design, "--band", "1", delays, "--phase", "minimum", "-o", saved}),
              0)
        << err;
    EXPECT_EQ(err.find("integrated"), std::string::npos) << err;

    const std::string far =
        WriteDriver(dir, "far.txt", {&test::ModelledWoofer, 90.0, 10.0, 40000.0, true, 2.5e-3});
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

TEST_F(CliImport, AlignPrintsAndSavesTheDelayAndPolarity) {
    const std::string design = (dir / "d.ksv").string();
    const std::string saved = (dir / "out.ksv").string();
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
