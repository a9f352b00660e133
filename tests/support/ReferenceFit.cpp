#include "support/ReferenceFit.h"

#include "filters/BiquadCalc.h"
#include "math/ResponseCurves.h"
#include "unit/UnitLimits.h"

#include <algorithm>
#include <cmath>
#include <nlopt.hpp>
#include <numeric>
#include <vector>

namespace kv::test {
namespace {

constexpr int kMostEvaluations = 20000;

double Db(const Complex& value) {
    return MagnitudeToDb(Magnitude(value));
}

// The band's deviation without equalisers at the range's points, and the
// phasors of those points.
struct Problem {
    std::vector<double> fixedDb;
    GridPhasors phasors;
    double sampleRate = 0.0;
    int equalisers = 0;
};

// x: the gain, then octave, dB and log2 Q of each equaliser.
double MeanSquare(unsigned, const double* x, double*, void* data) {
    const Problem& p = *static_cast<const Problem*>(data);
    VComplexVec eq(p.phasors.GetSize());
    eq.FillReal(1.0);
    for (int e = 0; e < p.equalisers; ++e) {
        const double* s = x + 1 + 3 * e;
        BiquadCalc calc;
        calc.Design(BiquadKind::Peaking, p.sampleRate, std::exp2(s[0]), s[1], std::exp2(s[2]));
        calc.MultiplyResponse(eq, p.phasors);
    }
    double sum = 0.0;
    for (std::size_t i = 0; i < p.fixedDb.size(); ++i) {
        const double r = p.fixedDb[i] + x[0] + Db(eq[static_cast<int>(i)]);
        sum += r * r;
    }
    return sum / static_cast<double>(p.fixedDb.size());
}

} // namespace

double ReferenceFitRms(const CBand& band, const VFreqVec& grid, double targetLevel,
                       const OptimiseOptions& options, int equalisers) {
    Problem problem;
    problem.sampleRate = band.SampleRate();
    problem.equalisers = equalisers;
    VDoubleVec frequencies;
    std::vector<double> inRange;
    for (int i = 0; i < grid.GetSize(); ++i) {
        if (grid[i] >= options.fromHz && grid[i] <= options.toHz) {
            inRange.push_back(grid[i]);
            problem.fixedDb.push_back(Db(band.filterResponse[i]) + Db(band.splResponse[i]) -
                                      Db(band.targetResponse[i]) - targetLevel - band.gain);
        }
    }
    frequencies.SetSize(static_cast<int>(inRange.size()));
    std::copy(inRange.begin(), inRange.end(), frequencies.begin());
    problem.phasors.Create(frequencies, problem.sampleRate);

    const double mean = std::accumulate(problem.fixedDb.begin(), problem.fixedDb.end(), 0.0) /
                        static_cast<double>(problem.fixedDb.size());
    const double gainHigh = band.gain + options.maxBoostDb;
    std::vector<double> x{std::min(-mean, gainHigh)};
    std::vector<double> lower{kMinBandGainDb};
    std::vector<double> upper{gainHigh};
    const double low = std::log2(options.fromHz);
    const double high = std::log2(options.toHz);
    for (int e = 0; e < equalisers; ++e) {
        x.insert(x.end(), {low + (high - low) * (e + 0.5) / equalisers, 0.0, 1.0});
        lower.insert(lower.end(), {low, -kMaxEqGainDb, std::log2(kMinFieldQ)});
        upper.insert(upper.end(), {high, options.maxBoostDb, std::log2(kMaxFilterQ)});
    }
    nlopt::opt solver(nlopt::LN_BOBYQA, static_cast<unsigned>(x.size()));
    double value = 0.0;
    try {
        solver.set_lower_bounds(lower);
        solver.set_upper_bounds(upper);
        solver.set_min_objective(MeanSquare, &problem);
        solver.set_ftol_rel(1e-10);
        solver.set_maxeval(kMostEvaluations);
        solver.optimize(x, value);
    } catch (const std::exception&) {
        value = MeanSquare(static_cast<unsigned>(x.size()), x.data(), nullptr, &problem);
    }
    return std::sqrt(value);
}

std::vector<double> HeardDeviation(const CConfiguration& design, int band, double fromHz,
                                   double toHz) {
    const CBand& b = design.bands[static_cast<std::size_t>(band)];
    const VFreqVec& grid = *design.freqGrid;
    std::vector<double> deviation;
    for (int i = 0; i < grid.GetSize(); ++i) {
        if (grid[i] >= fromHz && grid[i] <= toHz) {
            deviation.push_back(Db(b.hardwareResponse[i]) + Db(b.splResponse[i]) -
                                Db(b.targetResponse[i]) - design.targetLevel);
        }
    }
    return deviation;
}

double Rms(const std::vector<double>& values) {
    return std::sqrt(std::inner_product(values.begin(), values.end(), values.begin(), 0.0) /
                     static_cast<double>(values.size()));
}

double Largest(const std::vector<double>& values) {
    double largest = 0.0;
    for (const double v : values) {
        largest = std::max(largest, std::fabs(v));
    }
    return largest;
}

} // namespace kv::test
