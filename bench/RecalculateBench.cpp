#include "BenchDesigns.h"
#include "model/BandCalculators.h"
#include "model/CConfiguration.h"

#include <array>
#include <benchmark/benchmark.h>
#include <cmath>

namespace {

// The heavy design computed once on the main grid.
struct ComputedHeavyDesign {
    ComputedHeavyDesign() {
        grid.Create(10.0, 40000.0, 48, false, false);
        kv::bench::BuildHeavyDesign(design);
        design.Recalculate(&grid, 0.02);
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
        benchmark::DoNotOptimize(design.Recalculate(&grid, 0.02));
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
        benchmark::DoNotOptimize(design.Recalculate(&grid, 0.02));
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

} // namespace

BENCHMARK_MAIN();
