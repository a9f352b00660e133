// The minimum phase of a curve without one, and Align. Targets: the
// minimum phase of a 1000-point curve in at most 2 ms (a fresh object, its
// tables included, as a file's load makes one), and Align of both
// crossovers of a 3-way in at most 50 ms.
#include "filters/AlignmentTable.h"
#include "math/MinimumPhase.h"
#include "math/ResponseCurves.h"
#include "model/Alignment.h"
#include "model/CConfiguration.h"
#include "model/MainGrid.h"
#include "model/SplPhase.h"

#include <benchmark/benchmark.h>
#include <cmath>
#include <complex>
#include <tuple>

namespace {

// A driver's level over 1000 points from 10 Hz to 40 kHz: a resonance, a
// roll-off and a break-up peak, with some ripple.
struct Curve {
    kv::VDoubleVec frequencies{1000};
    kv::VDoubleVec levels{1000};
    kv::VDoubleVec phases{1000};
};

Curve DriverCurve(double lowHz, double highHz) {
    Curve curve;
    for (int i = 0; i < 1000; ++i) {
        const double hz = 10.0 * std::pow(4000.0, i / 999.0);
        const std::complex<double> low(0.0, hz / lowHz);
        const std::complex<double> high(0.0, hz / highHz);
        const std::complex<double> h =
            low * low / (low * low + low * 1.4 + 1.0) / (high * high + high * 1.2 + 1.0);
        curve.frequencies[i] = hz;
        curve.levels[i] = 90.0 + 20.0 * std::log10(std::abs(h)) + 0.3 * std::sin(i * 0.21);
        curve.phases[i] = std::arg(h);
    }
    return curve;
}

void BM_MinimumPhase1000Points(benchmark::State& state) {
    const Curve curve = DriverCurve(50.0, 3000.0);
    kv::VDoubleVec phases;
    for (auto _ : state) {
        kv::MinimumPhase transform;
        benchmark::DoNotOptimize(transform.Compute(curve.frequencies, curve.levels, phases));
    }
}
BENCHMARK(BM_MinimumPhase1000Points)->Unit(benchmark::kMillisecond);

// With the transform's tables kept, as for a second curve.
void BM_MinimumPhase1000PointsKept(benchmark::State& state) {
    const Curve curve = DriverCurve(50.0, 3000.0);
    kv::VDoubleVec phases;
    kv::MinimumPhase transform;
    for (auto _ : state) {
        benchmark::DoNotOptimize(transform.Compute(curve.frequencies, curve.levels, phases));
    }
}
BENCHMARK(BM_MinimumPhase1000PointsKept)->Unit(benchmark::kMillisecond);

// Everything a load does to a measured phase: the minimum phase and the
// fit of the flight time.
void BM_CurvePhasesWithFlightTime(benchmark::State& state) {
    Curve curve = DriverCurve(50.0, 3000.0);
    for (int i = 0; i < 1000; ++i) {
        curve.phases[i] -= 2.0 * 3.14159265358979 * curve.frequencies[i] * 3e-3;
    }
    kv::SplPhase remove;
    remove.removeFlightTime = true;
    kv::VDoubleVec phases;
    kv::PhaseReport report;
    for (auto _ : state) {
        benchmark::DoNotOptimize(kv::MakeCurvePhases(curve.frequencies, curve.levels, curve.phases,
                                                     kv::PhaseContent::Phase, remove, phases,
                                                     report));
    }
}
BENCHMARK(BM_CurvePhasesWithFlightTime)->Unit(benchmark::kMillisecond);

// Tweeter, midrange and woofer crossed at 2.8 kHz and 350 Hz, each with a
// 1000-point curve.
void BuildThreeWay(kv::CConfiguration& design) {
    design.New(3, kv::kDesignSampleRate);
    const double corners[3][2] = {{1500.0, 30000.0}, {200.0, 8000.0}, {40.0, 1500.0}};
    for (int b = 0; b < 3; ++b) {
        kv::CBand& band = design.bands[b];
        const Curve curve = DriverCurve(corners[b][0], corners[b][1]);
        kv::VComplexVec raw(1000);
        for (int i = 0; i < 1000; ++i) {
            raw[i] = kv::FromPolar(kv::DbToGain(curve.levels[i]), curve.phases[i]);
        }
        band.SetSplCurve(curve.frequencies, raw, "driver");
    }
    for (const auto& [b, hz, highPass] :
         {std::tuple{0, 2800.0, true}, {1, 2800.0, false}, {1, 350.0, true}, {2, 350.0, false}}) {
        const kv::CrossoverSide side =
            highPass ? kv::CrossoverSide::HighPass : kv::CrossoverSide::LowPass;
        kv::CBand& band = design.bands[b];
        const kv::CrossoverSettings slot =
            kv::AlignedSettings(kv::CrossoverType::LinkwitzRiley, 4, hz, side);
        band.SetCrossover(side, 0, slot);
        band.SetCrossoverTarget(side, 0, slot);
        band.EnableCrossover(side, 0, true);
    }
}

void BM_AlignThreeWay(benchmark::State& state) {
    kv::VFreqVec grid;
    kv::CreateMainGrid(grid);
    kv::CConfiguration design;
    BuildThreeWay(design);
    design.Recalculate(&grid, kv::kMainPirLength);
    kv::Alignment found;
    for (auto _ : state) {
        benchmark::DoNotOptimize(kv::FindAlignment(design, 1, 0, found));
        benchmark::DoNotOptimize(kv::FindAlignment(design, 1, 2, found));
    }
}
BENCHMARK(BM_AlignThreeWay)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
