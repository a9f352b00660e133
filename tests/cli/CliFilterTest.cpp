#include "CliRun.h"
#include "support/TestSupport.h"

#include <fstream>
#include <gtest/gtest.h>

namespace kv {
namespace {

using test::RunCliWords;

class CliFilters : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(RunCliWords({"new", "--ways", "2", "--title", "Demo", "-o", design}).status, 0);
    }

    std::string Write(const std::string& name, const std::string& content) {
        std::ofstream(dir / name, std::ios::binary) << content;
        return (dir / name).string();
    }

    std::string Read(const std::string& path) {
        const auto bytes = test::ReadBytes(path);
        return {bytes.begin(), bytes.end()};
    }

    test::TempDir dir;
    std::string design = (dir / "d.ksv").string();
    std::string saved = (dir / "out.ksv").string();
};

TEST_F(CliFilters, ImportEqPutsTheFiltersIntoTheBandAndSaves) {
    const std::string filters =
        Write("eq.txt", "Filter Settings file\r\n"
                        "Filter  1: ON  PK       Fc   63,0 Hz  Gain  -5,0 "
                        "dB  Q  4,00\r\n"
                        "Filter  2: ON  NO       Fc 3000,0 Hz  Q  8,00\r\n");
    const test::CliRun run =
        RunCliWords({"import-eq", design, "--band", "2", filters, "-o", saved});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "line 2: equaliser 1\nline 3: notch 1\n");
    EXPECT_EQ(run.err, "");
    const test::CliRun info = RunCliWords({"info", saved, "--json"});
    ASSERT_EQ(info.status, 0);
    EXPECT_NE(info.out.find("{\"gain\":-5,\"freq\":63,\"q\":4,\"enabled\":true}"),
              std::string::npos);
    EXPECT_NE(info.out.find("{\"freq\":3000,\"q\":8,\"enabled\":true}"), std::string::npos);
    EXPECT_NE(info.out.find("\"freeBiquads\":14"), std::string::npos);
}

TEST_F(CliFilters, ImportEqImportsNothingWhenALineDoesNotFitUnlessAskedForWhatFits) {
    const std::string filters = Write("eq.txt", "Preamp: -4 dB\n"
                                                "Filter: ON PK Fc 63 Hz Gain -5 dB Q 4\n"
                                                "Filter: ON LP Fc 80 Hz\n"
                                                "Filter: ON PK Fc 100 Hz Gain 30 dB Q 1\n");
    const std::string misfits = "kestrelvane-cli: line 3: not imported: a band has no filter of "
                                "type \"LP\"\n"
                                "kestrelvane-cli: line 4: not imported: gain 30 dB is outside -20 "
                                "to 20 dB\n"
                                "kestrelvane-cli: line 1: \"Preamp: -4 dB\" is not taken over: the "
                                "band keeps its gain\n";
    test::CliRun run = RunCliWords({"import-eq", design, "--band", "1", filters, "-o", saved});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, misfits + "kestrelvane-cli: Lines that do not fit the band: 2. Nothing "
                                 "was imported; --partial imports what fits.\n");
    EXPECT_EQ(run.out, "");
    EXPECT_FALSE(std::filesystem::exists(saved));

    run = RunCliWords({"import-eq", design, "--band", "1", filters, "-o", saved, "--partial"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, misfits);
    EXPECT_EQ(run.out, "line 2: equaliser 1\n");
    EXPECT_NE(RunCliWords({"info", saved, "--json"}).out.find("\"freeBiquads\":15"),
              std::string::npos);
}

TEST_F(CliFilters, ImportEqRefusesWhatIsNoFilterListAndWritesNothing) {
    const auto refused = [&](const std::string& file, const std::string& message) {
        const test::CliRun run =
            RunCliWords({"import-eq", design, "--band", "1", file, "-o", saved, "--partial"});
        EXPECT_EQ(run.status, 1) << file;
        EXPECT_EQ(run.err, "kestrelvane-cli: " + message + "\n");
        EXPECT_FALSE(std::filesystem::exists(saved));
    };
    refused(Write("junk.bin", std::string("\x7F"
                                          "ELF\x02\x01\x01\0\0\0",
                                          10)),
            "The file holds bytes that are not text: it is no filter list.");
    refused(Write("lp.txt", "Filter: ON LP Fc 80 Hz\n"),
            "line 1: not imported: a band has no filter of type \"LP\"\nkestrelvane-cli: None of "
            "the filters fits the band: nothing was imported.");
}

TEST_F(CliFilters, ImportEqAndExportEqCheckTheirCommandLine) {
    const std::string filters = Write("eq.txt", "Filter: ON PK Fc 63 Hz Gain -5 dB Q 4\n");
    EXPECT_EQ(RunCliWords({"import-eq", design, filters, "-o", saved}).status, 2);
    EXPECT_EQ(RunCliWords({"import-eq", design, "--band", "3", filters, "-o", saved}).status, 2);
    EXPECT_EQ(RunCliWords({"import-eq", design, "--band", "1", filters}).status, 2);
    EXPECT_EQ(RunCliWords({"import-eq", design, "--band", "1", "-o", saved}).status, 2);
    EXPECT_EQ(RunCliWords({"export-eq", design, "--band", "0", "-o", saved}).status, 2);
    EXPECT_EQ(RunCliWords({"export-eq", design, "--band", "3", "-o", saved}).status, 2);
    EXPECT_FALSE(std::filesystem::exists(saved));
    const test::CliRun help = RunCliWords({"--help"});
    EXPECT_NE(help.out.find("import-eq IN.ksv --band N FILE -o OUT.ksv [--partial]"),
              std::string::npos);
    EXPECT_NE(help.out.find("export-eq IN.ksv --band N -o OUT.txt"), std::string::npos);
}

TEST_F(CliFilters, ExportEqWritesTheBandAsEqualiserText) {
    const std::string filters = Write("eq.txt", "Filter: ON PK Fc 1000 Hz Gain 6 dB Q 1\n");
    ASSERT_EQ(RunCliWords({"import-eq", design, "--band", "1", filters, "-o", saved}).status, 0);
    const std::string text = (dir / "band1.txt").string();
    const test::CliRun run = RunCliWords({"export-eq", saved, "--band", "1", "-o", text});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "");
    const std::string written = Read(text);
    EXPECT_TRUE(written.starts_with(
        "# Kestrelvane design \"Demo\", band Output 1 (HF), sample rate 96000 Hz\r\n"
        "Preamp: 0 dB\r\n"
        "Delay: 0 ms\r\n"
        "# equaliser 1\r\n"
        "Filter: ON IIR Order 2 Coefficients "))
        << written;
    EXPECT_EQ(std::count(written.begin(), written.end(), '\n'), 5);

    EXPECT_EQ(RunCliWords({"export-eq", saved, "--band", "1", "-o",
                           (dir / "missing" / "band1.txt").string()})
                  .err,
              "kestrelvane-cli: Couldn't create the file ! The folder \"" +
                  (dir / "missing").string() + "\" does not exist.\n");
}

} // namespace
} // namespace kv
