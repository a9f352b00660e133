// The exported equaliser text run by a real audio engine: sox filters an
// impulse with the exported sections, and what comes out must be the band's
// filter response as the program computes it.
#include "core/import/ImportFiles.h"
#include "import/VInputFile.h"
#include "import/VWaveReader.h"
#include "math/VFft.h"
#include "model/CConfiguration.h"
#include "model/FilterExport.h"
#include "model/MainGrid.h"
#include "support/TestSupport.h"

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <gtest/gtest.h>
#include <numbers>
#include <optional>
#include <sstream>
#include <string>

namespace kv {
namespace {

constexpr double kSampleRate = 96000.0;
constexpr double kImpulse = 0.25;
constexpr int kDelaySamples = 10;
// Long enough for every section of the band to ring out.
constexpr int kSignalLength = 1 << 18;
// Zero-padded so finely that the spectrum is smooth between two bins.
constexpr int kTransformLength = 1 << 20;

std::optional<std::filesystem::path> FindOnPath(const std::string& program) {
    const char* path = std::getenv("PATH");
    std::stringstream folders(path != nullptr ? path : "");
    for (std::string folder; std::getline(folders, folder, ':');) {
        const std::filesystem::path candidate = std::filesystem::path(folder) / program;
        std::error_code error;
        if (!folder.empty() && std::filesystem::is_regular_file(candidate, error)) {
            return candidate;
        }
    }
    return std::nullopt;
}

std::string Quoted(const std::filesystem::path& path) {
    return "'" + path.string() + "'";
}

// The sox effects that do what the exported lines say.
std::string SoxEffects(const std::string& text) {
    std::istringstream lines(text);
    std::string effects;
    for (std::string line; std::getline(lines, line);) {
        line.erase(line.find_last_not_of("\r") + 1);
        std::istringstream words(line);
        std::string command;
        words >> command;
        if (command == "Preamp:") {
            double dB = 0.0;
            words >> dB;
            effects += " gain " + std::to_string(dB);
        } else if (command == "Delay:") {
            double ms = 0.0;
            words >> ms;
            effects += " delay " + std::to_string(std::lround(ms * kSampleRate / 1000.0)) + "s";
        } else if (command == "Filter:") {
            const std::string prefix = "Filter: ON IIR Order 2 Coefficients ";
            EXPECT_TRUE(line.starts_with(prefix)) << line;
            effects += " biquad " + line.substr(prefix.size());
        } else {
            EXPECT_TRUE(command.starts_with("#")) << line;
        }
    }
    return effects;
}

// A mono 32-bit float WAV holding one impulse, with the format chunk of 18
// bytes that float samples call for.
std::vector<std::uint8_t> ImpulseWave() {
    constexpr int kFormatFloat = 3;
    constexpr int kFormatChunk = 18;
    constexpr int kBytes = 4;
    const int dataLength = kSignalLength * kBytes;
    test::ByteWriter wave;
    wave.Raw({'R', 'I', 'F', 'F'}).Int32(4 + 8 + kFormatChunk + 8 + dataLength);
    wave.Raw({'W', 'A', 'V', 'E', 'f', 'm', 't', ' '}).Int32(kFormatChunk);
    test::Int16(wave, kFormatFloat);
    test::Int16(wave, 1);
    wave.Int32(static_cast<std::int32_t>(kSampleRate))
        .Int32(static_cast<std::int32_t>(kSampleRate) * kBytes);
    test::Int16(wave, kBytes);
    test::Int16(wave, 8 * kBytes);
    test::Int16(wave, 0);
    wave.Raw({'d', 'a', 't', 'a'}).Int32(dataLength);
    test::Float32(wave, static_cast<float>(kImpulse));
    wave.Raw(std::vector<std::uint8_t>(static_cast<std::size_t>(dataLength - kBytes), 0));
    return wave.Bytes();
}

class FilterExportThroughSox : public ::testing::Test {
protected:
    void SetUp() override {
        sox = FindOnPath("sox");
        if (!sox) {
            GTEST_SKIP() << "sox is not installed, so no audio engine can run the export";
        }
        ASSERT_TRUE(design.New(2, kSampleRate));
        ASSERT_TRUE(CreateMainGrid(grid));
    }

    // Runs the impulse through sox with the band's exported text; the
    // samples that come out, as 64-bit floats: rounded to 32 bits they
    // would be 0.01 dB off where the band is 40 dB down.
    VDoubleVec RunSox(const CBand& band) {
        std::string text;
        std::string problem;
        EXPECT_TRUE(FilterExportText(band, design.title, text, problem)) << problem;
        test::WriteBytes(dir / "impulse.wav", ImpulseWave());
        const std::string command = Quoted(*sox) + " -D " + Quoted(dir / "impulse.wav") +
                                    " -e floating-point -b 64 " + Quoted(dir / "out.wav") +
                                    SoxEffects(text) + " 2> " + Quoted(dir / "sox.txt");
        EXPECT_EQ(std::system(command.c_str()), 0) << command;
        const auto messages = test::ReadBytes(dir / "sox.txt");
        EXPECT_EQ(std::string(messages.begin(), messages.end()), "") << command;

        VInputFile file;
        VWaveReader reader;
        VDoubleVec samples;
        EXPECT_TRUE(file.Open(dir / "out.wav") && reader.ReadHeader(file) &&
                    reader.ReadSamples(file, samples));
        EXPECT_EQ(reader.SampleRate(), kSampleRate);
        return samples;
    }

    std::optional<std::filesystem::path> sox;
    test::TempDir dir;
    CConfiguration design;
    VFreqVec grid;
};

// Every kind of section, bass and treble, gain, delay and polarity.
void SetUpBand(CBand& band) {
    const CrossoverSettings highPass{.freq = 60.0, .order = 4, .q = {0.7071, 0.7071, 1.0, 1.0}};
    ASSERT_TRUE(band.SetHighPass(0, highPass) && band.EnableHighPass(0, true));
    const CrossoverSettings lowPass{
        .freq = 15000.0, .order = 3, .type = CrossoverType::Butterworth, .q = {1.0, 0.0, 1.0, 1.0}};
    ASSERT_TRUE(band.SetLowPass(0, lowPass) && band.EnableLowPass(0, true));
    ASSERT_TRUE(band.SetNotch(0, 3150.0, 4.0, true));
    ASSERT_TRUE(band.SetAllPass(500.0, 0.7, true));
    ASSERT_TRUE(band.SetLowShelf(3.0, 200.0, true));
    ASSERT_TRUE(band.SetHighShelf(-2.0, 6000.0, true));
    ASSERT_TRUE(band.SetPeq(0, -6.0, 120.0, 6.0, true));
    ASSERT_TRUE(band.SetPeq(1, 4.0, 1000.0, 1.4, true));
    ASSERT_TRUE(band.SetPeq(2, -4.5, 45.0, 2.0, true));
    ASSERT_TRUE(band.SetBassGain(2.0));
    ASSERT_TRUE(band.SetTrebleCorner(3) && band.SetTrebleGain(-1.5));
    ASSERT_TRUE(band.SetGain(-3.0));
    ASSERT_TRUE(band.SetDelay(kDelaySamples / kSampleRate, kSharedDelaySamples / kSampleRate));
    ASSERT_TRUE(band.SetReversedPhase(true));
}

// The spectrum at f, between the two bins around it.
Complex SpectrumAt(const VComplexVec& spectrum, double f) {
    const double position = f * kTransformLength / kSampleRate;
    const int k = static_cast<int>(position);
    const double t = position - k;
    return spectrum[k] * (1.0 - t) + spectrum[k + 1] * t;
}

TEST_F(FilterExportThroughSox, AnImpulseThroughTheExportedBandHasTheBandsFilterResponse) {
    CBand& band = design.bands[0];
    SetUpBand(band);
    design.Recalculate(&grid, kMainPirLength);
    ASSERT_EQ(band.filterResponse.GetSize(), grid.GetSize());

    const VDoubleVec out = RunSox(band);
    ASSERT_GE(out.GetSize(), kSignalLength + kDelaySamples);
    // The delay: nothing comes out before its samples have passed.
    for (int i = 0; i < kDelaySamples; ++i) {
        ASSERT_EQ(out[i], 0.0) << i;
    }
    ASSERT_NE(out[kDelaySamples], 0.0);
    VComplexVec spectrum(kTransformLength);
    spectrum.FillReal(0.0);
    for (int i = 0; i < kSignalLength; ++i) {
        spectrum[i] = out[kDelaySamples + i] / kImpulse;
    }
    VFft fft;
    fft.Transform(spectrum, false);

    int compared = 0;
    for (int i = 0; i < grid.GetSize(); ++i) {
        const double f = grid[i];
        if (f < 20.0 || f > 20000.0) {
            continue;
        }
        const Complex withoutDelay =
            band.filterResponse[i] * FromPolar(1.0, 2.0 * std::numbers::pi * f * band.delay);
        const Complex measured = SpectrumAt(spectrum, f);
        const double levelDifference =
            20.0 * std::log10(std::abs(measured) / std::abs(withoutDelay));
        const double phaseDifference = std::arg(measured / withoutDelay) * 180.0 / std::numbers::pi;
        EXPECT_LT(std::fabs(levelDifference), 0.01) << f << " Hz";
        EXPECT_LT(std::fabs(phaseDifference), 0.1) << f << " Hz";
        ++compared;
    }
    EXPECT_GT(compared, 450);
}

} // namespace
} // namespace kv
