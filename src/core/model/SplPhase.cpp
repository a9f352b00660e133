#include "model/SplPhase.h"

#include "math/Complex.h"
#include "math/MinimumPhase.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

namespace kv {
namespace {

constexpr double kTwoPi = 2.0 * std::numbers::pi;
// The passband: the points within this many dB of the highest level.
constexpr double kPassbandDb = 10.0;
constexpr int kMinPassbandPoints = 3;
// The trial delays step by a quarter period of the highest passband
// frequency, at most this many of them.
constexpr int kMaxTrialDelays = 40001;

std::vector<int> PassbandPoints(const VDoubleVec& levels) {
    const double highest = levels.Max();
    std::vector<int> points;
    for (int i = 0; i < levels.GetSize(); ++i) {
        if (levels[i] >= highest - kPassbandDb) {
            points.push_back(i);
        }
    }
    return points;
}

// The trial delay at which the excess phase, turned back by it, adds up
// most coherently over the passband.
double CoherentDelay(const VDoubleVec& frequencies, const std::vector<int>& points,
                     const std::vector<double>& excess) {
    double highest = 0.0;
    for (const int i : points) {
        highest = std::max(highest, frequencies[i]);
    }
    const double limit = kMaxFlightTimeMs * 1e-3;
    const double step = std::max(0.25 / highest, 2.0 * limit / (kMaxTrialDelays - 1));
    const int trials = static_cast<int>(2.0 * limit / step) + 1;
    std::vector<Complex> turned(points.size());
    std::vector<Complex> rotation(points.size());
    for (std::size_t k = 0; k < points.size(); ++k) {
        const double f = frequencies[points[k]];
        turned[k] = FromPolar(1.0, excess[k] - kTwoPi * f * limit);
        rotation[k] = FromPolar(1.0, kTwoPi * f * step);
    }
    double best = -1.0;
    double bestDelay = 0.0;
    for (int t = 0; t < trials; ++t) {
        Complex sum = 0.0;
        for (std::size_t k = 0; k < turned.size(); ++k) {
            sum += turned[k];
            turned[k] *= rotation[k];
        }
        const double strength = std::norm(sum);
        if (strength > best) {
            best = strength;
            bestDelay = -limit + t * step;
        }
    }
    return bestDelay;
}

// Least squares of the excess (turned back by delay, wrapped) as a + b·f.
ExcessPhaseFit FitLine(const VDoubleVec& frequencies, const std::vector<int>& points,
                       const std::vector<double>& excess, double delay) {
    double sf = 0.0;
    double sr = 0.0;
    double sff = 0.0;
    double sfr = 0.0;
    const auto n = static_cast<double>(points.size());
    for (std::size_t k = 0; k < points.size(); ++k) {
        const double f = frequencies[points[k]];
        const double r = std::remainder(excess[k] + kTwoPi * f * delay, kTwoPi);
        sf += f;
        sr += r;
        sff += f * f;
        sfr += f * r;
    }
    const double spread = n * sff - sf * sf;
    const double slope = spread > 0.0 ? (n * sfr - sf * sr) / spread : 0.0;
    return {delay - slope / kTwoPi, (sr - slope * sf) / n};
}

// -2π·∫ τ df from 0 Hz, the group delay held at its first value below the
// first point and straight between points.
void IntegrateGroupDelay(const VDoubleVec& frequencies, const VDoubleVec& seconds,
                         VDoubleVec& phases) {
    phases[0] = -kTwoPi * frequencies[0] * seconds[0];
    for (int i = 1; i < frequencies.GetSize(); ++i) {
        phases[i] = phases[i - 1] - std::numbers::pi * (seconds[i] + seconds[i - 1]) *
                                        (frequencies[i] - frequencies[i - 1]);
    }
}

// Adds -2π·f·seconds: a delay, or with a negative time an advance.
void Delay(const VDoubleVec& frequencies, double seconds, VDoubleVec& phases) {
    for (int i = 0; i < phases.GetSize(); ++i) {
        phases[i] -= kTwoPi * frequencies[i] * seconds;
    }
}

} // namespace

std::optional<ExcessPhaseFit> FitExcessPhase(const VDoubleVec& frequencies,
                                             const VDoubleVec& levels, const VDoubleVec& measured,
                                             const VDoubleVec& minimum) {
    const int n = frequencies.GetSize();
    if (levels.GetSize() != n || measured.GetSize() != n || minimum.GetSize() != n) {
        return std::nullopt;
    }
    const std::vector<int> points = PassbandPoints(levels);
    if (static_cast<int>(points.size()) < kMinPassbandPoints) {
        return std::nullopt;
    }
    std::vector<double> excess;
    excess.reserve(points.size());
    for (const int i : points) {
        excess.push_back(measured[i] - minimum[i]);
    }
    const double coarse = CoherentDelay(frequencies, points, excess);
    const ExcessPhaseFit first = FitLine(frequencies, points, excess, coarse);
    return FitLine(frequencies, points, excess, first.delaySeconds);
}

bool MakeCurvePhases(const VDoubleVec& frequencies, const VDoubleVec& levels,
                     const VDoubleVec& fileValues, PhaseContent content, const SplPhase& choice,
                     VDoubleVec& phases, PhaseReport& report) {
    report = {};
    report.content = content;
    MinimumPhase transform;
    VDoubleVec minimum;
    const bool haveMinimum = transform.Compute(frequencies, levels, minimum);
    VDoubleVec measured;
    if (content == PhaseContent::GroupDelay) {
        if (!measured.SetSize(frequencies.GetSize())) {
            return false;
        }
        IntegrateGroupDelay(frequencies, fileValues, measured);
    } else {
        measured = fileValues;
    }
    std::optional<ExcessPhaseFit> fitted;
    if (haveMinimum && content != PhaseContent::None) {
        fitted = FitExcessPhase(frequencies, levels, measured, minimum);
    }
    const ExcessPhaseFit fit = fitted.value_or(ExcessPhaseFit{});
    if (content == PhaseContent::GroupDelay) {
        measured += -fit.offsetRadians;
    }
    const bool useMeasured = content != PhaseContent::None && choice.choice != PhaseChoice::Minimum;
    if (useMeasured || !haveMinimum) {
        phases = measured;
    } else {
        phases = minimum;
        report.minimum = true;
    }
    if (phases.GetSize() != frequencies.GetSize()) {
        return false;
    }
    if (fitted) {
        report.flightTimeMs = fit.delaySeconds * 1e3;
    }
    if (useMeasured && fitted && choice.removeFlightTime) {
        Delay(frequencies, -fit.delaySeconds, phases);
        report.flightTimeRemoved = true;
    }
    if (choice.offsetMs != 0.0) {
        Delay(frequencies, choice.offsetMs * 1e-3, phases);
    }
    return true;
}

std::string DescribePhase(const PhaseReport& report) {
    if (report.minimum) {
        return "minimum phase";
    }
    switch (report.content) {
    case PhaseContent::GroupDelay:
        return "from the group delay";
    case PhaseContent::None:
        return "none";
    case PhaseContent::Phase:
        break;
    }
    return "as measured";
}

} // namespace kv
