#include "model/ImpulseGate.h"

#include "import/ImportText.h"
#include "math/ResponseCurves.h"
#include "math/Rounding.h"
#include "math/VFreqVec.h"
#include "model/MainGrid.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numbers>

namespace kv {
namespace {

constexpr int kOversampling = 16;
constexpr int kMinLog2Size = 10;
// 2^22 points of 16 bytes: a 100 ms gate at 2.6 MHz.
constexpr int kMaxLog2Size = 22;

bool ValidGate(const ImpulseGate& gate) {
    return gate.lengthMs >= kMinGateMs && gate.lengthMs <= kMaxGateMs;
}

// The first largest sample by magnitude; false when a sample is not finite.
bool FindPeak(const VDoubleVec& samples, int& peak, double& magnitude) {
    peak = 0;
    magnitude = 0.0;
    for (int i = 0; i < samples.GetSize(); ++i) {
        const double m = std::fabs(samples[i]);
        if (!std::isfinite(m)) {
            return false;
        }
        if (m > magnitude) {
            magnitude = m;
            peak = i;
        }
    }
    return true;
}

int Samples(double ms, double sampleRate) {
    return static_cast<int>(
        std::min<long long>(RoundHalfAway(ms * sampleRate / 1000.0), INT32_MAX));
}

// The main grid's lattice from its start up to half the sample rate, from
// 1 / gate length on.
GateOutcome GateGrid(double sampleRate, int after, VDoubleVec& frequencies) {
    VFreqVec lattice;
    if (!lattice.Create(kMainGridStart, sampleRate / 2.0, kMainGridPointsPerOctave, false, false)) {
        return GateOutcome::TooLarge;
    }
    const double lowest = sampleRate / after;
    const auto first = std::lower_bound(lattice.begin(), lattice.end(), lowest);
    const int count = static_cast<int>(lattice.end() - first);
    if (count < 2) {
        return GateOutcome::TooShort;
    }
    if (!frequencies.SetSize(count)) {
        return GateOutcome::TooLarge;
    }
    std::copy(first, lattice.end(), frequencies.begin());
    return GateOutcome::Gated;
}

// The spectrum at f, between its bins, with the peak's time as a phase.
Complex SpectrumAt(const VComplexVec& spectrum, double sampleRate, double f, int peak) {
    const int size = spectrum.GetSize();
    const double position = f * size / sampleRate;
    const int bin = std::min(static_cast<int>(position), size / 2);
    const double weight = position - bin;
    Complex value = spectrum[bin];
    if (weight > 0.0 && bin < size / 2) {
        value += (spectrum[bin + 1] - value) * weight;
    }
    const double cycles = std::fmod(f * peak / sampleRate, 1.0);
    return Multiply(value, FromPolar(1.0, -2.0 * std::numbers::pi * cycles));
}

} // namespace

GateOutcome ImpulseGating::Gate(const VDoubleVec& samples, double sampleRate,
                                const ImpulseGate& gate, GatedCurve& curve) {
    if (!ValidGate(gate)) {
        return GateOutcome::LengthOutOfRange;
    }
    Span span;
    double peakMagnitude = 0.0;
    if (!FindPeak(samples, span.peak, peakMagnitude)) {
        return GateOutcome::NotFinite;
    }
    if (peakMagnitude == 0.0) {
        return GateOutcome::Silent;
    }
    if (!(sampleRate > 0.0) || !std::isfinite(sampleRate)) {
        return GateOutcome::TooShort;
    }
    const int asked = Samples(gate.lengthMs, sampleRate);
    span.after = std::min(asked, samples.GetSize() - span.peak);
    span.lead = std::min(Samples(kGateLeadMs, sampleRate), span.peak);
    const GateOutcome outcome = Transform(samples, sampleRate, span, gate.window, curve);
    curve.clamped = outcome == GateOutcome::Gated && span.after < asked;
    return outcome;
}

// The gated signal with its peak at index 0 and the lead wrapped round to
// the end, so that the spectrum turns slowly between its bins; the peak's
// time goes back in as a phase afterwards.
bool ImpulseGating::LoadGatedSignal(const VDoubleVec& samples, const Span& span,
                                    WindowType window) {
    if (!tail_.SetSize(span.after)) {
        return false;
    }
    std::copy_n(samples.begin() + span.peak, span.after, tail_.begin());
    fft_.ApplyWindow(tail_, span.after, window, true, 0);
    spectrum_.Fill(Complex());
    const int size = spectrum_.GetSize();
    for (int k = 0; k < span.after; ++k) {
        spectrum_[k] = tail_[k];
    }
    for (int j = 1; j <= span.lead; ++j) {
        spectrum_[size - j] = samples[span.peak - j];
    }
    return true;
}

GateOutcome ImpulseGating::Transform(const VDoubleVec& samples, double sampleRate, const Span& span,
                                     WindowType window, GatedCurve& curve) {
    const long long length = static_cast<long long>(span.lead) + span.after;
    int log2Size = kMinLog2Size;
    while (log2Size < kMaxLog2Size && (1LL << log2Size) < kOversampling * length) {
        ++log2Size;
    }
    if ((1LL << log2Size) < 2 * length) {
        return GateOutcome::TooLarge;
    }
    VDoubleVec frequencies;
    const GateOutcome grid = GateGrid(sampleRate, span.after, frequencies);
    if (grid != GateOutcome::Gated) {
        return grid;
    }
    const int n = frequencies.GetSize();
    if (!spectrum_.SetSize(1 << log2Size) || !curve.levels.SetSize(n) || !curve.phases.SetSize(n) ||
        !LoadGatedSignal(samples, span, window) || !fft_.Transform(spectrum_, false)) {
        return GateOutcome::TooLarge;
    }
    for (int i = 0; i < n; ++i) {
        const Complex value = SpectrumAt(spectrum_, sampleRate, frequencies[i], span.peak);
        if (!IsFinite(value)) {
            return GateOutcome::Overflow;
        }
        curve.levels[i] = MagnitudeToDb(Magnitude(value));
        curve.phases[i] = Phase(value);
    }
    curve.frequencies = frequencies;
    curve.appliedMs = 1000.0 * span.after / sampleRate;
    return curve.frequencies.GetSize() == n ? GateOutcome::Gated : GateOutcome::TooLarge;
}

std::string DescribeGateOutcome(GateOutcome outcome) {
    switch (outcome) {
    case GateOutcome::Gated:
        return {};
    case GateOutcome::LengthOutOfRange:
        return "The gate must be 0.5 to 100 ms long.";
    case GateOutcome::Silent:
        return "The impulse response is silent: every sample is 0, so there is no peak to gate.";
    case GateOutcome::NotFinite:
        return "The impulse response holds samples that are not numbers.";
    case GateOutcome::Overflow:
        return "The impulse response's samples are too large: its spectrum is beyond the range "
               "of numbers the program can compute with.";
    case GateOutcome::TooShort:
        return "The impulse response ends too soon after its peak to give a curve.";
    case GateOutcome::TooLarge:
        return "The gated impulse response is too large to transform.";
    }
    return {};
}

std::vector<std::string> GateWindowNames() {
    const VFft windows;
    std::vector<std::string> names;
    for (const WindowType window : kGateWindows) {
        names.emplace_back(windows.GetWindowName(window));
    }
    return names;
}

std::optional<WindowType> GateWindowNamed(std::string_view name) {
    const std::vector<std::string> names = GateWindowNames();
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (EqualsNoCase(names[i], name)) {
            return kGateWindows[i];
        }
    }
    return std::nullopt;
}

} // namespace kv
