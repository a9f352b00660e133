#include "ImportFiles.h"

#include <cmath>
#include <complex>
#include <functional>
#include <gtest/gtest.h>
#include <limits>

namespace kv {
namespace {

using Doubles = std::vector<double>;
using test::ByteWriter;
using test::Float32;
using test::MakeWave;
using test::WaveLayout;

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();

std::vector<std::uint8_t> LevelRecords(const std::vector<std::pair<float, float>>& records) {
    ByteWriter writer;
    for (const auto& [level, frequency] : records) {
        Float32(Float32(writer, level), frequency);
    }
    return writer.Bytes();
}

std::vector<std::uint8_t> TimeSeries(float intervalMs, std::int32_t count,
                                     const std::vector<float>& samples) {
    ByteWriter writer;
    writer.Raw({0xCD, 0xAB, 0xFF, 0xFF, 0, 0});
    Float32(writer, intervalMs).Int32(count);
    for (const float sample : samples) {
        Float32(writer, sample);
    }
    return writer.Bytes();
}

std::vector<std::uint8_t> Mlssa(float stepKhz, std::int32_t n,
                                const std::vector<std::complex<float>>& points, int scale,
                                std::size_t trailer = 846) {
    ByteWriter writer;
    writer.Raw({0xDE, 0xBC, 0xFF, 0xFF});
    Float32(writer, stepKhz).Int32(n);
    for (const auto& z : points) {
        Float32(Float32(writer, z.real()), z.imag());
    }
    std::vector<std::uint8_t> tail(trailer, 0);
    if (trailer >= 237) {
        tail[235] = static_cast<std::uint8_t>(scale & 0xFF);
        tail[236] = static_cast<std::uint8_t>((scale >> 8) & 0xFF);
    }
    return writer.Raw(tail).Bytes();
}

class BinaryImport : public test::ImportFiles {};

TEST_F(BinaryImport, LevelRecordsGiveAnAscendingCurveWithoutPhase) {
    ASSERT_TRUE(ImportBytes("a.dat", LevelRecords({{80.5f, 20.f}, {81.f, 20.f}, {82.f, 40.f}})));
    EXPECT_EQ(engine.Format(), ImportFormat::BinaryLevelRecords);
    EXPECT_TRUE(engine.Binary());
    EXPECT_EQ(Values(engine.Frequencies()), (Doubles{20, 20, 40}));
    EXPECT_EQ(Values(engine.Levels()), (Doubles{80.5, 81, 82}));
    EXPECT_EQ(Values(engine.Phases()), (Doubles{0, 0, 0}));
}

TEST_F(BinaryImport, LevelRecordsFailOnABadFrequencyOrANonFiniteValue) {
    EXPECT_FALSE(ImportBytes("a.dat", LevelRecords({{80.f, 40.f}, {81.f, 20.f}})));
    EXPECT_FALSE(ImportBytes("a.dat", LevelRecords({{80.f, 0.f}, {81.f, 20.f}})));
    EXPECT_FALSE(ImportBytes("a.dat", LevelRecords({{80.f, -5.f}})));
    EXPECT_FALSE(ImportBytes("a.dat", LevelRecords({{kNaN, 20.f}, {81.f, 30.f}})));
    EXPECT_FALSE(ImportBytes("a.dat", LevelRecords({{80.f, 20.f}, {81.f, kNaN}})));
    EXPECT_FALSE(ImportBytes("a.dat", LevelRecords({{80.f, 20.f}, {81.f, INFINITY}})));
    EXPECT_TRUE(engine.Frequencies().Empty());
}

TEST_F(BinaryImport, TimeSeriesNeedAPositiveIntervalAndAllTheirSamples) {
    ASSERT_TRUE(ImportBytes("t.bin", TimeSeries(0.5f, 3, {0.25f, -1.f, 2.f})));
    EXPECT_EQ(engine.Format(), ImportFormat::BinaryTimeSeries);
    EXPECT_EQ(engine.Kind(), ImportKind::TimeResponse);
    EXPECT_EQ(engine.SampleRate(), 2000.0);
    EXPECT_EQ(Values(engine.TimeSamples()), (Doubles{0.25, -1, 2}));

    EXPECT_FALSE(ImportBytes("t.bin", TimeSeries(0.f, 1, {1.f})));
    EXPECT_FALSE(ImportBytes("t.bin", TimeSeries(-1.f, 1, {1.f})));
    EXPECT_FALSE(ImportBytes("t.bin", TimeSeries(kNaN, 1, {1.f})));
    EXPECT_FALSE(ImportBytes("t.bin", TimeSeries(1.f, 0, {})));
    EXPECT_FALSE(ImportBytes("t.bin", TimeSeries(1.f, 3, {1.f, 2.f})));
    // A count of 2^31 - 1 samples in a file of a few bytes fails before
    // anything is allocated for it.
    EXPECT_FALSE(ImportBytes("t.bin", TimeSeries(1.f, 0x7FFFFFFF, {1.f})));
}

TEST_F(BinaryImport, MlssaAsksWhetherTheFileIsAnSplCurve) {
    const std::vector<std::complex<float>> points = {{9, 9}, {1, 0}, {0, 2}, {0, 0}};
    ASSERT_TRUE(ImportBytes("m.mls", Mlssa(0.5f, 4, points, 0)));
    ASSERT_EQ(messages.asked.size(), 1u);
    EXPECT_EQ(messages.asked[0].text, "Is the MLSSA file \"m.mls\" a SPL curve ? ");
    EXPECT_EQ(messages.asked[0].caption, "Import Engine");
    EXPECT_EQ(messages.asked[0].icon, IMessageBox::Icon::Question);
    EXPECT_EQ(engine.Kind(), ImportKind::FrequencyResponse);
    EXPECT_EQ(Values(engine.Frequencies()), (Doubles{500, 1000, 1500}));
    EXPECT_EQ(Values(engine.Levels()), (Doubles{0, 20 * std::log10(2.0), -760}));
    EXPECT_EQ(Values(engine.Phases()), (Doubles{0, std::atan2(2.0, 0.0), 0}));

    test::RecordingMessageBox no(IMessageBox::Answer::No);
    ASSERT_TRUE(engine.Import(no, dir / "m.mls"));
    EXPECT_EQ(engine.Kind(), ImportKind::Impedance);
    EXPECT_EQ(Values(engine.ImpedanceMagnitudes()), (Doubles{0, 0, 0}));
    ASSERT_TRUE(ImportBytes("n.mls", Mlssa(0.5f, 4, points, -3)));
    ASSERT_TRUE(engine.Import(no, dir / "n.mls"));
    EXPECT_EQ(Values(engine.ImpedanceMagnitudes()), (Doubles{-3, -6, 0}));
    EXPECT_TRUE(engine.Levels().Empty());
}

TEST_F(BinaryImport, HostileMlssaFilesFailWithoutAllocatingOrAsking) {
    const std::vector<std::complex<float>> two = {{1, 0}, {1, 0}};
    EXPECT_FALSE(ImportBytes("m.mls", Mlssa(0.5f, 1'000'000'000, two, 1)));
    EXPECT_FALSE(ImportBytes("m.mls", Mlssa(0.5f, 1, {{1, 0}}, 1)));
    EXPECT_FALSE(ImportBytes("m.mls", Mlssa(0.f, 2, two, 1)));
    EXPECT_FALSE(ImportBytes("m.mls", Mlssa(kNaN, 2, two, 1)));
    EXPECT_TRUE(messages.asked.empty());
    EXPECT_FALSE(ImportBytes("m.mls", Mlssa(0.5f, 2, {{1, 0}, {kNaN, 0}}, 1)));
    // Impedance needs the scale in the trailer; a response does not.
    test::RecordingMessageBox no(IMessageBox::Answer::No);
    ImportBytes("short.mls", Mlssa(0.5f, 2, two, 1, 100));
    EXPECT_FALSE(engine.Import(no, dir / "short.mls"));
    EXPECT_TRUE(engine.Import(messages, dir / "short.mls"));
}

TEST_F(BinaryImport, WaveSamplesOfEveryWidthAreMixedToFullScaleMono) {
    WaveLayout pcm16;
    pcm16.channels = 2;
    pcm16.blockAlign = 4;
    pcm16.data = {0x00, 0x40, 0x00, 0x20, 0x00, 0x80, 0x00, 0x80};
    ASSERT_TRUE(ImportBytes("a.wav", MakeWave(pcm16)));
    EXPECT_EQ(engine.Format(), ImportFormat::Wav);
    EXPECT_EQ(engine.Kind(), ImportKind::TimeResponse);
    EXPECT_EQ(engine.SampleRate(), 48000.0);
    EXPECT_EQ(Values(engine.TimeSamples()), (Doubles{0.375, -1}));

    WaveLayout pcm8{.blockAlign = 1, .bits = 8, .data = {0x80, 0xC0, 0x00}};
    ASSERT_TRUE(ImportBytes("a.wav", MakeWave(pcm8)));
    EXPECT_EQ(Values(engine.TimeSamples()), (Doubles{0, 0.5, -1}));

    WaveLayout pcm24{.blockAlign = 3, .bits = 24, .data = {0x00, 0x00, 0x40, 0xFF, 0xFF, 0xFF}};
    ASSERT_TRUE(ImportBytes("a.wav", MakeWave(pcm24)));
    EXPECT_EQ(Values(engine.TimeSamples()), (Doubles{0.5, -256 * 4.656612873077393e-10}));

    WaveLayout pcm24in32{.blockAlign = 4, .bits = 24, .data = {0x00, 0x00, 0x40, 0x00}};
    ASSERT_TRUE(ImportBytes("a.wav", MakeWave(pcm24in32)));
    EXPECT_EQ(Values(engine.TimeSamples()), (Doubles{0x400000 * 256.0 * 4.656612873077393e-10}));

    WaveLayout pcm32{.blockAlign = 4, .bits = 32, .data = {0x00, 0x00, 0x00, 0xC0}};
    ASSERT_TRUE(ImportBytes("a.wav", MakeWave(pcm32)));
    EXPECT_EQ(Values(engine.TimeSamples()), (Doubles{-0x40000000 * 4.656612873077393e-10}));

    WaveLayout float64{.formatTag = 3, .blockAlign = 8, .bits = 64};
    float64.data = ByteWriter().Double(-0.125).Bytes();
    ASSERT_TRUE(ImportBytes("a.wav", MakeWave(float64)));
    EXPECT_EQ(Values(engine.TimeSamples()), (Doubles{-0.125}));
}

TEST_F(BinaryImport, WaveFloatSamplesFollowTheFormatOrTheExtensibleSubFormat) {
    ByteWriter samples;
    Float32(Float32(samples, 0.5f), -0.25f);
    WaveLayout plain{.formatTag = 3, .blockAlign = 4, .bits = 32, .data = samples.Bytes()};
    ASSERT_TRUE(ImportBytes("a.wav", MakeWave(plain)));
    EXPECT_EQ(Values(engine.TimeSamples()), (Doubles{0.5, -0.25}));

    WaveLayout extensible = plain;
    extensible.formatTag = 65534;
    extensible.subFormat = 3;
    ASSERT_TRUE(ImportBytes("b.wav", MakeWave(extensible)));
    EXPECT_EQ(Values(engine.TimeSamples()), (Doubles{0.5, -0.25}));

    extensible.subFormat = 1;
    ASSERT_TRUE(ImportBytes("c.wav", MakeWave(extensible)));
    EXPECT_EQ(engine.TimeSamples()[0], 0x3F000000 * 4.656612873077393e-10);

    extensible.subFormat = 6;
    EXPECT_FALSE(ImportBytes("d.wav", MakeWave(extensible)));
}

TEST_F(BinaryImport, WaveFilesWhoseHeaderContradictsItselfFail) {
    const WaveLayout good{.blockAlign = 2, .bits = 16, .data = {0, 0, 0, 0}};
    ASSERT_TRUE(ImportBytes("a.wav", MakeWave(good)));

    const std::vector<std::function<void(WaveLayout&)>> contradictions = {
        [](WaveLayout& layout) { layout.blockAlign = 0; },
        [](WaveLayout& layout) { layout.bits = 32; },
        [](WaveLayout& layout) { layout.channels = 2; },
        [](WaveLayout& layout) { layout.channels = 0; },
        [](WaveLayout& layout) { layout.bits = 7; },
        [](WaveLayout& layout) { layout.formatTag = 2; },
        [](WaveLayout& layout) { layout.sampleRate = 0; },
        [](WaveLayout& layout) { layout.claimedDataLength = 0x7FFFFFF0; },
    };
    for (std::size_t i = 0; i < contradictions.size(); ++i) {
        WaveLayout layout = good;
        contradictions[i](layout);
        EXPECT_FALSE(ImportBytes("a.wav", MakeWave(layout))) << i;
    }

    std::vector<std::uint8_t> noFormat = MakeWave(good);
    noFormat[24] = 'x';
    EXPECT_FALSE(ImportBytes("a.wav", noFormat));
    std::vector<std::uint8_t> truncated = MakeWave(good);
    truncated.resize(40);
    EXPECT_FALSE(ImportBytes("a.wav", truncated));
}

TEST_F(BinaryImport, WaveFilesAreReadForAtMostThreeHundredSeconds) {
    WaveLayout slow{.sampleRate = 1, .blockAlign = 1, .bits = 8};
    slow.data.assign(305, 0xC0);
    ASSERT_TRUE(ImportBytes("a.wav", MakeWave(slow)));
    EXPECT_EQ(engine.TimeSamples().GetSize(), 300);
    EXPECT_EQ(engine.SampleRate(), 1.0);
}

} // namespace
} // namespace kv
