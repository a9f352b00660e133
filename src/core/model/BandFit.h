#pragma once

#include "filters/BiquadCalc.h"
#include "model/LevelFit.h"
#include "model/Optimiser.h"

#include <array>
#include <chrono>
#include <optional>
#include <stop_token>
#include <string>
#include <vector>

namespace nlopt {
class opt;
}

namespace kv {

// The grid points inside a range.
std::vector<int> PointsWithin(const VDoubleVec& grid, double fromHz, double toHz);
// The level of band as the unit plays it times the problem's driver curve,
// less the target at its level, at the given grid points, in dB.
std::vector<double> LevelDeviation(const OptimiseProblem& problem, const BandSettings& band,
                                   const GridPhasors& phasors, const std::vector<int>& points);
// The RMS and the largest of a deviation.
Deviation Summarise(const std::vector<double>& deviation);

// Where a parameter may go, and whether it is an equaliser's.
struct FitBounds {
    double lower;
    double upper;
    bool ofEqualiser;
};

// The parameters of a fit, their bounds and the sections they set; the
// first of the three parameters (octave, dB, log2 Q) of each equaliser.
struct FitState {
    // A parameter starting at value (held within its bounds); its index.
    int Add(double value, const FitBounds& within);
    // Parameter p at value, held within its bounds.
    void Set(int p, double value);
    int Count() const { return static_cast<int>(x.size()); }

    std::vector<double> x;
    std::vector<FitBounds> bounds;
    std::vector<FitSection> sections;
    std::vector<int> equalisers;
};

// Where an equaliser starts: octave (log2 Hz), gain and log2 Q.
struct EqualiserStart {
    double octave;
    double gainDb;
    double log2Q;
};

// One fit of one band, as OptimiseBand describes it: the equalisers placed
// one by one, each then refined with everything else, each placed afresh
// once all are in, and at last the sections' rounded words.
class BandFit {
public:
    BandFit(const OptimiseProblem& problem, const OptimiseOptions& options,
            const ChipCheck& runsOnChip, const ProgressReport& progress, std::stop_token stop);

    OptimiseResult Run();

    // What the solver calls, through its C interface: the mean square
    // deviation, and the boost limit as one constraint (≤ 0), at the free
    // parameters.
    double Objective(unsigned n, const double* reduced, double* gradient);
    double BoostConstraint(unsigned n, const double* reduced, double* gradient);

private:
    using Clock = std::chrono::steady_clock;

    // A crossover slot the fit moves: its frequency parameter and, for a
    // custom slot, the Q parameter of each second-order section.
    struct MovedSlot {
        CrossoverSide side;
        int slot;
        int frequency;
        std::array<int, kCrossoverSections> q;
    };

    // Why the fit cannot start; none when it can.
    std::optional<std::string> Prepare();
    // Why a fit without the band's gain cannot start on a band far off its
    // target's level (gap: the band's deviation at each point); none when
    // it can.
    std::optional<std::string> LevelGapRefusal(std::vector<double> gap) const;
    void StartBand();
    void BuildFixedPart();
    void AddGainAndCrossovers();
    void AddMovedSlot(CrossoverSide side, int j);
    void Fit();
    void PlaceEqualisers(double& rms);
    // Where the next equaliser starts; none when nothing is left to take
    // away.
    std::optional<EqualiserStart> NextEqualiser();
    std::vector<double> Correctable(const std::vector<double>& r) const;
    double StartQ(const std::vector<double>& r, int peak) const;
    bool AddEqualiser();
    void Reseat(double& rms);
    // Whether the state after a step is worth keeping over the RMS
    // deviation before it; rms becomes the state's when it is.
    bool Improved(double& rms);
    void RefineOnWords();
    OptimiseResult Result(const Deviation& before) const;

    // Minimises over the free parameters; on the words (chip) without
    // derivatives.
    void Minimise(const std::vector<int>& free, bool chip, int evaluations);
    void EvaluateAt(const double* reduced, bool derivatives);
    std::vector<int> AllParameters() const;
    std::vector<int> LastEqualiser() const;
    // Puts back the parameters and sections of an earlier state.
    void Restore(const FitState& state);
    // How far the fit raises point i of the last evaluation, at x, above the
    // band's level before it: the equalisers' boost and the gain's rise.
    double Raised(std::size_t i, const std::vector<double>& x) const;
    bool WithinBoost(const std::vector<double>& x) const;
    double FittedRms(bool chip);
    std::optional<BandSettings> BandFor(const FitState& state) const;
    bool Acceptable(const FitState& state) const;
    void Report(int step, const Deviation& deviation);
    void ReportWhenDue();

    const OptimiseProblem& problem_;
    const OptimiseOptions& options_;
    const ChipCheck& runsOnChip_;
    const ProgressReport& progress_;
    std::stop_token stop_;
    const double maxBoostDb_;

    std::vector<int> points_;
    GridPhasors phasors_;
    // The band with the equalisers it may replace switched off, and the
    // entries they leave.
    BandSettings start_;
    std::vector<int> freeEntries_;
    int equaliserCount_ = 0;
    std::vector<MovedSlot> moved_;
    int gainParameter_ = -1;
    std::optional<LevelFit> fit_;
    FitState state_;
    std::vector<double> startX_;

    // The minimisation under way: its free parameters (also as one flag per
    // parameter, the slopes it needs), the point evaluated last and the best
    // point within the boost limit.
    nlopt::opt* solver_ = nullptr;
    std::vector<int> free_;
    std::vector<bool> sloped_;
    bool chip_ = false;
    std::vector<double> evaluated_;
    bool withDerivatives_ = false;
    double bestValue_ = 0.0;
    std::vector<double> best_;

    int step_ = 0;
    int steps_ = 1;
    Deviation soFar_;
    Clock::time_point lastReport_;
};

} // namespace kv
