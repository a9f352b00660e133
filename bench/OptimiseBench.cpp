// The optimiser on one band: the targets are 0.2 s for six equalisers and
// 1 s for fourteen, fitted with the band's gain over a 500-point curve (the
// band's responses on 500 points across its range), and the first progress
// report (the deviation before the fit) within 100 ms of the start. The
// counters show how many equalisers the fit set (it stops when another
// would take away next to nothing) and the RMS deviation it reached.
#include "hardware/HardwareCheck.h"
#include "model/CConfiguration.h"
#include "model/MainGrid.h"
#include "model/Optimiser.h"
#include "support/ModelledDrivers.h"

#include <benchmark/benchmark.h>
#include <cmath>
#include <filesystem>

namespace kv {
namespace {

constexpr int kCurvePoints = 500;

// The measured woofer's band of the optimiser's tests, computed on 500
// points spread evenly in log frequency over its default range.
OptimiseProblem MakeProblem() {
    const std::filesystem::path file =
        std::filesystem::temp_directory_path() / "kv-bench-woofer.txt";
    CConfiguration design;
    const bool built = test::BuildWooferBand(design, file);
    std::filesystem::remove(file);
    double from = 0.0;
    double to = 0.0;
    DefaultOptimiseRange(design.bands[0], from, to);
    VFreqVec grid;
    grid.SetSize(kCurvePoints);
    for (int i = 0; i < kCurvePoints; ++i) {
        grid[i] = from * std::pow(to / from, static_cast<double>(i) / (kCurvePoints - 1));
    }
    design.Recalculate(&grid, kMainPirLength);
    OptimiseProblem problem;
    if (!built || !MakeOptimiseProblem(design, 0, problem)) {
        problem.grid.SetSize(0);
    }
    return problem;
}

const OptimiseProblem& Problem() {
    static const OptimiseProblem problem = MakeProblem();
    return problem;
}

// Argument: the equalisers the fit may set.
void BM_OptimiseBand(benchmark::State& state) {
    const OptimiseProblem& problem = Problem();
    if (problem.grid.Empty()) {
        state.SkipWithError("the modelled band could not be built");
        return;
    }
    OptimiseOptions options = DefaultOptimiseOptions(problem.band);
    options.equalisers = static_cast<int>(state.range(0));
    options.gain = true;
    OptimiseResult result;
    for (auto _ : state) {
        result = OptimiseBand(problem, options, BandPassesHardwareCheck);
        benchmark::DoNotOptimize(result);
    }
    state.counters["set"] = static_cast<double>(result.equalisers.size());
    state.counters["rmsDb"] = result.after.rmsDb;
}
BENCHMARK(BM_OptimiseBand)->Arg(6)->Arg(14)->Unit(benchmark::kMillisecond);

// From the start of a fit of fourteen equalisers to its first report, which
// stops it.
void BM_FirstProgress(benchmark::State& state) {
    const OptimiseProblem& problem = Problem();
    OptimiseOptions options = DefaultOptimiseOptions(problem.band);
    options.gain = true;
    for (auto _ : state) {
        std::stop_source stop;
        benchmark::DoNotOptimize(OptimiseBand(
            problem, options, BandPassesHardwareCheck,
            [&stop](const OptimiseProgress&) { stop.request_stop(); }, stop.get_token()));
    }
}
BENCHMARK(BM_FirstProgress)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace kv

BENCHMARK_MAIN();
