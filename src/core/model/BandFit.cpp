#include "model/BandFit.h"

#include "math/NumberFormat.h"
#include "math/ResponseCurves.h"
#include "model/BandCalculators.h"
#include "unit/UnitLimits.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <nlopt.hpp>
#include <numeric>

namespace kv {
namespace {

// A range narrower than this many grid points has nothing to fit.
constexpr int kFewestPoints = 8;
// The deviation so far reaches the caller this often while a fit runs.
constexpr auto kReportInterval = std::chrono::milliseconds(40);
// Evaluations the solver may spend on a new equaliser alone, on refining
// everything together, and on the sections' rounded words.
constexpr int kNewEqualiserEvaluations = 60;
constexpr int kRefineEvaluations = 250;
constexpr int kWordEvaluations = 300;
constexpr double kRelativeTolerance = 1e-6;
// A new equaliser that brings the RMS deviation down by less than this is
// not worth its biquad, and the fit ends.
constexpr double kLeastBenefitDb = 0.002;
// Without the band's gain, a band lying further than this from its target
// over the whole range (the median of the gap) is a level the target was
// not set to, not a shape to correct: equalisers would spend the whole
// budget on cutting or boosting everything.
constexpr double kWidestLevelGapDb = 12.0;
// Deviations smaller than this are not worth an equaliser.
constexpr double kLeastCorrectableDb = 0.01;
// How far the boost limit may be overstepped while the solver works; a
// result is only taken within it.
constexpr double kBoostToleranceDb = 1e-3;
// What each dB² of an equaliser's gain adds to the mean square deviation
// (dB²): nothing a fit notices while it takes deviation away, but enough
// to keep it from stacking a large boost and a large cut for a trace of
// it.
constexpr double kGainCost = 1e-6;
// The sharpness of the smooth maximum of the raised levels, per dB.
constexpr double kBoostSharpness = 40.0;
// When the rounded words lose more than this against the designed
// sections, the fit goes on with the words.
constexpr double kWordLossDb = 0.05;
// The steps a refinement on the words starts with: in octaves and dB.
constexpr double kWordStep = 0.01;
// The Q a new equaliser starts with lies within these.
constexpr double kLowestStartQ = 0.5;
constexpr double kHighestStartQ = 8.0;
constexpr double kNarrowestStartOctaves = 1.0 / 24.0;

std::size_t At(int i) {
    return static_cast<std::size_t>(i);
}

// The highest point of the lobe (a run of points that deviate the same
// way) that holds the most deviation, unless even that point is too small
// to be worth an equaliser: a broad lobe goes before a narrow spike of the
// same height, which takes away more of the mean square.
std::optional<std::size_t> LargestLobePeak(const std::vector<double>& c) {
    std::optional<std::size_t> peak;
    double largestArea = 0.0;
    for (std::size_t begin = 0; begin < c.size();) {
        std::size_t top = begin;
        double area = 0.0;
        std::size_t i = begin;
        for (; i < c.size() && (c[i] > 0.0) == (c[begin] > 0.0); ++i) {
            area += std::fabs(c[i]);
            top = std::fabs(c[i]) > std::fabs(c[top]) ? i : top;
        }
        if (area > largestArea && std::fabs(c[top]) > kLeastCorrectableDb) {
            largestArea = area;
            peak = top;
        }
        begin = i;
    }
    return peak;
}

double ObjectiveThunk(unsigned n, const double* x, double* gradient, void* data) {
    return static_cast<BandFit*>(data)->Objective(n, x, gradient);
}

double BoostThunk(unsigned n, const double* x, double* gradient, void* data) {
    return static_cast<BandFit*>(data)->BoostConstraint(n, x, gradient);
}

} // namespace

std::vector<int> PointsWithin(const VDoubleVec& grid, double fromHz, double toHz) {
    std::vector<int> points;
    for (int i = 0; i < grid.GetSize(); ++i) {
        if (grid[i] >= fromHz && grid[i] <= toHz) {
            points.push_back(i);
        }
    }
    return points;
}

std::vector<double> LevelDeviation(const OptimiseProblem& problem, const BandSettings& band,
                                   const GridPhasors& phasors, const std::vector<int>& points) {
    BiquadList sections;
    CollectBiquads(band, sections);
    VComplexVec played;
    ComputeHardwareResponse(band, sections, phasors, problem.grid, played);
    std::vector<double> deviation;
    deviation.reserve(points.size());
    for (const int i : points) {
        const double heard =
            MagnitudeToDb(Magnitude(played[i])) + MagnitudeToDb(Magnitude(problem.splResponse[i]));
        const double wanted =
            MagnitudeToDb(Magnitude(problem.targetResponse[i])) + problem.targetLevelDb;
        deviation.push_back(heard - wanted);
    }
    return deviation;
}

Deviation Summarise(const std::vector<double>& deviation) {
    double sum = 0.0;
    double largest = 0.0;
    for (const double r : deviation) {
        sum += r * r;
        largest = std::max(largest, std::fabs(r));
    }
    return {std::sqrt(sum / static_cast<double>(deviation.size())), largest};
}

int FitState::Add(double value, const FitBounds& within) {
    bounds.push_back(within);
    x.push_back(0.0);
    Set(Count() - 1, value);
    return Count() - 1;
}

void FitState::Set(int p, double value) {
    const FitBounds& b = bounds[At(p)];
    x[At(p)] = std::clamp(value, b.lower, b.upper);
}

BandFit::BandFit(const OptimiseProblem& problem, const OptimiseOptions& options,
                 const ChipCheck& runsOnChip, const ProgressReport& progress, std::stop_token stop)
    : problem_(problem), options_(options), runsOnChip_(runsOnChip), progress_(progress),
      stop_(std::move(stop)), maxBoostDb_(std::clamp(options.maxBoostDb, 0.0, kMaxEqGainDb)),
      start_(problem.band) {}

OptimiseResult BandFit::Run() {
    const Clock::time_point began = Clock::now();
    if (const std::optional<std::string> refusal = Prepare()) {
        OptimiseResult result;
        result.reason = *refusal;
        result.band = problem_.band;
        return result;
    }
    const Deviation before = soFar_;
    Report(0, before);
    Fit();
    OptimiseResult result = Result(before);
    result.seconds = std::chrono::duration<double>(Clock::now() - began).count();
    return result;
}

std::optional<std::string> BandFit::Prepare() {
    const int n = problem_.grid.GetSize();
    if (n == 0 || problem_.splResponse.GetSize() != n || problem_.targetResponse.GetSize() != n ||
        !phasors_.Create(problem_.grid, problem_.band.SampleRate())) {
        return "The band's responses have not been computed.";
    }
    points_ = PointsWithin(problem_.grid, options_.fromHz, options_.toHz);
    if (static_cast<int>(points_.size()) < kFewestPoints) {
        return "The range from " + FormatGeneral(options_.fromHz, 6) + " Hz to " +
               FormatGeneral(options_.toHz, 6) + " Hz is too narrow to fit.";
    }
    const std::vector<double> deviation =
        LevelDeviation(problem_, problem_.band, phasors_, points_);
    soFar_ = Summarise(deviation);
    if (const std::optional<std::string> gap = LevelGapRefusal(deviation)) {
        return gap;
    }
    StartBand();
    if (!runsOnChip_(start_)) {
        return "The band cannot run on the HMQ27 as it is: the optimiser starts only from a "
               "band the hardware check accepts.";
    }
    BuildFixedPart();
    AddGainAndCrossovers();
    // Placing each equaliser, placing each afresh, the rounded words.
    steps_ = 2 * equaliserCount_ + 1;
    return std::nullopt;
}

std::optional<std::string> BandFit::LevelGapRefusal(std::vector<double> gap) const {
    if (options_.gain) {
        return std::nullopt;
    }
    const auto middle = gap.begin() + static_cast<std::ptrdiff_t>(gap.size() / 2);
    std::nth_element(gap.begin(), middle, gap.end());
    if (std::abs(*middle) <= kWidestLevelGapDb) {
        return std::nullopt;
    }
    return "The band lies " + FormatFixed(std::abs(*middle), 0) + " dB " +
           (*middle > 0.0 ? "above" : "below") + " its target from " +
           FormatGeneral(options_.fromHz, 6) + " Hz to " + FormatGeneral(options_.toHz, 6) +
           " Hz: set its target level (Target levels...) to the driver's level, or let the "
           "optimiser change the band's gain.";
}

// The gain and the crossovers alone first, then the equalisers.
void BandFit::Fit() {
    Minimise(AllParameters(), false, kRefineEvaluations);
    if (!Acceptable(state_)) {
        state_.x = startX_;
    }
    double rms = FittedRms(false);
    PlaceEqualisers(rms);
    Reseat(rms);
    RefineOnWords();
}

void BandFit::PlaceEqualisers(double& rms) {
    for (int e = 0; e < equaliserCount_ && !stop_.stop_requested(); ++e) {
        const FitState saved = state_;
        if (!AddEqualiser()) {
            Restore(saved);
            return;
        }
        Minimise(LastEqualiser(), false, kNewEqualiserEvaluations);
        Minimise(AllParameters(), false, kRefineEvaluations);
        if (!Improved(rms)) {
            Restore(saved);
            return;
        }
        Report(e + 1, soFar_);
    }
}

bool BandFit::Improved(double& rms) {
    const double now = FittedRms(false);
    if (now < rms - kLeastBenefitDb && WithinBoost(state_.x) && Acceptable(state_)) {
        rms = now;
        return true;
    }
    return false;
}

// The band as fitted when it comes closer to its target than it was, as the
// unit plays both.
OptimiseResult BandFit::Result(const Deviation& before) const {
    OptimiseResult result;
    result.before = before;
    result.after = before;
    result.band = problem_.band;
    if (stop_.stop_requested()) {
        result.outcome = OptimiseOutcome::Cancelled;
        return result;
    }
    result.outcome = OptimiseOutcome::NoImprovement;
    const std::optional<BandSettings> fitted = BandFor(state_);
    if (fitted) {
        const Deviation after = Summarise(LevelDeviation(problem_, *fitted, phasors_, points_));
        if (after.rmsDb < before.rmsDb) {
            result.outcome = OptimiseOutcome::Fitted;
            result.band = *fitted;
            result.after = after;
            result.equalisers.assign(freeEntries_.begin(),
                                     freeEntries_.begin() +
                                         static_cast<std::ptrdiff_t>(state_.equalisers.size()));
        }
    }
    return result;
}

// The band with the equalisers the fit may replace switched off (their
// settings stay, even one outside the ranges that an older file held), and
// the entries they leave for the fit.
void BandFit::StartBand() {
    for (int k = 0; k < kEqualisers; ++k) {
        PeqSettings& p = start_.peq[At(k)];
        if (options_.keep[At(k)] && p.enabled) {
            continue;
        }
        p.enabled = false;
        freeEntries_.push_back(k);
    }
    equaliserCount_ =
        std::clamp(options_.equalisers, 0, AvailableEqualisers(problem_.band, options_.keep));
}

// The deviation of everything the fit leaves alone: the band without the
// gain and crossover slots it fits, as the unit plays it.
void BandFit::BuildFixedPart() {
    BandSettings fixed = start_;
    if (options_.gain && !fixed.muted) {
        fixed.SetGain(0.0);
    }
    if (options_.crossovers) {
        for (const CrossoverSide side : {CrossoverSide::HighPass, CrossoverSide::LowPass}) {
            for (int j = 0; j < kCrossoverSlots; ++j) {
                fixed.EnableCrossover(side, j, false);
            }
        }
    }
    std::vector<double> frequencies;
    for (const int i : points_) {
        frequencies.push_back(problem_.grid[i]);
    }
    fit_.emplace(frequencies, LevelDeviation(problem_, fixed, phasors_, points_),
                 start_.SampleRate());
}

void BandFit::AddGainAndCrossovers() {
    // Raising the gain costs headroom as a boost does (and would let broad
    // cuts of the equalisers stand in for the gain): it rises by no more
    // than the boost limit.
    if (options_.gain && !start_.muted) {
        gainParameter_ =
            state_.Add(start_.gain,
                       {kMinBandGainDb,
                        std::clamp(start_.gain + maxBoostDb_, start_.gain, kMaxBandGainDb), false});
    }
    if (options_.crossovers) {
        for (const CrossoverSide side : {CrossoverSide::HighPass, CrossoverSide::LowPass}) {
            for (int j = 0; j < kCrossoverSlots; ++j) {
                if (start_.CrossoverEnabled(side, j)) {
                    AddMovedSlot(side, j);
                }
            }
        }
    }
    fit_->SetSections(state_.sections, gainParameter_, state_.Count());
    startX_ = state_.x;
}

// A slot's sections at their ratios of its frequency, which moves within
// kCrossoverMoveOctaves (and keeps every section below the highest filter
// frequency); a custom slot's second-order sections also fit their Qs.
void BandFit::AddMovedSlot(CrossoverSide side, int j) {
    CrossoverSettings settings;
    start_.GetCrossover(side, j, settings);
    const FilterGroup group =
        side == CrossoverSide::HighPass ? FilterGroup::HighPass : FilterGroup::LowPass;
    std::vector<FitSection> sections;
    double highestRatio = 1.0;
    MovedSlot slot{side, j, -1, {-1, -1, -1, -1}};
    DesignSections(start_, group, [&](const BiquadCalc& calc, const BandSection& where) {
        if (where.item != j) {
            return;
        }
        const auto k = At(where.section);
        FitSection s;
        s.kind = calc.Kind();
        s.ratio = settings.freqOfs[k];
        s.q.value = calc.Q();
        if (settings.type == CrossoverType::Custom && calc.Q() > 0.0) {
            slot.q[k] = state_.Add(std::log2(settings.q[k]),
                                   {std::log2(kMinTuningValue), std::log2(kMaxTuningValue), false});
            s.q.parameter = slot.q[k];
        }
        highestRatio = std::max(highestRatio, s.ratio);
        sections.push_back(s);
    });
    const double octave = std::log2(settings.freq);
    const double low = std::max(octave - kCrossoverMoveOctaves, std::log2(kMinCrossoverFrequency));
    const double high = std::min(octave + kCrossoverMoveOctaves,
                                 std::log2(start_.MaxFilterFrequency() / highestRatio));
    slot.frequency = state_.Add(octave, {std::min(low, octave), std::max(high, octave), false});
    for (FitSection& s : sections) {
        s.frequency.parameter = slot.frequency;
        state_.sections.push_back(s);
    }
    moved_.push_back(slot);
}

// What an equaliser could take away at each point, signed as the deviation:
// a peak all of it, a dip only as far as the boost left there allows.
std::vector<double> BandFit::Correctable(const std::vector<double>& r) const {
    std::vector<double> correctable(r.size());
    for (std::size_t i = 0; i < r.size(); ++i) {
        correctable[i] =
            r[i] > 0.0 ? r[i] : -std::clamp(maxBoostDb_ - Raised(i, state_.x), 0.0, -r[i]);
    }
    return correctable;
}

// Where the largest lobe of deviation that an equaliser could still take
// away peaks, a new equaliser starts: centred there, with the gain that
// cancels it and a Q that fits the width of what it cancels.
std::optional<EqualiserStart> BandFit::NextEqualiser() {
    fit_->Evaluate(state_.x, false);
    const std::vector<double>& r = fit_->Deviation();
    const std::vector<double> correctable = Correctable(r);
    const std::optional<std::size_t> peak = LargestLobePeak(correctable);
    if (!peak) {
        return std::nullopt;
    }
    return EqualiserStart{std::log2(problem_.grid[points_[*peak]]), -correctable[*peak],
                          std::log2(StartQ(r, static_cast<int>(*peak)))};
}

bool BandFit::AddEqualiser() {
    const std::optional<EqualiserStart> start = NextEqualiser();
    if (!start) {
        return false;
    }
    const int p =
        state_.Add(start->octave, {std::log2(options_.fromHz), std::log2(options_.toHz), true});
    // The chip runs the sections one after the other: a section's own boost
    // costs headroom inside the chain even where the next one cuts.
    state_.Add(start->gainDb, {-kMaxEqGainDb, maxBoostDb_, true});
    state_.Add(start->log2Q, {std::log2(kMinFieldQ), std::log2(kMaxFilterQ), true});
    FitSection s;
    s.kind = BiquadKind::Peaking;
    s.frequency.parameter = p;
    s.gainDb.parameter = p + 1;
    s.q.parameter = p + 2;
    s.equaliser = true;
    state_.sections.push_back(s);
    state_.equalisers.push_back(p);
    fit_->SetSections(state_.sections, gainParameter_, state_.Count());
    return true;
}

// Greedy placing can leave an equaliser where an earlier deviation was
// largest and a later one did its work: each in turn starts afresh where
// the others leave the deviation largest, and stays there when the band
// comes closer.
void BandFit::Reseat(double& rms) {
    for (std::size_t e = 0; e < state_.equalisers.size() && !stop_.stop_requested(); ++e) {
        const FitState saved = state_;
        const int p = state_.equalisers[e];
        state_.x[At(p + 1)] = 0.0;
        const std::optional<EqualiserStart> start = NextEqualiser();
        if (!start) {
            Restore(saved);
            continue;
        }
        state_.Set(p, start->octave);
        state_.Set(p + 1, start->gainDb);
        state_.Set(p + 2, start->log2Q);
        Minimise({p, p + 1, p + 2}, false, kNewEqualiserEvaluations);
        Minimise(AllParameters(), false, kRefineEvaluations);
        if (!Improved(rms)) {
            Restore(saved);
        }
        Report(equaliserCount_ + static_cast<int>(e) + 1, soFar_);
    }
}

// The Q of a peak as wide as the deviation around it stays above half its
// height: the bandwidth in octaves between those points.
double BandFit::StartQ(const std::vector<double>& r, int peak) const {
    const double half = r[At(peak)] / 2.0;
    const auto beyond = [&](int i) { return r[At(i)] / half < 1.0; };
    int lo = peak;
    while (lo > 0 && !beyond(lo - 1)) {
        --lo;
    }
    int hi = peak;
    while (hi + 1 < static_cast<int>(r.size()) && !beyond(hi + 1)) {
        ++hi;
    }
    const double octaves =
        std::max(kNarrowestStartOctaves,
                 std::log2(problem_.grid[points_[At(hi)]] / problem_.grid[points_[At(lo)]]));
    const double ratio = std::exp2(octaves);
    return std::clamp(std::sqrt(ratio) / (ratio - 1.0), kLowestStartQ, kHighestStartQ);
}

std::vector<int> BandFit::AllParameters() const {
    std::vector<int> all(At(state_.Count()));
    std::iota(all.begin(), all.end(), 0);
    return all;
}

void BandFit::Restore(const FitState& state) {
    state_ = state;
    fit_->SetSections(state_.sections, gainParameter_, state_.Count());
}

std::vector<int> BandFit::LastEqualiser() const {
    const int p = state_.equalisers.back();
    return {p, p + 1, p + 2};
}

void BandFit::EvaluateAt(const double* reduced, bool derivatives) {
    std::vector<double> x = state_.x;
    for (std::size_t k = 0; k < free_.size(); ++k) {
        x[At(free_[k])] = reduced[k];
    }
    if (x == evaluated_ && (withDerivatives_ || !derivatives)) {
        return;
    }
    fit_->Evaluate(x, chip_, derivatives ? &sloped_ : nullptr);
    evaluated_ = x;
    withDerivatives_ = derivatives;
}

double BandFit::Raised(std::size_t i, const std::vector<double>& x) const {
    const double rise = gainParameter_ >= 0 ? x[At(gainParameter_)] - start_.gain : 0.0;
    return fit_->Boost()[i] + rise;
}

bool BandFit::WithinBoost(const std::vector<double>& x) const {
    for (std::size_t i = 0; i < points_.size(); ++i) {
        if (Raised(i, x) > maxBoostDb_ + kBoostToleranceDb) {
            return false;
        }
    }
    return true;
}

double BandFit::Objective(unsigned n, const double* reduced, double* gradient) {
    if (stop_.stop_requested()) {
        solver_->force_stop();
    }
    EvaluateAt(reduced, gradient != nullptr);
    std::vector<double> full;
    const double meanSquare = fit_->MeanSquare(gradient != nullptr ? &full : nullptr);
    double value = meanSquare;
    for (const int p : state_.equalisers) {
        const double gain = evaluated_[At(p + 1)];
        value += kGainCost * gain * gain;
        if (gradient != nullptr) {
            full[At(p + 1)] += 2.0 * kGainCost * gain;
        }
    }
    if (gradient != nullptr) {
        for (unsigned k = 0; k < n; ++k) {
            gradient[k] = full[At(free_[k])];
        }
    }
    if (value < bestValue_ && WithinBoost(evaluated_)) {
        bestValue_ = value;
        best_ = evaluated_;
        if (!chip_ && std::sqrt(meanSquare) < soFar_.rmsDb) {
            soFar_ = {std::sqrt(meanSquare), fit_->Largest()};
        }
    }
    ReportWhenDue();
    return value;
}

// The highest point the fit raises, less the limit, as one smooth function
// (the solvers work far faster on one constraint than on one per point):
// ln Σ e^(β·raised[i]) / β lies at most ln(points)/β above the highest and
// never below it. The equalisers' own parameters and the gain move it.
double BandFit::BoostConstraint(unsigned n, const double* reduced, double* gradient) {
    EvaluateAt(reduced, gradient != nullptr);
    std::vector<double> weight(points_.size());
    double highest = -std::numeric_limits<double>::infinity();
    for (std::size_t i = 0; i < weight.size(); ++i) {
        weight[i] = Raised(i, evaluated_);
        highest = std::max(highest, weight[i]);
    }
    double sum = 0.0;
    for (double& w : weight) {
        w = std::exp(kBoostSharpness * (w - highest));
        sum += w;
    }
    for (unsigned k = 0; gradient != nullptr && k < n; ++k) {
        const int p = free_[k];
        const bool moves = p == gainParameter_ || state_.bounds[At(p)].ofEqualiser;
        gradient[k] = moves ? fit_->WeightedSlope(p, weight) / sum : 0.0;
    }
    return highest + std::log(sum) / kBoostSharpness - maxBoostDb_;
}

// The solver's best point within the boost limit becomes the state; a
// refinement that never got within it leaves the state as it was.
void BandFit::Minimise(const std::vector<int>& free, bool chip, int evaluations) {
    if (free.empty() || stop_.stop_requested()) {
        return;
    }
    const auto n = static_cast<unsigned>(free.size());
    nlopt::opt solver(chip ? nlopt::LN_COBYLA : nlopt::LD_SLSQP, n);
    std::vector<double> x(n);
    std::vector<double> lower(n);
    std::vector<double> upper(n);
    for (unsigned k = 0; k < n; ++k) {
        const auto p = At(free[k]);
        lower[k] = state_.bounds[p].lower;
        upper[k] = state_.bounds[p].upper;
        x[k] = std::clamp(state_.x[p], lower[k], upper[k]);
    }
    solver_ = &solver;
    free_ = free;
    sloped_.assign(At(state_.Count()), false);
    for (const int p : free) {
        sloped_[At(p)] = true;
    }
    chip_ = chip;
    evaluated_.clear();
    bestValue_ = std::numeric_limits<double>::infinity();
    best_.clear();
    try {
        solver.set_lower_bounds(lower);
        solver.set_upper_bounds(upper);
        solver.set_min_objective(ObjectiveThunk, this);
        if (!state_.equalisers.empty()) {
            solver.add_inequality_constraint(BoostThunk, this, kBoostToleranceDb);
        }
        solver.set_ftol_rel(kRelativeTolerance);
        solver.set_maxeval(evaluations);
        if (chip) {
            solver.set_initial_step(kWordStep);
        }
        double value = 0.0;
        solver.optimize(x, value);
    } catch (const std::exception&) {
        // A stop request, a round-off limit or a failed step: the best
        // point seen so far stands.
    }
    solver_ = nullptr;
    if (!best_.empty()) {
        state_.x = best_;
    }
}

double BandFit::FittedRms(bool chip) {
    fit_->Evaluate(state_.x, chip);
    return fit_->Rms();
}

// The band the parameters stand for, through the band's own setters: the
// equalisers in order of frequency in the entries the fit may use. None
// when a setter refuses a value.
std::optional<BandSettings> BandFit::BandFor(const FitState& state) const {
    BandSettings band = start_;
    const auto valueOf = [&](int p) { return state.x[At(p)]; };
    const auto unmoved = [&](int p) {
        return At(p) < startX_.size() && valueOf(p) == startX_[At(p)];
    };
    std::vector<int> order = state.equalisers;
    std::sort(order.begin(), order.end(), [&](int a, int b) { return valueOf(a) < valueOf(b); });
    bool accepted = true;
    for (std::size_t e = 0; e < order.size(); ++e) {
        const int p = order[e];
        // The range's ends, in octaves and back, may come out a trace beyond it.
        const double hz = std::clamp(std::exp2(valueOf(p)), options_.fromHz, options_.toHz);
        accepted = accepted && band.SetPeq(freeEntries_[e], valueOf(p + 1), hz,
                                           std::exp2(valueOf(p + 2)), true);
    }
    if (gainParameter_ >= 0 && !unmoved(gainParameter_)) {
        accepted = accepted && band.SetGain(valueOf(gainParameter_));
    }
    for (const MovedSlot& slot : moved_) {
        CrossoverSettings settings;
        band.GetCrossover(slot.side, slot.slot, settings);
        if (!unmoved(slot.frequency)) {
            settings.freq = std::exp2(valueOf(slot.frequency));
        }
        for (std::size_t k = 0; k < slot.q.size(); ++k) {
            if (slot.q[k] >= 0 && !unmoved(slot.q[k])) {
                settings.q[k] = std::exp2(valueOf(slot.q[k]));
            }
        }
        accepted = accepted && band.SetCrossover(slot.side, slot.slot, settings);
    }
    if (!accepted) {
        return std::nullopt;
    }
    return band;
}

bool BandFit::Acceptable(const FitState& state) const {
    const std::optional<BandSettings> band = BandFor(state);
    return band.has_value() && runsOnChip_(*band);
}

// The sections run from their rounded words. Where that costs more than a
// trace (low, narrow equalisers), the fit goes on with the words
// themselves, without derivatives: they are a staircase in the settings.
void BandFit::RefineOnWords() {
    const double designedOnWords = FittedRms(true);
    if (designedOnWords > FittedRms(false) + kWordLossDb) {
        const FitState designed = state_;
        Minimise(AllParameters(), true, kWordEvaluations);
        if (!(FittedRms(true) < designedOnWords) || !Acceptable(state_)) {
            Restore(designed);
        }
    }
    Report(steps_, soFar_);
}

void BandFit::Report(int step, const Deviation& deviation) {
    step_ = step;
    if (progress_ && !stop_.stop_requested()) {
        progress_({step, steps_, deviation});
    }
    lastReport_ = Clock::now();
}

void BandFit::ReportWhenDue() {
    if (Clock::now() - lastReport_ >= kReportInterval) {
        Report(step_, soFar_);
    }
}

} // namespace kv
