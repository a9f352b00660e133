#include "model/Optimiser.h"

#include "model/BandFit.h"
#include "model/CConfiguration.h"
#include "unit/UnitLimits.h"

#include <algorithm>

namespace kv {
namespace {

std::size_t At(int i) {
    return static_cast<std::size_t>(i);
}

} // namespace

bool MakeOptimiseProblem(const CConfiguration& design, int band, OptimiseProblem& problem) {
    if (band < 0 || band >= design.numBands || design.freqGrid == nullptr) {
        return false;
    }
    const CBand& source = design.bands[At(band)];
    const int n = design.freqGrid->GetSize();
    if (n == 0 || source.splResponse.GetSize() != n || source.targetResponse.GetSize() != n) {
        return false;
    }
    problem.band = source.Settings();
    problem.grid = *design.freqGrid;
    problem.splResponse = source.splResponse;
    problem.targetResponse = source.targetResponse;
    problem.targetLevelDb = design.targetLevel;
    return true;
}

void DefaultOptimiseRange(const BandSettings& band, double& fromHz, double& toHz) {
    fromHz = kOptimiseLowestHz;
    toHz = kOptimiseHighestHz;
    for (int j = 0; j < kCrossoverSlots; ++j) {
        if (band.hpEnabled[At(j)]) {
            fromHz = std::max(fromHz, band.hpTarget[At(j)].freq / 2.0);
        }
        if (band.lpEnabled[At(j)]) {
            toHz = std::min(toHz, band.lpTarget[At(j)].freq * 2.0);
        }
    }
    // Beyond the measurement the curve is only its last value held:
    // equalisers placed there would correct nothing the driver does.
    if (band.splFreqs.GetSize() > 1 && band.splFreqs[0] < toHz &&
        band.splFreqs[band.splFreqs.GetSize() - 1] > fromHz) {
        fromHz = std::max(fromHz, band.splFreqs[0]);
        toHz = std::min(toHz, band.splFreqs[band.splFreqs.GetSize() - 1]);
    }
    fromHz = std::min(fromHz, kOptimiseHighestHz);
    toHz = std::max(toHz, kOptimiseLowestHz);
    if (!(fromHz < toHz)) {
        fromHz = kOptimiseLowestHz;
        toHz = kOptimiseHighestHz;
    }
}

int AvailableEqualisers(const BandSettings& band, const KeptEqualisers& keep) {
    int entries = 0;
    int replaceable = 0;
    for (int k = 0; k < kEqualisers; ++k) {
        const bool on = band.peq[At(k)].enabled;
        if (!(keep[At(k)] && on)) {
            ++entries;
            replaceable += on ? 1 : 0;
        }
    }
    return std::clamp(std::min(entries, band.FreeBiquads() + replaceable), 0, kEqualisers);
}

OptimiseOptions DefaultOptimiseOptions(const BandSettings& band, const KeptEqualisers& keep) {
    OptimiseOptions options;
    DefaultOptimiseRange(band, options.fromHz, options.toHz);
    options.equalisers = AvailableEqualisers(band, keep);
    options.keep = keep;
    return options;
}

std::optional<Deviation> MeasureDeviation(const OptimiseProblem& problem, const BandSettings& band,
                                          double fromHz, double toHz) {
    const std::vector<int> points = PointsWithin(problem.grid, fromHz, toHz);
    GridPhasors phasors;
    if (points.empty() || problem.splResponse.GetSize() != problem.grid.GetSize() ||
        problem.targetResponse.GetSize() != problem.grid.GetSize() ||
        !phasors.Create(problem.grid, band.SampleRate())) {
        return std::nullopt;
    }
    return Summarise(LevelDeviation(problem, band, phasors, points));
}

OptimiseResult OptimiseBand(const OptimiseProblem& problem, const OptimiseOptions& options,
                            const ChipCheck& runsOnChip, const ProgressReport& progress,
                            std::stop_token stop) {
    return BandFit(problem, options, runsOnChip, progress, std::move(stop)).Run();
}

} // namespace kv
