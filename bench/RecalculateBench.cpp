#include "model/BandCalculators.h"
#include "model/CConfiguration.h"
#include "model/SplCurve.h"

#include <array>
#include <benchmark/benchmark.h>
#include <cmath>

namespace {

// A 3-way design with all 16 biquads of every band in use and a 500-point
// SPL curve in every band.
void BuildHeavyDesign(kv::CConfiguration& design) {
    design.New(3, 96000.0);
    for (int b = 0; b < 3; ++b) {
        kv::CBand& band = design.bands[b];
        kv::CrossoverSettings slot;
        slot.order = 4;
        slot.type = kv::CrossoverType::Butterworth;
        slot.q = {0.5411961, 1.3065630, 0, 0};
        slot.freq = 200.0 * (b + 1);
        band.SetHighPass(0, slot);
        band.EnableHighPass(0, true);
        slot.freq = 3000.0 * (b + 1);
        band.SetLowPass(0, slot);
        band.EnableLowPass(0, true);
        for (int k = 0; k < 12; ++k) {
            band.SetPeq(k, 3.0 - k * 0.5, 100.0 * (k + 1), 2.0, true);
        }
        band.SetDelay(0.0001 * b);
        band.SetBassGain(3.0);
        band.splFreqs.SetSize(500);
        band.splRaw.SetSize(500);
        for (int i = 0; i < 500; ++i) {
            band.splFreqs[i] = 20.0 * std::pow(1000.0, i / 499.0);
            band.splRaw[i] = kv::FromPolar(1.0 + 0.1 * std::sin(i * 0.3), -0.01 * i);
        }
        kv::SetSmoothing(band, 6);
    }
}

// The heavy design computed once on the main grid.
struct ComputedHeavyDesign {
    ComputedHeavyDesign() {
        grid.Create(10.0, 40000.0, 48, false, false);
        BuildHeavyDesign(design);
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
