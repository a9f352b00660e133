#pragma once

#include "filters/BiquadCalc.h"

#include <vector>

namespace kv {

// Where one setting of a fitted section comes from: a parameter of the fit
// (its index) or a fixed value. Frequencies and Qs are fitted in octaves
// (log2), gains in dB, so that one step means the same anywhere in the
// range.
struct FitSetting {
    int parameter = -1;
    double value = 0.0;
};

// One section whose settings a fit changes. Its frequency is ratio times
// 2^x of its frequency parameter (the section of a crossover slot sits at a
// ratio of the slot's frequency), or the fixed value in Hz.
struct FitSection {
    BiquadKind kind = BiquadKind::Peaking;
    FitSetting frequency;
    double ratio = 1.0;
    FitSetting gainDb;
    FitSetting q;
    // An equaliser of the fit: its level counts towards the boost.
    bool equaliser = false;
};

// What the band would play, less what it should, in dB at each point of a
// range: a fixed part (the sections the fit leaves alone, the driver's
// curve, the target) plus the levels of the fitted sections and, when
// fitted, the band's gain. Evaluating it costs one logarithm per point and
// a few multiplications per section and point, because the level of a
// section is the quotient of two polynomials in sin²(ω/2) whose
// coefficients alone depend on its settings: the fit's derivatives come
// from those few coefficients, not from the points.
class LevelFit {
public:
    // The points in Hz, the fixed part of the deviation at each in dB, and
    // the sample rate the sections run at.
    LevelFit(const std::vector<double>& frequencies, std::vector<double> fixedDb,
             double sampleRate);

    // The fitted sections, the parameter of the band's gain (none: -1) and
    // how many parameters there are.
    void SetSections(std::vector<FitSection> sections, int gainParameter, int parameters);

    // The deviation at every point for the parameters x, of the sections as
    // designed or (chip) as the TAS3103 runs them from their rounded words.
    // Given slopesOf (one flag per parameter), also how each point moves
    // with each parameter flagged.
    void Evaluate(const std::vector<double>& x, bool chip,
                  const std::vector<bool>* slopesOf = nullptr);

    const std::vector<double>& Deviation() const { return deviation_; }
    // The level in dB the equalisers of the fit give each point together.
    const std::vector<double>& Boost() const { return boost_; }
    // Σ weight[i] · d deviation[i] / d x[p], for a parameter whose slopes
    // the last evaluation computed.
    double WeightedSlope(int p, const std::vector<double>& weight) const;
    // The mean square of the deviation (dB²) and, for the parameters whose
    // slopes the last evaluation computed, its gradient (0 for the others).
    double MeanSquare(std::vector<double>* gradient) const;
    double Rms() const;
    double Largest() const;

    // The setting a section has for x: frequency in Hz, gain in dB, Q.
    double FrequencyOf(const FitSection& s, const std::vector<double>& x) const;
    static double GainOf(const FitSection& s, const std::vector<double>& x);
    static double QOf(const FitSection& s, const std::vector<double>& x);

private:
    // The level of one section at every point is 10·log10(N/D), N and D
    // each c0 + c1·φ + c2·φ² with φ = sin²(ω/2).
    struct PowerTerms {
        double numerator[3];
        double denominator[3];
    };

    PowerTerms TermsOf(const FitSection& s, const std::vector<double>& x, bool chip) const;
    void AddSection(const FitSection& s, const std::vector<double>& x, bool chip);
    void AddSlopes(const FitSection& s, const std::vector<double>& x);
    void AddSlope(int parameter, const PowerTerms& up, const PowerTerms& down, double step);

    // What an evaluation keeps of each point while it adds the sections:
    // the product of the fitted sections' power ratios, that of the
    // equalisers' alone, and 1/N and 1/D of the section being added.
    struct Running {
        double product;
        double equaliserProduct;
        double inverseNumerator;
        double inverseDenominator;
    };

    double sampleRate_;
    std::vector<double> fixedDb_;
    std::vector<double> phi_;
    std::vector<double> phi2_;
    std::vector<FitSection> sections_;
    int gainParameter_ = -1;
    int parameters_ = 0;
    std::vector<Running> running_;
    std::vector<double> deviation_;
    std::vector<double> boost_;
    // The parameters whose slopes the last evaluation computed, and those
    // slopes, one row of points per parameter.
    std::vector<bool> sloped_;
    std::vector<double> slopes_;
};

} // namespace kv
