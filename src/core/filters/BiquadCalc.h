#pragma once

#include "math/VComplexVec.h"
#include "math/VDoubleVec.h"
#include "math/VectorLanes.h"

#include <cstdint>
#include <vector>

namespace kv {

// The kind of one second-order section; None until a section is designed.
enum class BiquadKind : std::int32_t {
    None = -2,
    LowPass1 = 0,
    LowPass2 = 1,
    HighPass1 = 2,
    HighPass2 = 3,
    Notch = 5,
    Peaking = 6,
    LowShelf = 7,
    HighShelf = 8,
    AllPass = 9,
};

// The six coefficients one section contributes to a band's biquad list:
// H(z) = (b0 + b1·z⁻¹ + b2·z⁻²) / (a0 + a1·z⁻¹ + a2·z⁻²), unnormalised (a0 is
// not 1 in general) and with the signs of the denominator polynomial, not
// the negated feedback form.
struct BiquadCoefs {
    double a0 = 1.0;
    double a1 = 0.0;
    double a2 = 0.0;
    double b0 = 1.0;
    double b1 = 0.0;
    double b2 = 0.0;

    bool operator==(const BiquadCoefs&) const = default;
};

using BiquadList = std::vector<BiquadCoefs>;

// Whether both poles of a section whose denominator is 1 + d1·z⁻¹ + d2·z⁻²
// lie strictly inside the unit circle, so that the section is stable.
bool PolesInsideUnitCircle(double d1, double d2);

// The frequency-dependent part of every section's response on one grid,
// e^(−jωT) and e^(−2jωT) per grid point, computed once so that evaluating a
// section costs a few multiplications per point instead of a cos and a sin.
// Build one per recalculation (grid and sample rate) and hand it to every
// evaluation of that recalculation.
class GridPhasors {
public:
    // False (and an empty object) when memory is short or fs is not above 0.
    bool Create(const VDoubleVec& frequencies, double sampleRate);

    int GetSize() const { return delay1_.GetSize(); }
    double SampleRate() const { return sampleRate_; }
    const Complex& Delay1(int i) const { return delay1_[i]; }
    const Complex& Delay2(int i) const { return delay2_[i]; }

private:
    VComplexVec delay1_;
    VComplexVec delay2_;
    double sampleRate_ = 0.0;
};

// The designer of one second-order section: from a kind, the sample rate, a
// frequency, a gain and a Q it computes the six coefficients (bilinear
// transform; the second-order kinds are the Audio EQ Cookbook biquads with
// the shelf slope fixed at 1), and it evaluates the section's response.
// A section designed above half the sample rate is not clamped: it comes out
// unstable or, beyond the sample rate, as the section of its alias
// frequency; the hardware check refuses both.
class BiquadCalc {
public:
    BiquadCalc() { Reset(); }

    // The pass-through section, kind None, no sample rate.
    void Reset();
    // Stores the arguments and computes the coefficients; an unknown kind
    // resets the section and gives false.
    bool Design(BiquadKind kind, double sampleRate, double frequency, double gainDb, double q);

    // out[i] = H(e^(jω)) at every grid frequency. False (out unchanged)
    // without a designed sample rate or when out cannot be sized.
    bool Evaluate(VComplexVec& out, const VDoubleVec& grid) const;
    // The same from precomputed phasors, which must have been made at the
    // section's sample rate (false, out unchanged, otherwise).
    bool Evaluate(VComplexVec& out, const GridPhasors& grid) const;
    // response[i] *= H at grid point i, without a scratch vector. The
    // response must have the grid's length; false and untouched otherwise.
    bool MultiplyResponse(VComplexVec& response, const GridPhasors& grid,
                          VectorLanes lanes = WidestLanes()) const;

    void GetCoefficients(double& a0, double& a1, double& a2, double& b0, double& b1,
                         double& b2) const;
    const BiquadCoefs& GetCoefficients() const { return coefs_; }

    BiquadKind Kind() const { return kind_; }
    double SampleRate() const { return sampleRate_; }
    double GainDb() const { return gainDb_; }
    double Frequency() const { return frequency_; }
    double Q() const { return q_; }

private:
    bool Usable(const GridPhasors& grid) const;

    BiquadKind kind_ = BiquadKind::None;
    double sampleRate_ = 0.0;
    double gainDb_ = 0.0;
    double frequency_ = 0.0;
    double q_ = 0.0;
    BiquadCoefs coefs_;
};

// response[i] *= the product of the H of a chain of sections at grid point
// i, at whatever sample rate the phasors were made. Numerators and
// denominators are multiplied up apart and divided once per point, which
// makes a long chain cost a fraction of one call per section. The response
// must have the grid's length; false and untouched otherwise.
bool MultiplyResponse(VComplexVec& response, const BiquadList& chain, const GridPhasors& grid);

} // namespace kv
