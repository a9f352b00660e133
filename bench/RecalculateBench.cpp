#include "BenchDesigns.h"
#include "RatioReporter.h"
#include "model/BandCalculators.h"
#include "model/CConfiguration.h"

#include <array>
#include <benchmark/benchmark.h>
#include <cmath>
#include <vector>

#if defined(KV_HAVE_FFTW)
#include "FftwRealInverse.h"

#include <fftw3.h>
#endif

namespace {

constexpr double kSampleRate = 96000.0;
constexpr double kPirLength = 0.02;
constexpr int kBands = 3;
// Each band's filter, SPL, target and total, and the three sums.
constexpr int kTimeResponses = 4 * kBands + 3;

// The heavy design computed once on the main grid.
struct ComputedHeavyDesign {
    ComputedHeavyDesign() {
        grid.Create(10.0, 40000.0, 48, false, false);
        kv::bench::BuildHeavyDesign(design);
        design.Recalculate(&grid, kPirLength);
    }

    kv::VFreqVec grid;
    kv::CConfiguration design;
};

void BM_FullRecalculation(benchmark::State& state) {
    ComputedHeavyDesign heavy;
    kv::VFreqVec& grid = heavy.grid;
    kv::CConfiguration& design = heavy.design;
    for (auto _ : state) {
        state.PauseTiming();
        for (kv::CBand& band : design.bands) {
            band.ClearResponses();
            band.modified = true;
        }
        design.sumFilterResponse.SetSize(0);
        design.sumTargetResponse.SetSize(0);
        design.sumTotalResponse.SetSize(0);
        state.ResumeTiming();
        benchmark::DoNotOptimize(design.Recalculate(&grid, kPirLength));
    }
}
BENCHMARK(BM_FullRecalculation)->Unit(benchmark::kMicrosecond);

void BM_OneBandChanged(benchmark::State& state) {
    ComputedHeavyDesign heavy;
    kv::VFreqVec& grid = heavy.grid;
    kv::CConfiguration& design = heavy.design;
    double gain = 1.0;
    for (auto _ : state) {
        gain = -gain;
        design.bands[1].SetPeq(0, gain, 150.0, 1.0, true);
        benchmark::DoNotOptimize(design.Recalculate(&grid, kPirLength));
    }
}
BENCHMARK(BM_OneBandChanged)->Unit(benchmark::kMicrosecond);

// What the hardware-exact curves add to a full recalculation of the heavy
// design: the sections come from the filter response's own pass there.
void BM_HardwareResponses(benchmark::State& state) {
    ComputedHeavyDesign heavy;
    const kv::VFreqVec& grid = heavy.grid;
    kv::CConfiguration& design = heavy.design;
    std::array<kv::BiquadList, 3> sections;
    for (int b = 0; b < 3; ++b) {
        kv::CollectBiquads(design.bands[b], sections[b]);
    }
    const kv::GridPhasors& phasors = design.Engine().Phasors();
    for (auto _ : state) {
        for (int b = 0; b < 3; ++b) {
            kv::CBand& band = design.bands[b];
            kv::ComputeHardwareResponse(band, sections[b], phasors, grid, band.hardwareResponse);
        }
        benchmark::DoNotOptimize(design.bands[2].hardwareResponse.Data());
    }
}
BENCHMARK(BM_HardwareResponses)->Unit(benchmark::kMicrosecond);

#if defined(KV_HAVE_FFTW)
// What no recalculation of the heavy design can avoid, done with the fastest
// tools at hand: for each of its time responses one exponential and one
// sine/cosine pair per spectrum bin, and one real-output inverse transform.
// The levels and phases are shaped like a band's: a few dB of ripple and a
// phase that turns by tens of radians up to half the sample rate.
void BM_Floor(benchmark::State& state) {
    const int size = 1 << kv::CResponseEngine::TransformLog2Size(kSampleRate, kPirLength);
    const int bins = size / 2;
    std::vector<double> level(static_cast<std::size_t>(bins));
    std::vector<double> angle(static_cast<std::size_t>(bins));
    for (int k = 0; k < bins; ++k) {
        level[static_cast<std::size_t>(k)] = 0.3 * std::sin(0.01 * k) - 0.2;
        angle[static_cast<std::size_t>(k)] = -0.03 * k + std::sin(0.005 * k);
    }
    const kv::bench::FftwRealInverse fftw(size, FFTW_MEASURE);
    fftw_complex* spectrum = fftw.Spectrum();
    for (auto _ : state) {
        for (int r = 0; r < kTimeResponses; ++r) {
            spectrum[0][0] = 0.0;
            spectrum[0][1] = 0.0;
            for (int k = 1; k < bins; ++k) {
                const double magnitude = std::exp(level[static_cast<std::size_t>(k)]);
                double s = 0.0;
                double c = 0.0;
                ::sincos(angle[static_cast<std::size_t>(k)], &s, &c);
                spectrum[k][0] = magnitude * c;
                spectrum[k][1] = magnitude * s;
            }
            spectrum[bins][0] = 0.0;
            spectrum[bins][1] = 0.0;
            fftw.Execute();
            benchmark::DoNotOptimize(fftw.Signal());
            benchmark::ClobberMemory();
        }
    }
}
BENCHMARK(BM_Floor)->Unit(benchmark::kMicrosecond);
#endif

} // namespace

int main(int argc, char** argv) {
    return kv::RunWithRatios(
        argc, argv, {{"BM_FullRecalculation", "BM_Floor"}, {"BM_OneBandChanged", "BM_Floor"}});
}
