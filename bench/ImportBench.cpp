// Import speed on the largest files users bring: a long text measurement
// (target: 1,000,000 lines of three columns in at most 1 s) and a long
// recording (300 s of 96 kHz 24-bit stereo in at most 1.5 s, using no more
// memory than its result and a small constant).
#include "BenchMessages.h"
#include "BenchWave.h"
#include "import/CImportEngine.h"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

// A file written once per run and removed when the program ends.
class BenchFile {
public:
    explicit BenchFile(const std::string& name)
        : path_(std::filesystem::temp_directory_path() / ("kv-bench-" + name)) {}
    ~BenchFile() {
        std::error_code error;
        std::filesystem::remove(path_, error);
    }
    BenchFile(const BenchFile&) = delete;
    BenchFile& operator=(const BenchFile&) = delete;
    const std::filesystem::path& Path() const { return path_; }

private:
    std::filesystem::path path_;
};

const BenchFile& TextMeasurement() {
    static const BenchFile file("measurement.txt");
    static const bool written = [] {
        std::ofstream out(file.Path(), std::ios::binary);
        out << "Freq dB Phase\n";
        char line[64];
        constexpr int kLines = 1'000'000;
        for (int i = 0; i < kLines; ++i) {
            const double frequency = 10.0 * std::pow(2000.0, i / double(kLines));
            const int length =
                std::snprintf(line, sizeof line, "%.6f\t%.6f\t%.6f\n", frequency,
                              80.0 + 6.0 * std::sin(i * 1e-4), -180.0 + std::fmod(i * 0.01, 360.0));
            out.write(line, length);
        }
        return true;
    }();
    (void)written;
    return file;
}

constexpr int kWaveRate = 96000;
constexpr int kWaveSeconds = 300;
constexpr int kWaveFrames = kWaveRate * kWaveSeconds;

const BenchFile& LongRecording() {
    static const BenchFile file("recording.wav");
    static const bool written = [] {
        constexpr std::uint32_t kChannels = 2;
        constexpr std::uint32_t kBlockAlign = 3 * kChannels;
        constexpr std::uint32_t kDataBytes = kWaveFrames * kBlockAlign;
        std::ofstream out(file.Path(), std::ios::binary);
        kv::bench::WriteWaveHeader(out, {1, kChannels, kWaveRate, 24}, kDataBytes);
        std::vector<char> block(kBlockAlign * 4096);
        std::uint32_t noise = 12345;
        for (int frame = 0; frame < kWaveFrames; frame += 4096) {
            for (char& byte : block) {
                noise = noise * 1664525u + 1013904223u;
                byte = static_cast<char>(noise >> 24);
            }
            out.write(block.data(), static_cast<std::streamsize>(block.size()));
        }
        return true;
    }();
    (void)written;
    return file;
}

// Resident memory of this process in bytes: now, and at its peak since the
// peak was last reset (Linux only; 0 elsewhere).
std::uint64_t StatusBytes(const char* field) {
    std::ifstream status("/proc/self/status");
    std::string name;
    std::uint64_t kilobytes = 0;
    while (status >> name) {
        if (name == field) {
            status >> kilobytes;
            return kilobytes * 1024;
        }
    }
    return 0;
}

void ResetPeakMemory() {
    std::ofstream("/proc/self/clear_refs") << "5";
}

void BM_ImportTextMillionLines(benchmark::State& state) {
    const BenchFile& file = TextMeasurement();
    kv::bench::SilentMessages messages(kv::IMessageBox::Answer::Yes);
    for (auto _ : state) {
        kv::CImportEngine engine;
        if (!engine.Import(messages, file.Path()) || engine.Frequencies().GetSize() != 1'000'000) {
            state.SkipWithError("the text file did not import");
            return;
        }
        benchmark::DoNotOptimize(engine.Levels().Data());
    }
    state.SetBytesProcessed(state.iterations() *
                            static_cast<std::int64_t>(std::filesystem::file_size(file.Path())));
}
BENCHMARK(BM_ImportTextMillionLines)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_ImportLongWave(benchmark::State& state) {
    const BenchFile& file = LongRecording();
    kv::bench::SilentMessages messages(kv::IMessageBox::Answer::Yes);
    double peak = 0.0;
    for (auto _ : state) {
        ResetPeakMemory();
        const std::uint64_t before = StatusBytes("VmRSS:");
        {
            kv::CImportEngine engine;
            if (!engine.Import(messages, file.Path()) ||
                engine.TimeSamples().GetSize() != kWaveFrames) {
                state.SkipWithError("the recording did not import");
                return;
            }
            benchmark::DoNotOptimize(engine.TimeSamples().Data());
        }
        peak = std::max(peak, static_cast<double>(StatusBytes("VmHWM:")) - before);
    }
    state.counters["result_MB"] = kWaveFrames * sizeof(double) / 1048576.0;
    state.counters["peak_MB"] = peak / 1048576.0;
    state.SetBytesProcessed(state.iterations() *
                            static_cast<std::int64_t>(std::filesystem::file_size(file.Path())));
}
BENCHMARK(BM_ImportLongWave)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

BENCHMARK_MAIN();
