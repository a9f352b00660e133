#include "model/LevelFit.h"

#include "filters/TAS3103Words.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <numeric>

namespace kv {
namespace {

// A power ratio in dB per unit of its natural logarithm.
constexpr double kDbPerPowerNeper = 10.0 / std::numbers::ln10;
// The step of the central differences, in the parameters' units (octaves,
// dB): small enough for the coefficients' curvature, large enough for their
// rounding.
constexpr double kDifferenceStep = 1e-5;
// Keeps a zero of a section (a high-pass at 0 Hz) from giving -∞ dB.
constexpr double kSmallestPower = 1e-300;

// |b0 + b1·z⁻¹ + b2·z⁻²|² = (b0+b1+b2)² − 4(b0·b1 + 4·b0·b2 + b1·b2)·φ +
// 16·b0·b2·φ² with φ = sin²(ω/2): unlike the form in cos ω it keeps its
// precision for sections far below the sample rate.
void PowerPolynomial(double b0, double b1, double b2, double (&terms)[3]) {
    const double sum = b0 + b1 + b2;
    terms[0] = sum * sum;
    terms[1] = -4.0 * (b0 * b1 + 4.0 * b0 * b2 + b1 * b2);
    terms[2] = 16.0 * b0 * b2;
}

} // namespace

LevelFit::LevelFit(const std::vector<double>& frequencies, std::vector<double> fixedDb,
                   double sampleRate)
    : sampleRate_(sampleRate), fixedDb_(std::move(fixedDb)) {
    for (const double f : frequencies) {
        const double s = std::sin(std::numbers::pi * f / sampleRate);
        phi_.push_back(s * s);
        phi2_.push_back(s * s * s * s);
    }
    const std::size_t n = phi_.size();
    deviation_.assign(n, 0.0);
    boost_.assign(n, 0.0);
    running_.assign(n, Running{});
}

void LevelFit::SetSections(std::vector<FitSection> sections, int gainParameter, int parameters) {
    sections_ = std::move(sections);
    gainParameter_ = gainParameter;
    parameters_ = parameters;
}

double LevelFit::FrequencyOf(const FitSection& s, const std::vector<double>& x) const {
    const int p = s.frequency.parameter;
    return p >= 0 ? s.ratio * std::exp2(x[static_cast<std::size_t>(p)]) : s.frequency.value;
}

double LevelFit::GainOf(const FitSection& s, const std::vector<double>& x) {
    const int p = s.gainDb.parameter;
    return p >= 0 ? x[static_cast<std::size_t>(p)] : s.gainDb.value;
}

double LevelFit::QOf(const FitSection& s, const std::vector<double>& x) {
    const int p = s.q.parameter;
    return p >= 0 ? std::exp2(x[static_cast<std::size_t>(p)]) : s.q.value;
}

LevelFit::PowerTerms LevelFit::TermsOf(const FitSection& s, const std::vector<double>& x,
                                       bool chip) const {
    BiquadCalc calc;
    calc.Design(s.kind, sampleRate_, FrequencyOf(s, x), GainOf(s, x), QOf(s, x));
    const BiquadCoefs c = chip ? ChipSection(calc.GetCoefficients()) : calc.GetCoefficients();
    PowerTerms terms;
    PowerPolynomial(c.b0, c.b1, c.b2, terms.numerator);
    PowerPolynomial(c.a0, c.a1, c.a2, terms.denominator);
    return terms;
}

void LevelFit::Evaluate(const std::vector<double>& x, bool chip,
                        const std::vector<bool>* slopesOf) {
    for (Running& r : running_) {
        r.product = 1.0;
        r.equaliserProduct = 1.0;
    }
    sloped_.assign(static_cast<std::size_t>(parameters_), false);
    if (slopesOf != nullptr && !chip) {
        sloped_ = *slopesOf;
        slopes_.assign(static_cast<std::size_t>(parameters_) * phi_.size(), 0.0);
    }
    for (const FitSection& s : sections_) {
        AddSection(s, x, chip);
        AddSlopes(s, x);
    }
    const double gain = gainParameter_ >= 0 ? x[static_cast<std::size_t>(gainParameter_)] : 0.0;
    for (std::size_t i = 0; i < phi_.size(); ++i) {
        deviation_[i] = fixedDb_[i] + gain + kDbPerPowerNeper * std::log(running_[i].product);
        boost_[i] = kDbPerPowerNeper * std::log(running_[i].equaliserProduct);
    }
}

void LevelFit::AddSection(const FitSection& s, const std::vector<double>& x, bool chip) {
    const PowerTerms t = TermsOf(s, x, chip);
    for (std::size_t i = 0; i < phi_.size(); ++i) {
        const double n = std::max(kSmallestPower, t.numerator[0] + t.numerator[1] * phi_[i] +
                                                      t.numerator[2] * phi2_[i]);
        const double d = std::max(kSmallestPower, t.denominator[0] + t.denominator[1] * phi_[i] +
                                                      t.denominator[2] * phi2_[i]);
        Running& r = running_[i];
        r.inverseNumerator = 1.0 / n;
        r.inverseDenominator = 1.0 / d;
        r.product *= n / d;
        if (s.equaliser) {
            r.equaliserProduct *= n / d;
        }
    }
}

// Only for the parameters asked for: a fit of one new equaliser needs the
// slopes of its own three.
void LevelFit::AddSlopes(const FitSection& s, const std::vector<double>& x) {
    for (const FitSetting* setting : {&s.frequency, &s.gainDb, &s.q}) {
        const int p = setting->parameter;
        if (p < 0 || !sloped_[static_cast<std::size_t>(p)]) {
            continue;
        }
        std::vector<double> moved = x;
        const auto at = static_cast<std::size_t>(p);
        moved[at] = x[at] + kDifferenceStep;
        const PowerTerms up = TermsOf(s, moved, false);
        moved[at] = x[at] - kDifferenceStep;
        const PowerTerms down = TermsOf(s, moved, false);
        AddSlope(p, up, down, 2.0 * kDifferenceStep);
    }
}

// The section's power polynomials change linearly in their coefficients, so
// d level / dp at each point is (N'/N − D'/D) in nepers of power.
void LevelFit::AddSlope(int parameter, const PowerTerms& up, const PowerTerms& down, double step) {
    double dn[3];
    double dd[3];
    for (int k = 0; k < 3; ++k) {
        dn[k] = (up.numerator[k] - down.numerator[k]) / step;
        dd[k] = (up.denominator[k] - down.denominator[k]) / step;
    }
    double* slope = slopes_.data() + static_cast<std::size_t>(parameter) * phi_.size();
    for (std::size_t i = 0; i < phi_.size(); ++i) {
        const double n = dn[0] + dn[1] * phi_[i] + dn[2] * phi2_[i];
        const double d = dd[0] + dd[1] * phi_[i] + dd[2] * phi2_[i];
        slope[i] += kDbPerPowerNeper *
                    (n * running_[i].inverseNumerator - d * running_[i].inverseDenominator);
    }
}

double LevelFit::WeightedSlope(int p, const std::vector<double>& weight) const {
    if (p == gainParameter_) {
        return std::accumulate(weight.begin(), weight.end(), 0.0);
    }
    const double* slope = slopes_.data() + static_cast<std::size_t>(p) * phi_.size();
    double sum = 0.0;
    for (std::size_t i = 0; i < phi_.size(); ++i) {
        sum += weight[i] * slope[i];
    }
    return sum;
}

double LevelFit::MeanSquare(std::vector<double>* gradient) const {
    const auto m = static_cast<double>(deviation_.size());
    double sum = 0.0;
    for (const double r : deviation_) {
        sum += r * r;
    }
    if (gradient != nullptr) {
        gradient->assign(static_cast<std::size_t>(parameters_), 0.0);
        for (int p = 0; p < parameters_; ++p) {
            if (sloped_[static_cast<std::size_t>(p)]) {
                (*gradient)[static_cast<std::size_t>(p)] = 2.0 * WeightedSlope(p, deviation_) / m;
            }
        }
    }
    return sum / m;
}

double LevelFit::Rms() const {
    return std::sqrt(MeanSquare(nullptr));
}

double LevelFit::Largest() const {
    double largest = 0.0;
    for (const double r : deviation_) {
        largest = std::max(largest, std::fabs(r));
    }
    return largest;
}

} // namespace kv
