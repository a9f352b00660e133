#pragma once

#include "filters/FilterSettings.h"
#include "math/VComplexVec.h"
#include "math/VDoubleVec.h"
#include "model/BandSettings.h"

#include <array>
#include <functional>
#include <optional>
#include <stop_token>
#include <string>
#include <vector>

namespace kv {

class CConfiguration;

// The range a band is fitted over lies within the audible range.
inline constexpr double kOptimiseLowestHz = 20.0;
inline constexpr double kOptimiseHighestHz = 20000.0;
// Filling a deep dip costs headroom that the loud passages need: the
// equalisers a fit sets boost no frequency by more than this together,
// unless the user allows more (up to an equaliser's own range).
inline constexpr double kDefaultMaxBoostDb = 6.0;
// How far a fit may move a crossover slot's frequency, either way.
inline constexpr double kCrossoverMoveOctaves = 1.0 / 3.0;

// The equalisers (by entry) the user keeps as they are: only those that
// are switched on count.
using KeptEqualisers = std::array<bool, kEqualisers>;

// What a fit may change, and over which range.
struct OptimiseOptions {
    double fromHz = kOptimiseLowestHz;
    double toHz = kOptimiseHighestHz;
    // How many equalisers it may set, at most.
    int equalisers = 0;
    // Whether it may change the band's gain.
    bool gain = false;
    // Whether it may move the enabled crossover slots' frequencies (within
    // kCrossoverMoveOctaves) and the Qs of custom slots.
    bool crossovers = false;
    double maxBoostDb = kDefaultMaxBoostDb;
    KeptEqualisers keep{};
};

// A band and what it is fitted against: on the grid its responses were
// computed on, its driver's smoothed curve and its target (the target
// filters), and the level the target is drawn at. A copy of all it needs,
// so that a fit can run on another thread while the design stays in use.
struct OptimiseProblem {
    BandSettings band;
    VDoubleVec grid;
    VComplexVec splResponse;
    VComplexVec targetResponse;
    double targetLevelDb = 0.0;
};

// The problem of one band of a recalculated design; false when the design
// has no such band or its responses have not been computed.
bool MakeOptimiseProblem(const CConfiguration& design, int band, OptimiseProblem& problem);

// The band's passband by its targets, one octave beyond each enabled target
// corner, within the audible range and the range its driver was measured
// over.
void DefaultOptimiseRange(const BandSettings& band, double& fromHz, double& toHz);
// How many equalisers a fit may set when the kept ones stay: the free
// biquads and those of the equalisers it may replace, at most the entries
// not kept.
int AvailableEqualisers(const BandSettings& band, const KeptEqualisers& keep);
// The default range, as many equalisers as are available, nothing else.
OptimiseOptions DefaultOptimiseOptions(const BandSettings& band, const KeptEqualisers& keep = {});

// How far the band's acoustic response lies from its target over a range,
// in dB.
struct Deviation {
    double rmsDb = 0.0;
    double largestDb = 0.0;
};

// The deviation of band (the problem's band or another setting of it) as
// the unit plays it: its sections from their rounded words, times the
// driver's curve, against the target at its level, at the grid points from
// fromHz to toHz; none when the range holds no grid point.
std::optional<Deviation> MeasureDeviation(const OptimiseProblem& problem, const BandSettings& band,
                                          double fromHz, double toHz);

// How far a fit has got: step of steps, and the deviation so far.
struct OptimiseProgress {
    int step = 0;
    int steps = 1;
    Deviation deviation;
};

enum class OptimiseOutcome {
    // The band improved.
    Fitted,
    // Nothing the fit may change made the band come closer: it stays.
    NoImprovement,
    Cancelled,
    // The fit could not start; why is in the result's reason.
    Refused,
};

struct OptimiseResult {
    OptimiseOutcome outcome = OptimiseOutcome::Refused;
    std::string reason;
    // The band as fitted, or as it was when nothing better was found.
    BandSettings band;
    Deviation before;
    Deviation after;
    // The entries (0-based) of the equalisers the fit set.
    std::vector<int> equalisers;
    double seconds = 0.0;
};

// Whether the unit can run a band's settings: the hardware check of them.
using ChipCheck = std::function<bool(const BandSettings&)>;
using ProgressReport = std::function<void(const OptimiseProgress&)>;

// Fits the band's acoustic response (its filters as the unit plays them
// times the driver's curve) to its target over the options' range. The
// equalisers it may use start one by one where the deviation is largest
// and are then refined together with everything else it may change, inside
// the ranges of the fields that show them; the equalisers kept, the budget
// of biquads and runsOnChip hold throughout, and the result is never worse
// than the band was. Progress reports a first time at once and then at
// least every few hundredths of a second; a stop request ends the fit
// within one of them, with the band as it was.
OptimiseResult OptimiseBand(const OptimiseProblem& problem, const OptimiseOptions& options,
                            const ChipCheck& runsOnChip, const ProgressReport& progress = {},
                            std::stop_token stop = {});

} // namespace kv
