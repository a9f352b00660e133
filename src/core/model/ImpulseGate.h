#pragma once

#include "math/VComplexVec.h"
#include "math/VDoubleVec.h"
#include "math/VFft.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kv {

// A measured impulse response (a WAV file, a time series) becomes a driver's
// SPL curve through a gate that keeps the direct sound and drops the room:
//
// - the signal is taken from kGateLeadMs before its peak (the largest
//   sample by magnitude) as it is, and from the peak on for lengthMs under
//   the falling half of the gate's window; a file that ends sooner is gated
//   where it ends;
// - the gated signal is transformed with VFft, zero-padded to a power of two
//   at least 16 times its length, and the spectrum is read between its bins
//   at 48 points per octave on the main grid's lattice (10 Hz · 2^(k/48), so
//   that every point lands on a point of the band's responses), from the
//   gate's lowest meaningful frequency, 1 / gate length, to half the sample
//   rate;
// - levels are in dB of the transform itself: a full-scale unit impulse (a
//   sample of 1.0, and 0 elsewhere) is 0 dB at every frequency, just as an
//   imported frequency response's 0 dB is a gain of 1. The phase keeps the
//   time of the peak from the start of the file: an impulse that arrives
//   late keeps its delay, as it would in a measured frequency response.
//
// The SPL Curve dialog keeps its CImportEngine and an ImpulseGating and
// calls LoadSplCurve with both and the changed gate whenever the user
// changes it; its window combo lists kGateWindows with
// VFftTools::GetWindowName.

inline constexpr double kMinGateMs = 0.5;
inline constexpr double kMaxGateMs = 100.0;
inline constexpr double kDefaultGateMs = 5.0;
// How much of the signal before its peak is kept, unwindowed: the rise of
// the peak, which a band-limited measurement spreads over a few samples.
inline constexpr double kGateLeadMs = 0.1;

// The windows a gate offers, in the order of their numbers.
inline constexpr std::array<WindowType, 7> kGateWindows = {
    WindowType::Rectangular, WindowType::Bartlett, WindowType::Hanning,
    WindowType::Hamming,     WindowType::Blackman, WindowType::BlackmanHarris,
    WindowType::CosineBell,
};

struct ImpulseGate {
    // The gate's length after the peak in ms, kMinGateMs to kMaxGateMs.
    double lengthMs = kDefaultGateMs;
    // The window whose falling half closes the gate. The extended cosine
    // bell keeps the first 60 % of the gate untouched and fades the rest,
    // so the direct sound keeps its level.
    WindowType window = WindowType::CosineBell;

    bool operator==(const ImpulseGate&) const = default;
};

// What gating a signal came to.
enum class GateOutcome {
    Gated,
    // The gate's length lies outside kMinGateMs to kMaxGateMs.
    LengthOutOfRange,
    // Every sample is 0: there is no peak to gate.
    Silent,
    // A sample is infinite or not a number.
    NotFinite,
    // The samples are so large that their spectrum overflows (two samples
    // near the largest double add up to infinity).
    Overflow,
    // After its peak the file holds too little for a curve of two points.
    TooShort,
    // The gate holds more samples than a transform can take (a sample rate
    // of many MHz), or memory is short.
    TooLarge,
};

// The curve a gate gives: frequencies in Hz (ascending), levels in dB and
// phases in radians (wrapped), one each per frequency.
struct GatedCurve {
    VDoubleVec frequencies;
    VDoubleVec levels;
    VDoubleVec phases;
    // The gate's length after the peak as applied, in whole samples: the
    // length asked for, or where the file ends when it ends sooner
    // (clamped).
    double appliedMs = 0.0;
    bool clamped = false;
};

// What the gate did with a time response that LoadSplCurve loaded, for the
// dialog to show (and the message when it gave no curve).
struct GateReport {
    GateOutcome outcome = GateOutcome::Gated;
    // As GatedCurve has them.
    double appliedMs = 0.0;
    bool clamped = false;
};

// The gate's transform. It keeps its transform and buffers from one call to
// the next, so that the dialog's live updates allocate nothing large again:
// the dialog keeps one beside its CImportEngine.
class ImpulseGating {
public:
    // Gates samples taken at sampleRate (Hz) and transforms them into
    // curve; curve is filled only when the outcome is Gated.
    GateOutcome Gate(const VDoubleVec& samples, double sampleRate, const ImpulseGate& gate,
                     GatedCurve& curve);

private:
    struct Span {
        int peak = 0;
        int lead = 0;  // samples before the peak
        int after = 0; // samples from the peak on
    };

    bool LoadGatedSignal(const VDoubleVec& samples, const Span& span, WindowType window);
    GateOutcome Transform(const VDoubleVec& samples, double sampleRate, const Span& span,
                          WindowType window, GatedCurve& curve);

    VFft fft_;
    VComplexVec spectrum_;
    VDoubleVec tail_;
};

// The sentence that tells the user why an outcome gave no curve; empty for
// Gated.
std::string DescribeGateOutcome(GateOutcome outcome);

// The names of kGateWindows in their order, as VFftTools::GetWindowName
// gives them: the dialog's window combo.
std::vector<std::string> GateWindowNames();
// The window of a name as GateWindowNames lists it, compared without regard
// to case; none for any other name.
std::optional<WindowType> GateWindowNamed(std::string_view name);

} // namespace kv
