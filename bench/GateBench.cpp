// What a change of the SPL Curve dialog's gate costs on a 2-second 48 kHz
// impulse response: the gate's transform alone, and the whole reload of the
// band's curve (transform, smoothing) that comes before the panes repaint.
// The target for the gate change up to the repainted panes is 20 ms median;
// the transform should take a few of them.
#include "import/CImportEngine.h"
#include "model/CBand.h"
#include "model/ImpulseGate.h"
#include "model/SplCurve.h"
#include "ui/IMessageBox.h"

#include <benchmark/benchmark.h>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

constexpr int kRate = 48000;
constexpr int kSamples = 2 * kRate;

class SilentMessageBox : public kv::IMessageBox {
public:
    void Show(const std::string&, const std::string&, Icon) override {}
    Answer Ask(const std::string&, const std::string&, Buttons, Icon) override {
        return Answer::Yes;
    }
};

// A room measurement's shape: 3 ms of flight, a ringing direct sound,
// reflections, and a decaying noise tail over the whole 2 s.
std::vector<float> RoomImpulse() {
    std::vector<float> samples(kSamples, 0.0f);
    std::uint32_t noise = 12345;
    for (int t = 0; t < kSamples; ++t) {
        noise = noise * 1664525u + 1013904223u;
        const double tail = (static_cast<double>(noise) / 4294967296.0 - 0.5) * 0.02 *
                            std::exp(-t / (0.25 * kRate));
        samples[static_cast<std::size_t>(t)] = static_cast<float>(tail);
    }
    const int arrival = 144;
    for (int t = arrival; t < kSamples; ++t) {
        const double u = (t - arrival) / static_cast<double>(kRate);
        samples[static_cast<std::size_t>(t)] +=
            static_cast<float>(std::exp(-3000.0 * u) * std::cos(2.0 * 3.14159265 * 800.0 * u));
    }
    for (const int reflection : {900, 1500, 2600}) {
        samples[static_cast<std::size_t>(reflection)] += 0.3f;
    }
    return samples;
}

void AppendLittleEndian(std::vector<char>& bytes, std::uint32_t value, int count) {
    for (int i = 0; i < count; ++i) {
        bytes.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
    }
}

// The impulse response as a mono 32-bit float WAV file, imported once.
const kv::CImportEngine& ImportedImpulse(const std::filesystem::path& path) {
    static kv::CImportEngine engine;
    static const bool imported = [&path] {
        const std::vector<float> samples = RoomImpulse();
        const auto dataBytes = static_cast<std::uint32_t>(samples.size() * 4);
        std::vector<char> bytes = {'R', 'I', 'F', 'F'};
        AppendLittleEndian(bytes, 36 + dataBytes, 4);
        for (const char c : std::string("WAVEfmt ")) {
            bytes.push_back(c);
        }
        for (const auto& [value, count] : std::vector<std::pair<std::uint32_t, int>>{
                 {16, 4}, {3, 2}, {1, 2}, {kRate, 4}, {kRate * 4, 4}, {4, 2}, {32, 2}}) {
            AppendLittleEndian(bytes, value, count);
        }
        for (const char c : std::string("data")) {
            bytes.push_back(c);
        }
        AppendLittleEndian(bytes, dataBytes, 4);
        const std::size_t header = bytes.size();
        bytes.resize(header + dataBytes);
        std::memcpy(bytes.data() + header, samples.data(), dataBytes);
        std::ofstream(path, std::ios::binary).write(bytes.data(), std::ssize(bytes));
        SilentMessageBox messages;
        const bool ok = engine.Import(messages, path);
        std::filesystem::remove(path);
        return ok;
    }();
    benchmark::DoNotOptimize(imported);
    return engine;
}

std::filesystem::path WavePath() {
    return std::filesystem::temp_directory_path() / "kv-bench-impulse.wav";
}

// Argument: the gate's length in ms.
void BM_GateTransform(benchmark::State& state) {
    const kv::CImportEngine& engine = ImportedImpulse(WavePath());
    const kv::ImpulseGate gate{static_cast<double>(state.range(0)), kv::WindowType::CosineBell};
    kv::ImpulseGating gating;
    kv::GatedCurve curve;
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            gating.Gate(engine.TimeSamples(), engine.SampleRate(), gate, curve));
    }
}
BENCHMARK(BM_GateTransform)->Arg(5)->Arg(20)->Arg(100)->Unit(benchmark::kMillisecond);

// What the dialog runs on a gate change: the band's curve reloaded through
// the gate and smoothed at 1/6 octave.
void BM_GateChangeReload(benchmark::State& state) {
    const kv::CImportEngine& engine = ImportedImpulse(WavePath());
    kv::ImpulseGating gating;
    kv::CBand band;
    band.splSmoothing = 6;
    double ms = static_cast<double>(state.range(0));
    for (auto _ : state) {
        ms = ms == state.range(0) ? ms + 0.5 : state.range(0);
        benchmark::DoNotOptimize(
            kv::LoadSplCurve(band, engine, WavePath(), gating, {ms, kv::WindowType::CosineBell}));
    }
}
BENCHMARK(BM_GateChangeReload)->Arg(5)->Arg(99)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
