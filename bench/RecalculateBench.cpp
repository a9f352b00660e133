#include "BenchDesigns.h"
#include "model/CConfiguration.h"

#include <benchmark/benchmark.h>
#include <cmath>

namespace {

void BM_FullRecalculation(benchmark::State& state) {
    kv::VFreqVec grid;
    grid.Create(10.0, 40000.0, 48, false, false);
    kv::CConfiguration design;
    kv::bench::BuildHeavyDesign(design);
    design.Recalculate(&grid, 0.02);
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
    kv::VFreqVec grid;
    grid.Create(10.0, 40000.0, 48, false, false);
    kv::CConfiguration design;
    kv::bench::BuildHeavyDesign(design);
    design.Recalculate(&grid, 0.02);
    double gain = 1.0;
    for (auto _ : state) {
        gain = -gain;
        design.bands[1].SetPeq(0, gain, 150.0, 1.0, true);
        benchmark::DoNotOptimize(design.Recalculate(&grid, 0.02));
    }
}
BENCHMARK(BM_OneBandChanged)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
