#include "model/CBand.h"

#include "math/ResponseCurves.h"
#include "model/BandCalculators.h"
#include "model/CResponseEngine.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace kv {
namespace {

// The value at f of a curve, interpolated in ln f between the first
// frequency above f and the one before it, and held constant beyond the
// curve's ends. Ascending frequencies (every imported curve) are searched by
// bisection. lnF and lnFreqs are the logarithms of f and freqs.
Complex SplValueAt(double f, double lnF, const VDoubleVec& freqs,
                   const std::vector<double>& lnFreqs, const VComplexVec& values, bool ascending) {
    const int c = freqs.GetSize();
    const auto above =
        ascending ? std::upper_bound(freqs.begin(), freqs.end(), f)
                  : std::find_if(freqs.begin(), freqs.end(), [f](double x) { return x > f; });
    const int i = static_cast<int>(above - freqs.begin());
    if (i == 0) {
        return values[0];
    }
    if (i == c) {
        return values[c - 1];
    }
    const auto at = static_cast<std::size_t>(i);
    return InterpolateAtLogs(lnF, values[i - 1], lnFreqs[at - 1], values[i], lnFreqs[at]);
}

} // namespace

void CBand::Init() {
    const double fs = SampleRate();
    static_cast<BandSettings&>(*this) = BandSettings();
    UseSampleRate(fs);
    ClearResponses();
}

void CBand::SetSettings(const BandSettings& settings) {
    const bool changed = !(Settings() == settings);
    const bool wasModified = modified;
    static_cast<BandSettings&>(*this) = settings;
    modified = wasModified || changed;
}

void CBand::ClearResponses() {
    for (VComplexVec* v :
         {&filterResponse, &hardwareResponse, &splResponse, &targetResponse, &totalResponse}) {
        v->SetSize(0);
    }
    for (VDoubleVec* v : {&filterImpulse, &filterStep, &splImpulse, &splStep, &targetImpulse,
                          &targetStep, &totalImpulse, &totalStep}) {
        v->SetSize(0);
    }
}

bool CBand::Recalculate(CResponseEngine& engine, const VDoubleVec& grid) {
    if (!modified) {
        return false;
    }
    VComplexVec fresh(grid.GetSize());
    BiquadList sections;
    ComputeFilterResponse(engine, grid, fresh, sections);
    // The same sections, so that both curves always show the same design.
    ComputeHardwareResponse(*this, sections, engine.Phasors(), grid, hardwareResponse);
    engine.Update(filterResponse, fresh, filterImpulse, filterStep);
    ComputeSplResponse(engine, grid, fresh);
    engine.Update(splResponse, fresh, splImpulse, splStep);
    ComputeTargetResponse(engine, fresh);
    engine.Update(targetResponse, fresh, targetImpulse, targetStep);
    fresh = filterResponse;
    fresh *= splResponse;
    engine.Update(totalResponse, fresh, totalImpulse, totalStep);
    modified = false;
    return true;
}

// Gain, bass and treble, every realised filter, delay and polarity; the
// realised filters' sections are listed in sections, in hardware order.
void CBand::ComputeFilterResponse(const CResponseEngine& engine, const VDoubleVec& grid,
                                  VComplexVec& response, BiquadList& sections) const {
    const GridPhasors& phasors = engine.Phasors();
    response.FillReal(DbToGain(OutputLevelDb()));
    ApplyBassTreble(*this, phasors, response);
    ApplyHighPassFilters(*this, phasors, response, &sections);
    ApplyLowPassFilters(*this, phasors, response, &sections);
    ApplyNotches(*this, phasors, response, &sections);
    ApplyAllPass(*this, phasors, response, &sections);
    ApplyLowShelf(*this, phasors, response, &sections);
    ApplyHighShelf(*this, phasors, response, &sections);
    ApplyPeqs(*this, phasors, response, &sections);
    ApplyDelayAndPolarity(*this, grid, response);
}

// The smoothed SPL curve on the grid, or 1 where the band has none. A curve
// whose smoothed values do not match its frequencies one to one is not used.
void CBand::ComputeSplResponse(const CResponseEngine& engine, const VDoubleVec& grid,
                               VComplexVec& response) const {
    response.FillReal(1.0);
    if (splFreqs.Empty() || splSmoothed.GetSize() != splFreqs.GetSize()) {
        return;
    }
    const VDoubleVec& lnGrid = engine.LogGrid();
    const bool ascending = std::is_sorted(splFreqs.begin(), splFreqs.end());
    std::vector<double> lnFreqs(splFreqs.begin(), splFreqs.end());
    for (double& f : lnFreqs) {
        f = std::log(f);
    }
    for (int i = 0; i < response.GetSize(); ++i) {
        response[i] = SplValueAt(grid[i], lnGrid[i], splFreqs, lnFreqs, splSmoothed, ascending);
    }
}

// The enabled targets alone: gain, mute, delay and polarity do not enter.
void CBand::ComputeTargetResponse(const CResponseEngine& engine, VComplexVec& response) const {
    const GridPhasors& phasors = engine.Phasors();
    response.FillReal(1.0);
    ApplyHighPassTargets(*this, phasors, response);
    ApplyLowPassTargets(*this, phasors, response);
}

} // namespace kv
