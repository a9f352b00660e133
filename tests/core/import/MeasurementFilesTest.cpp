// Real files published by measurement programs and their users. They live
// beside the checkout, not in it; without them these tests are skipped.
#include "archive/LittleEndian.h"
#include "import/CImportEngine.h"
#include "math/EndTrend.h"
#include "math/ResponseCurves.h"
#include "model/CBand.h"
#include "model/SplCurve.h"
#include "support/TestSupport.h"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <numbers>
#include <utility>
#include <vector>

namespace kv {
namespace {

constexpr double kDeg = 0.017453292519943295;

// The first and the last data line of a curve as the file writes them.
struct Point {
    double frequency;
    double value;
    double phaseDegrees;
};

struct CurveFile {
    const char* path;
    ImportFormat format;
    ImportKind kind;
    int points;
    Point first;
    Point last;
};

const CurveFile kCurveFiles[] = {
    {"autosound-measurements/ECM8000_0deg.txt",
     ImportFormat::PlainColumns,
     ImportKind::FrequencyResponse,
     35,
     {10.0, -2.934, 0},
     {21000.0, 0.0, 0}},
    {"autosound-measurements/c.txt",
     ImportFormat::CommentedColumns,
     ImportKind::FrequencyResponse,
     1286,
     {4.3945, 52.087, 0},
     {47024.5316, 22.022, 0}},
    {"autosound-measurements/fact5-bell-cut-q1-before.txt",
     ImportFormat::CommentedColumns,
     ImportKind::FrequencyResponse,
     961,
     {20.0, 73.3567, 103.673},
     {20000.0, 23.9073, 124.757}},
    {"jonronen-speaker-measurements/Woofer.zma",
     ImportFormat::PlainColumns,
     ImportKind::Impedance,
     344,
     {1.029, 6.616, 2.876},
     {20642.546, 49.448, 56.089}},
    {"jonronen-speaker-measurements/caw938.frd",
     ImportFormat::PlainColumns,
     ImportKind::FrequencyResponse,
     861,
     {40.0, 67.944, -20.7394},
     {19896.974609, 46.522, 94.8630}},
    {"jonronen-speaker-measurements/caw938.zma",
     ImportFormat::CommentedColumns,
     ImportKind::Impedance,
     956,
     {20.144928, 7.472016, 18.0360},
     {19896.974609, 44.205753, 53.6909}},
    {"jonronen-speaker-measurements/port and w near field.txt",
     ImportFormat::PlainColumns,
     ImportKind::FrequencyResponse,
     953,
     {20.586044, 54.7048, -48.1238},
     {19896.97461, 56.1266, -32.6857}},
    {"jonronen-speaker-measurements/tweeter diffraction.frd",
     ImportFormat::PlainColumns,
     ImportKind::FrequencyResponse,
     506,
     {10.0, -5.9927, 0},
     {20000.0, -0.0207, 0}},
    {"jonronen-speaker-measurements/woofer_combined.txt",
     ImportFormat::CommentedColumns,
     ImportKind::FrequencyResponse,
     759,
     {20.885475, 72.7385, 165.7},
     {4974.243652, 96.5155, -25.2944}},
    // A datasheet curve digitised into a spreadsheet: on-axis and two
    // off-axis level columns, empty below 101.6 Hz.
    {"mk3-reference-loudspeaker/SB26STAC-C000-4_freq_response.csv",
     ImportFormat::DelimitedColumns,
     ImportKind::FrequencyResponse,
     92,
     {101.6, 56.62, 0},
     {20000.0, 92.26, 0}},
    // Its phase column is empty throughout.
    {"mk3-reference-loudspeaker/H2606-920000_impedance.csv",
     ImportFormat::DelimitedColumns,
     ImportKind::Impedance,
     67,
     {216.09, 4.5899, 0},
     {9965.73, 5.6367, 0}},
    {"rsantct-drc/L_0.frd",
     ImportFormat::PlainColumns,
     ImportKind::FrequencyResponse,
     1000,
     {1.0, -59.765, 0},
     {24000.0, -72.708, 0}},
    {"speakertools/L16RNX_0g_242_27mV.zma",
     ImportFormat::CommentedColumns,
     ImportKind::Impedance,
     386,
     {10.0, 7.1179, 25.2241},
     {20000.0, 27.1868, 48.1256}},
    // The third column is a group delay in seconds, as the header says; it
    // is no phase.
    {"speakertools/sample.frd",
     ImportFormat::PlainColumns,
     ImportKind::FrequencyResponse,
     1002,
     {1.0, 65.6568, 0},
     {20404.054, 89.765, -0.0}},
};

class MeasurementFiles : public ::testing::Test {
protected:
    void SetUp() override {
        if (!std::filesystem::is_directory(folder)) {
            GTEST_SKIP() << "no measurement files at " << folder;
        }
    }

    std::filesystem::path folder = KV_MEASUREMENTS_DIR;
    test::RecordingMessageBox messages;
};

void ExpectPoint(const CImportEngine& engine, int index, const Point& point) {
    const bool impedance = engine.Kind() == ImportKind::Impedance;
    const VDoubleVec& values = impedance ? engine.ImpedanceMagnitudes() : engine.Levels();
    const VDoubleVec& phases = impedance ? engine.ImpedancePhases() : engine.Phases();
    EXPECT_EQ(engine.Frequencies()[index], point.frequency);
    EXPECT_EQ(values[index], point.value);
    EXPECT_EQ(phases[index], point.phaseDegrees * kDeg);
}

TEST_F(MeasurementFiles, CurvesImportWithTheValuesInTheFile) {
    for (const CurveFile& file : kCurveFiles) {
        SCOPED_TRACE(file.path);
        CImportEngine engine;
        ASSERT_TRUE(engine.Import(messages, folder / file.path));
        EXPECT_EQ(engine.Format(), file.format);
        EXPECT_EQ(engine.Kind(), file.kind);
        ASSERT_EQ(engine.Frequencies().GetSize(), file.points);
        ExpectPoint(engine, 0, file.first);
        ExpectPoint(engine, file.points - 1, file.last);
        for (int i = 1; i < file.points; ++i) {
            ASSERT_LE(engine.Frequencies()[i - 1], engine.Frequencies()[i]) << i;
        }
    }
    EXPECT_TRUE(messages.asked.empty());
}

TEST_F(MeasurementFiles, ResponsesLoadIntoABandAndImpedancesAreRefused) {
    for (const CurveFile& file : kCurveFiles) {
        SCOPED_TRACE(file.path);
        CBand band;
        const bool loaded = LoadSplCurve(band, folder / file.path, messages);
        EXPECT_EQ(loaded, file.kind == ImportKind::FrequencyResponse);
        EXPECT_EQ(band.splFreqs.GetSize(), loaded ? file.points : 0);
    }
}

TEST_F(MeasurementFiles, AnOffAxisColumnOfADatasheetCurveIsChosenByName) {
    const std::filesystem::path path =
        folder / "mk3-reference-loudspeaker/SB26STAC-C000-4_freq_response.csv";
    CImportEngine engine;
    ASSERT_TRUE(engine.Import(messages, path, ImportOptions{"spl_60deg_db"}));
    EXPECT_EQ(engine.LevelColumns(),
              (std::vector<std::string>{"spl_db", "spl_30deg_db", "spl_60deg_db"}));
    EXPECT_EQ(engine.LevelColumn(), "spl_60deg_db");
    ASSERT_EQ(engine.Frequencies().GetSize(), 92);
    ExpectPoint(engine, 0, {101.6, 57.65, 0});
    ExpectPoint(engine, 91, {20000.0, 64.30, 0});
    CBand band;
    ASSERT_TRUE(LoadSplCurve(band, engine, path));
    EXPECT_EQ(band.splFreqs.GetSize(), 92);
}

TEST_F(MeasurementFiles, AnImpulseResponseWaveGivesItsFloatSamples) {
    const std::filesystem::path path = folder / "autosound-measurements/w_L.wav-t0-at-256.wav";
    CImportEngine engine;
    ASSERT_TRUE(engine.Import(messages, path));
    EXPECT_EQ(engine.Format(), ImportFormat::Wav);
    EXPECT_TRUE(engine.Binary());
    EXPECT_EQ(engine.Kind(), ImportKind::TimeResponse);
    EXPECT_EQ(engine.SampleRate(), 96000.0);
    // Mono float samples right after a 44-byte header.
    const std::vector<std::uint8_t> bytes = test::ReadBytes(path);
    const std::size_t header = 44;
    ASSERT_EQ(std::string(bytes.begin() + 36, bytes.begin() + 40), "data");
    ASSERT_EQ(engine.TimeSamples().GetSize(), static_cast<int>((bytes.size() - header) / 4));
    for (int i = 0; i < engine.TimeSamples().GetSize(); ++i) {
        ASSERT_EQ(engine.TimeSamples()[i], LoadF32(bytes.data() + header + 4 * i)) << i;
    }
}

TEST_F(MeasurementFiles, FilesOfOtherLayoutsAreRefused) {
    const struct {
        const char* path;
        ImportFormat format;
        const char* reason;
    } refused[] = {
        // Free text before the data: not a measurement at all.
        {"autosound-measurements/rew_filter_settings_text.txt", ImportFormat::Unknown,
         "it is a list of equaliser filters"},
        // A serialised program project: binary, and not level records either.
        {"jonronen-speaker-measurements/Woofer Combined Near.mdat", ImportFormat::Unknown,
         "it is a binary file of no kind the program knows"},
    };
    for (const auto& file : refused) {
        SCOPED_TRACE(file.path);
        CImportEngine engine;
        EXPECT_FALSE(engine.Import(messages, folder / file.path));
        EXPECT_EQ(engine.Format(), file.format);
        EXPECT_EQ(engine.Reason(), file.reason);
        EXPECT_EQ(engine.Kind(), ImportKind::Nothing);
        EXPECT_TRUE(engine.Frequencies().Empty());
    }
}

// The files' phase columns: measured phases, a group delay, or nothing
// (no column, or zeros throughout).
TEST_F(MeasurementFiles, SayWhetherTheyCarryAPhase) {
    const std::pair<const char*, PhaseContent> expected[] = {
        {"autosound-measurements/ECM8000_0deg.txt", PhaseContent::None},
        {"autosound-measurements/c.txt", PhaseContent::None},
        {"autosound-measurements/fact5-bell-cut-q1-before.txt", PhaseContent::Phase},
        {"jonronen-speaker-measurements/caw938.frd", PhaseContent::Phase},
        {"jonronen-speaker-measurements/port and w near field.txt", PhaseContent::Phase},
        {"jonronen-speaker-measurements/tweeter diffraction.frd", PhaseContent::None},
        {"jonronen-speaker-measurements/woofer_combined.txt", PhaseContent::Phase},
        {"mk3-reference-loudspeaker/SB26STAC-C000-4_freq_response.csv", PhaseContent::None},
        {"rsantct-drc/L_0.frd", PhaseContent::None},
        {"speakertools/sample.frd", PhaseContent::GroupDelay},
        {"autosound-measurements/w_L.wav-t0-at-256.wav", PhaseContent::Phase},
    };
    for (const auto& [path, content] : expected) {
        SCOPED_TRACE(path);
        CImportEngine engine;
        ASSERT_TRUE(engine.Import(messages, folder / path));
        EXPECT_EQ(engine.PhaseHeld(), content);
    }
}

// The header's "Group Delay (sec)": the column goes in as seconds, and the
// curve's phase is integrated from it.
TEST_F(MeasurementFiles, AGroupDelayColumnIsReadAsOne) {
    const std::filesystem::path path = folder / "speakertools/sample.frd";
    CImportEngine engine;
    ASSERT_TRUE(engine.Import(messages, path));
    ASSERT_EQ(engine.GroupDelays().GetSize(), 1002);
    // "   18.440   +94.1374    +0.0108  "
    const int at = static_cast<int>(
        std::find(engine.Frequencies().begin(), engine.Frequencies().end(), 18.44) -
        engine.Frequencies().begin());
    ASSERT_LT(at, 1002);
    EXPECT_EQ(engine.GroupDelays()[at], 0.0108);
    EXPECT_TRUE(std::all_of(engine.Phases().begin(), engine.Phases().end(),
                            [](double phase) { return phase == 0.0; }));
    CBand band;
    PhaseReport report;
    ASSERT_TRUE(LoadSplCurve(band, engine, path, {}, nullptr, {}, &report));
    EXPECT_EQ(report.content, PhaseContent::GroupDelay);
    EXPECT_FALSE(report.minimum);
    EXPECT_EQ(DescribePhase(report), "from the group delay");
    // A delay of about 10 ms around 18 Hz turns the phase by about 2π·f·τ
    // per hertz there.
    const double slope = -(std::arg(band.splRaw[at + 1]) - std::arg(band.splRaw[at - 1])) /
                         (2.0 * std::numbers::pi * (band.splFreqs[at + 1] - band.splFreqs[at - 1]));
    EXPECT_NEAR(slope, 0.0108, 0.002);
}

// ∫ from 0 to u of ln coth(|t|/2) dt, odd in u: 2·(χ2(1) − χ2(e^−u)) with
// Legendre's chi function, whose series runs fast below 1/2 and, above,
// through Landen's χ2(x) + χ2((1−x)/(1+x)) = π²/8 + ½·ln x·ln((1+x)/(1−x)).
double Chi2(double x) {
    if (x > 0.5) {
        const double y = (1.0 - x) / (1.0 + x);
        return std::numbers::pi * std::numbers::pi / 8.0 - 0.5 * std::log(x) * -std::log(y) -
               Chi2(y);
    }
    double sum = 0.0;
    double power = x;
    for (int k = 1; power > 1e-18; k += 2) {
        sum += power / (static_cast<double>(k) * k);
        power *= x * x;
    }
    return sum;
}

double BodeKernelIntegral(double u) {
    const double quarterPiSquared = std::numbers::pi * std::numbers::pi / 4.0;
    if (std::isinf(u)) {
        return u > 0 ? quarterPiSquared : -quarterPiSquared;
    }
    const double whole = quarterPiSquared - 2.0 * Chi2(std::exp(-std::abs(u)));
    return u < 0 ? -whole : whole;
}

// Bode's gain-phase relation, φ(f) = (1/π)·∫ dA/du · ln coth(|u|/2) du with
// A = ln|H| and u = ln(f'/f), summed segment by segment over the curve
// taken as straight in ln f, and beyond its ends as their trend: a
// computation of its own, on the log axis, of what the transform gives.
std::vector<double> BodePhases(const VDoubleVec& frequencies, const VDoubleVec& levelsDb) {
    const int n = frequencies.GetSize();
    constexpr double kNeper = 0.11512925464970229;
    constexpr double kDbPerOctave = 6.020599913279624;
    const EndTrendPoints trend = FindEndTrendPoints(frequencies);
    const double low =
        FallingTrend(levelsDb[0], levelsDb[trend.low], trend.lowOctaves) / kDbPerOctave;
    const double high =
        FallingTrend(levelsDb[n - 1], levelsDb[trend.high], trend.highOctaves) / kDbPerOctave;
    std::vector<double> phases;
    for (int at = 0; at < n; ++at) {
        double sum = low * (BodeKernelIntegral(std::log(frequencies[0] / frequencies[at])) -
                            BodeKernelIntegral(-INFINITY));
        double previous = BodeKernelIntegral(std::log(frequencies[0] / frequencies[at]));
        for (int i = 1; i < n; ++i) {
            const double next = BodeKernelIntegral(std::log(frequencies[i] / frequencies[at]));
            const double span = std::log(frequencies[i] / frequencies[i - 1]);
            if (span > 0.0) {
                sum += (levelsDb[i] - levelsDb[i - 1]) * kNeper / span * (next - previous);
            }
            previous = next;
        }
        sum -= high * (BodeKernelIntegral(INFINITY) - previous);
        phases.push_back(sum / std::numbers::pi);
    }
    return phases;
}

TEST_F(MeasurementFiles, MagnitudeOnlyCurvesLoadWithTheirMinimumPhase) {
    for (const char* path :
         {"autosound-measurements/ECM8000_0deg.txt", "autosound-measurements/c.txt",
          "jonronen-speaker-measurements/tweeter diffraction.frd",
          "mk3-reference-loudspeaker/SB26STAC-C000-4_freq_response.csv", "rsantct-drc/L_0.frd"}) {
        SCOPED_TRACE(path);
        CBand band;
        CImportEngine engine;
        PhaseReport report;
        ASSERT_TRUE(engine.Import(messages, folder / path));
        ASSERT_TRUE(LoadSplCurve(band, engine, folder / path, {}, nullptr, {}, &report));
        EXPECT_TRUE(report.minimum);
        EXPECT_EQ(DescribePhase(report), "minimum phase");
        const int n = band.splFreqs.GetSize();
        VDoubleVec levels(n);
        for (int i = 0; i < n; ++i) {
            levels[i] = MagnitudeToDb(std::abs(band.splRaw[i]));
        }
        const std::vector<double> expected = BodePhases(band.splFreqs, levels);
        double largest = 0.0;
        for (int i = 0; i < n; ++i) {
            const double error =
                std::remainder(std::arg(band.splRaw[i]) - expected[static_cast<std::size_t>(i)],
                               2.0 * std::numbers::pi);
            largest = std::max(largest, std::abs(error) * 180.0 / std::numbers::pi);
        }
        EXPECT_LT(largest, 1.0);
    }
}

} // namespace
} // namespace kv
