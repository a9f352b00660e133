#include "model/ImpulseGate.h"

#include "core/filters/FilterTestSupport.h"
#include "core/import/ImportFiles.h"
#include "filters/BiquadCalc.h"
#include "model/CConfiguration.h"
#include "model/MainGrid.h"
#include "model/SplCurve.h"

#include <cmath>
#include <gtest/gtest.h>
#include <numbers>

namespace kv {
namespace {

constexpr double kRate = 48000.0;

// A second-order Butterworth high-pass at 500 Hz.
BiquadCoefs HighPass500() {
    BiquadCalc calc;
    calc.Design(BiquadKind::HighPass2, kRate, 500.0, 0.0, 0.7071067811865476);
    return calc.GetCoefficients();
}

// The section's impulse response from its difference equation, after delay
// samples of silence, count samples in all.
std::vector<double> ImpulseOf(const BiquadCoefs& c, int delay, int count) {
    std::vector<double> signal(static_cast<std::size_t>(count), 0.0);
    double x1 = 0.0, x2 = 0.0, y1 = 0.0, y2 = 0.0;
    for (int t = delay; t < count; ++t) {
        const double x = t == delay ? 1.0 : 0.0;
        const double y = (c.b0 * x + c.b1 * x1 + c.b2 * x2 - c.a1 * y1 - c.a2 * y2) / c.a0;
        x2 = x1;
        x1 = x;
        y2 = y1;
        y1 = y;
        signal[static_cast<std::size_t>(t)] = y;
    }
    return signal;
}

// Mono 32-bit float samples, as measurement programs export impulse
// responses.
std::vector<std::uint8_t> FloatWave(const std::vector<double>& samples) {
    test::ByteWriter data;
    for (const double s : samples) {
        test::Float32(data, static_cast<float>(s));
    }
    return test::MakeWave({.formatTag = 3,
                           .sampleRate = static_cast<std::uint32_t>(kRate),
                           .blockAlign = 4,
                           .bits = 32,
                           .data = data.Bytes()});
}

double Db(const Complex& value) {
    return 20.0 * std::log10(std::abs(value));
}

class ImpulseGating : public test::ImportFiles {
protected:
    // Imports the samples as a WAV file and loads them into the band.
    bool Load(const std::vector<double>& samples, const ImpulseGate& gate = {}) {
        report = GateReport{GateOutcome::TooLarge, -1.0};
        return ImportBytes("ir.wav", FloatWave(samples)) &&
               LoadSplCurve(band, engine, dir / "ir.wav", gate, &report);
    }

    CBand band;
    GateReport report;
};

TEST_F(ImpulseGating, ASectionsImpulseResponseComesBackAsItsMagnitude) {
    const BiquadCoefs section = HighPass500();
    ASSERT_TRUE(Load(ImpulseOf(section, 0, 96000)));
    EXPECT_EQ(report.outcome, GateOutcome::Gated);
    EXPECT_EQ(report.appliedMs, kDefaultGateMs);
    ASSERT_GT(band.splFreqs.GetSize(), 300);
    // From 1 / 5 ms up to half the sample rate.
    EXPECT_GE(band.splFreqs[0], 200.0);
    EXPECT_LT(band.splFreqs[0], 200.0 * std::pow(2.0, 1.0 / 48.0));
    EXPECT_EQ(band.splFreqs[band.splFreqs.GetSize() - 1], 24000.0);
    int checked = 0;
    for (int i = 0; i < band.splFreqs.GetSize(); ++i) {
        const double f = band.splFreqs[i];
        if (f >= 300.0 && f <= 20000.0) {
            ++checked;
            EXPECT_NEAR(Db(band.splRaw[i]), Db(test::TransferAt(section, f, kRate)), 0.2)
                << "at " << f << " Hz";
        }
    }
    EXPECT_GT(checked, 280);
}

// Every point of the curve below half the sample rate is a point of the
// band's responses, so the curve reaches them without interpolation.
TEST_F(ImpulseGating, TheCurveLiesOnTheResponseGrid) {
    ASSERT_TRUE(Load(ImpulseOf(HighPass500(), 0, 4800)));
    VFreqVec grid;
    ASSERT_TRUE(CreateMainGrid(grid));
    for (int i = 0; i < band.splFreqs.GetSize() - 1; ++i) {
        EXPECT_TRUE(std::binary_search(grid.begin(), grid.end(), band.splFreqs[i]))
            << band.splFreqs[i];
    }
}

TEST_F(ImpulseGating, AFullScaleUnitImpulseIsZeroDecibelsWithoutPhase) {
    std::vector<double> impulse(2400, 0.0);
    impulse[0] = 1.0;
    ASSERT_TRUE(Load(impulse, {kDefaultGateMs, WindowType::Hanning}));
    for (int i = 0; i < band.splRaw.GetSize(); ++i) {
        EXPECT_NEAR(band.splRaw[i].real(), 1.0, 1e-12);
        EXPECT_NEAR(band.splRaw[i].imag(), 0.0, 1e-12);
    }
}

// 10 ms of silence first: the curve turns by 2π·f·10 ms and keeps its level.
TEST_F(ImpulseGating, ADelayedImpulseKeepsItsDelayInThePhase) {
    const BiquadCoefs section = HighPass500();
    ASSERT_TRUE(Load(ImpulseOf(section, 0, 24000)));
    const VComplexVec prompt = band.splRaw;
    ASSERT_TRUE(Load(ImpulseOf(section, 480, 24480)));
    ASSERT_EQ(band.splRaw.GetSize(), prompt.GetSize());
    for (int i = 0; i < prompt.GetSize(); ++i) {
        const double f = band.splFreqs[i];
        const Complex delay = std::polar(1.0, -2.0 * std::numbers::pi * f * 0.01);
        EXPECT_LT(std::abs(band.splRaw[i] - prompt[i] * delay), 1e-6 * std::abs(prompt[i]))
            << "at " << f << " Hz";
    }
}

// 2 ms after the peak: the gate closes where the file ends, and the curve
// starts at 1 / 2 ms.
TEST_F(ImpulseGating, AGateLongerThanTheFileIsClamped) {
    const std::vector<double> samples = ImpulseOf(HighPass500(), 0, 96);
    for (const double ms : {kDefaultGateMs, kMaxGateMs}) {
        ASSERT_TRUE(Load(samples, {ms, WindowType::CosineBell}));
        EXPECT_EQ(report.appliedMs, 2.0);
        EXPECT_TRUE(report.clamped);
        EXPECT_GE(band.splFreqs[0], 500.0);
        EXPECT_LT(band.splFreqs[0], 500.0 * std::pow(2.0, 1.0 / 48.0));
    }
}

TEST_F(ImpulseGating, SilentOrBrokenSignalsAreRefusedAndTheBandKeepsItsCurve) {
    ASSERT_TRUE(Load(ImpulseOf(HighPass500(), 0, 4800)));
    const VDoubleVec frequencies = band.splFreqs;
    band.modified = false;

    EXPECT_FALSE(Load(std::vector<double>(4800, 0.0)));
    EXPECT_EQ(report.outcome, GateOutcome::Silent);
    EXPECT_EQ(DescribeGateOutcome(report.outcome),
              "The impulse response is silent: every sample is 0, so there is no peak to gate.");

    std::vector<double> broken = ImpulseOf(HighPass500(), 0, 4800);
    broken[4000] = std::nan("");
    EXPECT_FALSE(Load(broken));
    EXPECT_EQ(report.outcome, GateOutcome::NotFinite);

    // A peak in the last sample leaves nothing to gate.
    std::vector<double> late(4800, 0.0);
    late.back() = 0.5;
    EXPECT_FALSE(Load(late));
    EXPECT_EQ(report.outcome, GateOutcome::TooShort);

    EXPECT_EQ(band.splFreqs.GetSize(), frequencies.GetSize());
    EXPECT_FALSE(band.modified);
}

// Two samples near the largest double are each finite, but their spectrum
// is not: such a curve would make every design that holds it unreadable.
TEST_F(ImpulseGating, SamplesWhoseSpectrumOverflowsAreRefused) {
    ASSERT_TRUE(Load(ImpulseOf(HighPass500(), 0, 4800)));
    band.modified = false;
    std::vector<double> huge(4800, 0.0);
    huge[1] = 1e308;
    huge[2] = 1e308;
    test::ByteWriter data;
    for (const double s : huge) {
        data.Double(s);
    }
    ASSERT_TRUE(ImportBytes("huge.wav", test::MakeWave({.formatTag = 3,
                                                        .sampleRate = 48000,
                                                        .blockAlign = 8,
                                                        .bits = 64,
                                                        .data = data.Bytes()})));
    EXPECT_FALSE(LoadSplCurve(band, engine, dir / "huge.wav", {}, &report));
    EXPECT_EQ(report.outcome, GateOutcome::Overflow);
    EXPECT_FALSE(DescribeGateOutcome(report.outcome).empty());
    EXPECT_FALSE(band.modified) << "the band keeps the curve it had";
    EXPECT_TRUE(band.splRaw.AllFinite());
}

TEST_F(ImpulseGating, GateLengthsOutsideTheirRangeAreRefused) {
    const std::vector<double> samples = ImpulseOf(HighPass500(), 0, 9600);
    for (const double ms : {0.49, 100.01, std::nan("")}) {
        EXPECT_FALSE(Load(samples, {ms, WindowType::Hanning})) << ms;
        EXPECT_EQ(report.outcome, GateOutcome::LengthOutOfRange);
    }
    for (const double ms : {kMinGateMs, kMaxGateMs}) {
        EXPECT_TRUE(Load(samples, {ms, WindowType::Hanning})) << ms;
        EXPECT_EQ(report.appliedMs, ms);
        EXPECT_FALSE(report.clamped);
    }
}

// The project file keeps the curve as it keeps every curve.
TEST_F(ImpulseGating, TheCurveIsSavedAndLoadedWithTheDesign) {
    CConfiguration design;
    ASSERT_TRUE(design.New(1, 96000.0));
    report = GateReport{};
    ASSERT_TRUE(ImportBytes("ir.wav", FloatWave(ImpulseOf(HighPass500(), 0, 4800))));
    ASSERT_TRUE(LoadSplCurve(design.bands[0], engine, dir / "ir.wav"));
    ASSERT_TRUE(design.Save(dir / "d.ksv", messages));
    CConfiguration loaded;
    ASSERT_TRUE(loaded.Load(dir / "d.ksv", messages));
    const CBand& band0 = loaded.bands[0];
    ASSERT_EQ(band0.splFreqs.GetSize(), design.bands[0].splFreqs.GetSize());
    for (int i = 0; i < band0.splFreqs.GetSize(); ++i) {
        EXPECT_EQ(band0.splFreqs[i], design.bands[0].splFreqs[i]);
        EXPECT_EQ(band0.splRaw[i], design.bands[0].splRaw[i]);
    }
}

TEST_F(ImpulseGating, AMeasuredImpulseResponseLoads) {
    const std::filesystem::path path =
        std::filesystem::path(KV_MEASUREMENTS_DIR) / "autosound-measurements/w_L.wav-t0-at-256.wav";
    if (!std::filesystem::exists(path)) {
        GTEST_SKIP() << "no measurement files at " << KV_MEASUREMENTS_DIR;
    }
    ASSERT_TRUE(engine.Import(messages, path));
    ASSERT_TRUE(LoadSplCurve(band, engine, path, {}, &report));
    EXPECT_EQ(report.appliedMs, kDefaultGateMs);
    EXPECT_EQ(band.splFreqs[band.splFreqs.GetSize() - 1], 48000.0);
    for (int i = 0; i < band.splRaw.GetSize(); ++i) {
        EXPECT_TRUE(std::isfinite(Db(band.splRaw[i])));
    }
}

TEST(GateWindows, AreNamedAsTheWindowListsShowThemWithoutRegardToCase) {
    EXPECT_EQ(GateWindowNames(),
              (std::vector<std::string>{"Rectangular", "Bartlett", "Hanning (Cos)", "Hamming",
                                        "Blackman", "Blackman-Harris", "Ext. Cosine Bell"}));
    EXPECT_EQ(GateWindowNamed("hanning (cos)"), WindowType::Hanning);
    EXPECT_EQ(GateWindowNamed("EXT. COSINE BELL"), WindowType::CosineBell);
    EXPECT_EQ(GateWindowNamed("Rectangular"), WindowType::Rectangular);
    EXPECT_FALSE(GateWindowNamed("Kaiser").has_value());
    EXPECT_FALSE(GateWindowNamed("").has_value());
}

} // namespace
} // namespace kv
