#include "filters/BiquadCalc.h"

#include <cmath>

namespace kv {
namespace {

constexpr double kTwoPi = 6.283185307179586;
// 10^(dB/40) is the amplitude of the peaking and shelf formulas.
constexpr double kAmplitudeExponentPerDb = 0.025;

// The values every formula of a design shares.
struct DesignTerms {
    double c;     // cos ω0
    double s;     // sin ω0
    double amp;   // A = 10^(gain/40)
    double alpha; // sin ω0 / 2Q
    double beta;  // √(2A): the shelf slope fixed at 1
    double k;     // (t − 1) / (t + 1) with t = tan(ω0/2), first-order kinds
};

DesignTerms TermsFor(double sampleRate, double frequency, double gainDb, double q) {
    const double w0 = kTwoPi * frequency / sampleRate;
    const double amp = std::pow(10.0, gainDb * kAmplitudeExponentPerDb);
    const double t = std::tan(w0 / 2.0);
    return {std::cos(w0),         std::sin(w0),         amp, std::sin(w0) / (2.0 * q),
            std::sqrt(2.0 * amp), (t - 1.0) / (t + 1.0)};
}

BiquadCoefs FirstOrder(double k, bool highPass) {
    const double b = highPass ? (1.0 - k) / 2.0 : (1.0 + k) / 2.0;
    return {1.0, k, 0.0, b, highPass ? -b : b, 0.0};
}

BiquadCoefs SecondOrderPass(const DesignTerms& d, bool highPass) {
    const double edge = highPass ? (1.0 + d.c) / 2.0 : (1.0 - d.c) / 2.0;
    const double middle = highPass ? -(1.0 + d.c) : 1.0 - d.c;
    return {1.0 + d.alpha, -2.0 * d.c, 1.0 - d.alpha, edge, middle, edge};
}

BiquadCoefs LowShelf(const DesignTerms& d) {
    const double a = d.amp;
    const double bs = d.beta * d.s;
    return {(a + 1.0) + (a - 1.0) * d.c + bs,        -2.0 * ((a - 1.0) + (a + 1.0) * d.c),
            (a + 1.0) + (a - 1.0) * d.c - bs,        a * ((a + 1.0) - (a - 1.0) * d.c + bs),
            2.0 * a * ((a - 1.0) - (a + 1.0) * d.c), a * ((a + 1.0) - (a - 1.0) * d.c - bs)};
}

BiquadCoefs HighShelf(const DesignTerms& d) {
    const double a = d.amp;
    const double bs = d.beta * d.s;
    return {(a + 1.0) - (a - 1.0) * d.c + bs,         2.0 * ((a - 1.0) - (a + 1.0) * d.c),
            (a + 1.0) - (a - 1.0) * d.c - bs,         a * ((a + 1.0) + (a - 1.0) * d.c + bs),
            -2.0 * a * ((a - 1.0) + (a + 1.0) * d.c), a * ((a + 1.0) + (a - 1.0) * d.c - bs)};
}

// c0 + c1·z⁻¹ + c2·z⁻² from the phasors z⁻¹ and z⁻².
[[gnu::always_inline]] inline Complex Polynomial(double c0, double c1, double c2,
                                                 const Complex& delay1, const Complex& delay2) {
    return {c0 + c1 * delay1.real() + c2 * delay2.real(), c1 * delay1.imag() + c2 * delay2.imag()};
}

// p·conj(q) / |q|²
[[gnu::always_inline]] inline Complex Quotient(const Complex& p, const Complex& q) {
    const double norm = q.real() * q.real() + q.imag() * q.imag();
    return {(p.real() * q.real() + p.imag() * q.imag()) / norm,
            (p.imag() * q.real() - p.real() * q.imag()) / norm};
}

// H at one point from the phasors e^(-jωT) and e^(-2jωT).
[[gnu::always_inline]] inline Complex SectionResponse(const BiquadCoefs& c, const Complex& delay1,
                                                      const Complex& delay2) {
    return Quotient(Polynomial(c.b0, c.b1, c.b2, delay1, delay2),
                    Polynomial(c.a0, c.a1, c.a2, delay1, delay2));
}

// Every recalculation runs this for each section of each band. The values
// are taken as pairs of doubles: the vectoriser does not see through
// std::complex here.
[[gnu::always_inline]] inline void MultiplyBySection(double* response, const double* delay1,
                                                     const double* delay2, BiquadCoefs c,
                                                     int count) {
    for (int i = 0; i < count; ++i) {
        const Complex h = SectionResponse(c, {delay1[2 * i], delay1[2 * i + 1]},
                                          {delay2[2 * i], delay2[2 * i + 1]});
        const Complex y = Multiply({response[2 * i], response[2 * i + 1]}, h);
        response[2 * i] = y.real();
        response[2 * i + 1] = y.imag();
    }
}

} // namespace

// The stability triangle of a second-order denominator.
bool PolesInsideUnitCircle(double d1, double d2) {
    return std::fabs(d2) < 1.0 && std::fabs(d1) < 1.0 + d2;
}

bool GridPhasors::Create(const VDoubleVec& frequencies, double sampleRate) {
    const int n = frequencies.GetSize();
    sampleRate_ = 0.0;
    if (!(sampleRate > 0.0) || !delay1_.SetSize(n) || !delay2_.SetSize(n)) {
        delay1_.SetSize(0);
        delay2_.SetSize(0);
        return false;
    }
    for (int i = 0; i < n; ++i) {
        const double w = kTwoPi * frequencies[i] / sampleRate;
        delay1_[i] = Complex(std::cos(w), -std::sin(w));
        delay2_[i] = Complex(std::cos(2.0 * w), -std::sin(2.0 * w));
    }
    sampleRate_ = sampleRate;
    return true;
}

void BiquadCalc::Reset() {
    kind_ = BiquadKind::None;
    sampleRate_ = 0.0;
    gainDb_ = 0.0;
    frequency_ = 0.0;
    q_ = 0.0;
    coefs_ = BiquadCoefs{};
}

bool BiquadCalc::Design(BiquadKind kind, double sampleRate, double frequency, double gainDb,
                        double q) {
    kind_ = kind;
    sampleRate_ = sampleRate;
    gainDb_ = gainDb;
    frequency_ = frequency;
    q_ = q;
    const DesignTerms d = TermsFor(sampleRate, frequency, gainDb, q);
    switch (kind) {
    case BiquadKind::LowPass1:
        coefs_ = FirstOrder(d.k, false);
        return true;
    case BiquadKind::HighPass1:
        coefs_ = FirstOrder(d.k, true);
        return true;
    case BiquadKind::LowPass2:
        coefs_ = SecondOrderPass(d, false);
        return true;
    case BiquadKind::HighPass2:
        coefs_ = SecondOrderPass(d, true);
        return true;
    case BiquadKind::Notch:
        coefs_ = {1.0 + d.alpha, -2.0 * d.c, 1.0 - d.alpha, 1.0, -2.0 * d.c, 1.0};
        return true;
    case BiquadKind::Peaking:
        coefs_ = {1.0 + d.alpha / d.amp, -2.0 * d.c, 1.0 - d.alpha / d.amp,
                  1.0 + d.alpha * d.amp, -2.0 * d.c, 1.0 - d.alpha * d.amp};
        return true;
    case BiquadKind::AllPass:
        coefs_ = {1.0 + d.alpha, -2.0 * d.c, 1.0 - d.alpha,
                  1.0 - d.alpha, -2.0 * d.c, 1.0 + d.alpha};
        return true;
    case BiquadKind::LowShelf:
        coefs_ = LowShelf(d);
        return true;
    case BiquadKind::HighShelf:
        coefs_ = HighShelf(d);
        return true;
    case BiquadKind::None:
        break;
    }
    Reset();
    return false;
}

bool MultiplyResponse(VComplexVec& response, const BiquadList& chain, const GridPhasors& grid) {
    if (response.GetSize() != grid.GetSize()) {
        return false;
    }
    for (int i = 0; i < grid.GetSize(); ++i) {
        const Complex& z1 = grid.Delay1(i);
        const Complex& z2 = grid.Delay2(i);
        Complex numerator = response[i];
        Complex denominator = 1.0;
        for (const BiquadCoefs& c : chain) {
            numerator = Multiply(numerator, Polynomial(c.b0, c.b1, c.b2, z1, z2));
            denominator = Multiply(denominator, Polynomial(c.a0, c.a1, c.a2, z1, z2));
        }
        response[i] = Quotient(numerator, denominator);
    }
    return true;
}

bool BiquadCalc::Usable(const GridPhasors& grid) const {
    return sampleRate_ > 0.0 && grid.SampleRate() == sampleRate_;
}

bool BiquadCalc::Evaluate(VComplexVec& out, const VDoubleVec& grid) const {
    GridPhasors phasors;
    return sampleRate_ > 0.0 && phasors.Create(grid, sampleRate_) && Evaluate(out, phasors);
}

bool BiquadCalc::Evaluate(VComplexVec& out, const GridPhasors& grid) const {
    if (!Usable(grid) || !out.SetSize(grid.GetSize())) {
        return false;
    }
    for (int i = 0; i < grid.GetSize(); ++i) {
        out[i] = SectionResponse(coefs_, grid.Delay1(i), grid.Delay2(i));
    }
    return true;
}

bool BiquadCalc::MultiplyResponse(VComplexVec& response, const GridPhasors& grid,
                                  VectorLanes lanes) const {
    if (!Usable(grid) || response.GetSize() != grid.GetSize()) {
        return false;
    }
    RunOnLanes<MultiplyBySection>(lanes, reinterpret_cast<double*>(response.Data()),
                                  reinterpret_cast<const double*>(&grid.Delay1(0)),
                                  reinterpret_cast<const double*>(&grid.Delay2(0)), coefs_,
                                  grid.GetSize());
    return true;
}

void BiquadCalc::GetCoefficients(double& a0, double& a1, double& a2, double& b0, double& b1,
                                 double& b2) const {
    a0 = coefs_.a0;
    a1 = coefs_.a1;
    a2 = coefs_.a2;
    b0 = coefs_.b0;
    b1 = coefs_.b1;
    b2 = coefs_.b2;
}

} // namespace kv
