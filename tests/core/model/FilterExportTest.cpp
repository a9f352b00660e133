#include "model/FilterExport.h"

#include "model/BandCalculators.h"
#include "model/CConfiguration.h"
#include "support/TestSupport.h"

#include <charconv>
#include <clocale>
#include <gtest/gtest.h>
#include <sstream>
#include <string>

namespace kv {
namespace {

// The text's lines without their CR LF; a line without one fails the test.
std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end = text.find("\r\n"); end != std::string::npos;
         end = text.find("\r\n", start)) {
        lines.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    EXPECT_EQ(start, text.size()) << "the text does not end with CR LF";
    return lines;
}

// The six numbers after "Coefficients", as b0 b1 b2 a0 a1 a2.
BiquadCoefs Coefficients(const std::string& line) {
    const std::string prefix = "Filter: ON IIR Order 2 Coefficients ";
    EXPECT_TRUE(line.starts_with(prefix)) << line;
    std::istringstream words(line.substr(prefix.size()));
    std::array<double, 6> c{};
    for (double& value : c) {
        std::string word;
        words >> word;
        const auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), value);
        EXPECT_TRUE(error == std::errc() && end == word.data() + word.size()) << word;
    }
    return {c[3], c[4], c[5], c[0], c[1], c[2]};
}

class FilterExport : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(design.New(2, 96000.0));
        design.SetTitle("Demo");
    }

    CBand& band() { return design.bands[1]; }

    std::vector<std::string> Export() {
        std::string text;
        std::string problem;
        EXPECT_TRUE(FilterExportText(band(), design.title, text, problem)) << problem;
        return Lines(text);
    }

    CConfiguration design;
};

TEST_F(FilterExport, AnEmptyBandIsItsLevelAndDelay) {
    ASSERT_TRUE(band().SetGain(-3.5));
    ASSERT_TRUE(design.SetDelay(1, 48.0 / 96000.0));
    EXPECT_EQ(Export(),
              (std::vector<std::string>{
                  "# Kestrelvane design \"Demo\", band Output 2 (LF), sample rate 96000 Hz",
                  "Preamp: -3.5 dB",
                  "Delay: 0.5 ms",
              }));
    ASSERT_TRUE(band().SetMuted(true));
    ASSERT_TRUE(design.SetDelay(1, 1.0 / 96000.0));
    const std::vector<std::string> muted = Export();
    ASSERT_EQ(muted.size(), 3u);
    EXPECT_EQ(muted[1], "Preamp: -122 dB");
    EXPECT_EQ(muted[2], "Delay: 0.010416666666666666 ms");
}

TEST_F(FilterExport, EverySectionFollowsInHardwareOrderWithCoefficientsThatReadBackExactly) {
    const CrossoverSettings highPass{
        .freq = 80.0, .order = 3, .type = CrossoverType::Butterworth, .q = {1.0, 0.0, 1.0, 1.0}};
    ASSERT_TRUE(band().SetHighPass(0, highPass) && band().EnableHighPass(0, true));
    ASSERT_TRUE(band().SetPeq(3, -4.0, 120.0, 6.0, true));
    ASSERT_TRUE(band().SetNotch(1, 3000.0, 8.0, true));
    ASSERT_TRUE(band().SetHighShelf(-2.0, 8000.0, true));
    ASSERT_TRUE(band().SetBassGain(1.5));
    ASSERT_TRUE(band().SetReversedPhase(true));

    const std::vector<std::string> lines = Export();
    const std::vector<std::string> names = {"# high-pass filter 1, section 1",
                                            "# high-pass filter 1, section 2",
                                            "# notch 2",
                                            "# high shelf",
                                            "# equaliser 4",
                                            "# bass",
                                            "# reversed polarity"};
    ASSERT_EQ(lines.size(), 3 + 2 * names.size());
    BiquadList hardware;
    CollectBiquads(band(), hardware);
    ASSERT_EQ(hardware.size(), 5u);
    for (std::size_t i = 0; i < names.size(); ++i) {
        EXPECT_EQ(lines[3 + 2 * i], names[i]);
        const BiquadCoefs read = Coefficients(lines[4 + 2 * i]);
        if (i < hardware.size()) {
            EXPECT_EQ(read, hardware[i]) << names[i];
        }
    }
    BiquadList bass;
    DesignSections(band(), FilterGroup::BassTreble,
                   [&bass](const BiquadCalc& calc, const BandSection&) {
                       bass.push_back(calc.GetCoefficients());
                   });
    ASSERT_EQ(bass.size(), 1u);
    EXPECT_EQ(Coefficients(lines[14]), bass[0]);
    EXPECT_EQ(lines.back(), "Filter: ON IIR Order 2 Coefficients -1 0 0 1 0 0");
}

// A title loaded from a file may hold anything; its line breaks must not
// start lines the equaliser reads as commands.
TEST_F(FilterExport, TheTitleStaysInItsCommentLine) {
    design.title = "Demo\r\nPreamp: 30 dB\n";
    const std::vector<std::string> lines = Export();
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], "# Kestrelvane design \"Demo  Preamp: 30 dB \", band Output 2 (LF), sample "
                        "rate 96000 Hz");
    EXPECT_EQ(lines[1], "Preamp: 0 dB");
}

TEST_F(FilterExport, NumbersKeepTheirPointUnderALocaleWithADecimalComma) {
    ASSERT_TRUE(band().SetGain(-3.5));
    ASSERT_TRUE(band().SetPeq(0, 2.5, 1000.0, 1.5, true));
    const std::vector<std::string> plain = Export();
    const std::string previous = std::setlocale(LC_ALL, nullptr);
    if (std::setlocale(LC_ALL, "de_DE.UTF-8") == nullptr) {
        GTEST_SKIP() << "no German locale installed";
    }
    const std::vector<std::string> german = Export();
    std::setlocale(LC_ALL, previous.c_str());
    EXPECT_EQ(german, plain);
}

// A PC runs an unstable section as full-scale noise: such a band is
// refused, and no file is written.
TEST_F(FilterExport, ABandWithAnUnstableSectionIsRefused) {
    test::TempDir dir;
    test::RecordingMessageBox messages;
    band().peq[2] = {3.0, 60000.0, 1.0, true};
    std::string text;
    std::string problem;
    EXPECT_FALSE(FilterExportText(band(), design.title, text, problem));
    EXPECT_EQ(problem, "Output 2 (LF): equaliser 3 is unstable at 96000 Hz, so the band's "
                       "filters were not exported.");
    EXPECT_TRUE(text.empty());
    EXPECT_FALSE(ExportFilters(dir / "eq.txt", band(), design.title, messages));
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, problem);
    EXPECT_FALSE(std::filesystem::exists(dir / "eq.txt"));
}

TEST_F(FilterExport, TheFileIsWrittenWholeOrNotAtAll) {
    test::TempDir dir;
    test::RecordingMessageBox messages;
    ASSERT_TRUE(ExportFilters(dir / "eq.txt", band(), design.title, messages));
    std::string text;
    std::string problem;
    ASSERT_TRUE(FilterExportText(band(), design.title, text, problem));
    const auto bytes = test::ReadBytes(dir / "eq.txt");
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), text);
    EXPECT_TRUE(messages.shown.empty());

    EXPECT_FALSE(ExportFilters(dir / "missing" / "eq.txt", band(), design.title, messages));
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, "Couldn't create the file ! \n\nThe folder \"" +
                                          (dir / "missing").string() + "\" does not exist.");
}

} // namespace
} // namespace kv
