// What a change of the SPL Curve dialog's gate costs on a 2-second 48 kHz
// impulse response: the gate's transform alone, and the whole reload of the
// band's curve (transform, smoothing) that comes before the panes repaint.
// The target for the gate change up to the repainted panes is 20 ms median;
// the transform should take a few of them.
#include "BenchImpulse.h"
#include "BenchMessages.h"
#include "import/CImportEngine.h"
#include "model/CBand.h"
#include "model/ImpulseGate.h"
#include "model/SplCurve.h"

#include <benchmark/benchmark.h>
#include <filesystem>

namespace {

// The room impulse response, imported once.
const kv::CImportEngine& ImportedImpulse(const std::filesystem::path& path) {
    static kv::CImportEngine engine;
    static const bool imported = [&path] {
        kv::bench::WriteRoomImpulseWave(path);
        kv::bench::SilentMessages messages;
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
