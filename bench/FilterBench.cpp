// The filter part of a recalculation must leave room for the transforms:
// a whole 3-way design with 16 biquads per band on the 576-point grid is
// budgeted at well under the 2 ms of a full recalculation.
#include "hardware/CTAS3103.h"
#include "hardware/HardwareCheck.h"
#include "math/VFreqVec.h"
#include "model/BandCalculators.h"
#include "model/CConfiguration.h"

#include <benchmark/benchmark.h>

namespace kv {
namespace {

constexpr double kFs = 96000.0;

VFreqVec MainGrid() {
    VFreqVec grid;
    grid.Create(10.0, 40000.0, 48, false, false);
    return grid;
}

// Every band full: two 8th-order crossovers (8 sections), six notches, the
// all-pass and a shelf.
void FillThreeWay(CConfiguration& design) {
    design.New(3, kFs);
    for (std::size_t b = 0; b < design.bands.size(); ++b) {
        CBand& band = design.bands[b];
        CrossoverSettings lr8;
        lr8.order = 8;
        lr8.freq = 300.0 * static_cast<double>(b + 1);
        lr8.q = {0.5412, 1.3065, 0.5412, 1.3065};
        band.SetHighPass(0, lr8);
        band.EnableHighPass(0, true);
        lr8.freq *= 4.0;
        band.SetLowPass(0, lr8);
        band.EnableLowPass(0, true);
        for (int k = 0; k < kNotches; ++k) {
            band.SetNotch(k, 100.0 * (k + 1), 4.0, true);
        }
        band.SetAllPass(900.0, 0.7, true);
        band.SetLowShelf(3.0, 120.0, true);
        band.SetBassGain(2.0);
    }
}

// What a band's recalculation multiplies in, in its order.
void ApplyEverything(const CBand& band, const GridPhasors& phasors, VComplexVec& response) {
    ApplyBassTreble(band, phasors, response);
    ApplyHighPassFilters(band, phasors, response);
    ApplyLowPassFilters(band, phasors, response);
    ApplyNotches(band, phasors, response);
    ApplyAllPass(band, phasors, response);
    ApplyLowShelf(band, phasors, response);
    ApplyHighShelf(band, phasors, response);
    ApplyPeqs(band, phasors, response);
    ApplyHighPassTargets(band, phasors, response);
    ApplyLowPassTargets(band, phasors, response);
}

void BM_SectionOnGrid(benchmark::State& state) {
    const VFreqVec grid = MainGrid();
    GridPhasors phasors;
    phasors.Create(grid, kFs);
    BiquadCalc calc;
    calc.Design(BiquadKind::Peaking, kFs, 1000.0, 3.0, 2.0);
    VComplexVec response(grid.GetSize());
    for (auto _ : state) {
        response.FillReal(1.0);
        calc.MultiplyResponse(response, phasors);
        benchmark::DoNotOptimize(response.Data());
    }
}
BENCHMARK(BM_SectionOnGrid);

// The same section with its own cos and sin per point, for comparison.
void BM_SectionOnGridWithoutPhasors(benchmark::State& state) {
    const VFreqVec grid = MainGrid();
    BiquadCalc calc;
    calc.Design(BiquadKind::Peaking, kFs, 1000.0, 3.0, 2.0);
    VComplexVec out;
    for (auto _ : state) {
        calc.Evaluate(out, grid);
        benchmark::DoNotOptimize(out.Data());
    }
}
BENCHMARK(BM_SectionOnGridWithoutPhasors);

// All filters of a full 3-way design (16 biquads per band plus bass), with
// the phasors made once per recalculation.
void BM_ThreeWayFilterResponses(benchmark::State& state) {
    const VFreqVec grid = MainGrid();
    CConfiguration design;
    FillThreeWay(design);
    VComplexVec response(grid.GetSize());
    for (auto _ : state) {
        GridPhasors phasors;
        phasors.Create(grid, kFs);
        for (const CBand& band : design.bands) {
            response.FillReal(1.0);
            ApplyEverything(band, phasors, response);
            benchmark::DoNotOptimize(response.Data());
        }
    }
}
BENCHMARK(BM_ThreeWayFilterResponses)->Unit(benchmark::kMicrosecond);

void BM_ThreeWayImage(benchmark::State& state) {
    CConfiguration design;
    FillThreeWay(design);
    if (!CTAS3103::CheckConfiguration(design).empty()) {
        state.SkipWithError("the design is refused, so no image would be built");
        return;
    }
    for (auto _ : state) {
        CTAS3103 tas;
        benchmark::DoNotOptimize(tas.BuildImage(design));
    }
}
BENCHMARK(BM_ThreeWayImage)->Unit(benchmark::kMicrosecond);

// The hardware check the window runs before every redraw, to mark what the
// unit cannot run.
void BM_ThreeWayHardwareCheck(benchmark::State& state) {
    CConfiguration design;
    FillThreeWay(design);
    for (auto _ : state) {
        benchmark::DoNotOptimize(HardwareCheck(design).Run());
    }
}
BENCHMARK(BM_ThreeWayHardwareCheck)->Unit(benchmark::kMicrosecond);

} // namespace
} // namespace kv

BENCHMARK_MAIN();
