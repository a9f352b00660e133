#pragma once

#include "import/ImportFormat.h"
#include "math/VDoubleVec.h"

#include <optional>
#include <string>

namespace kv {

// The phase a driver's curve gets when its file is loaded. The design keeps
// only the curve this makes (in splRaw, as the file format always had it);
// a different choice means loading the file again. The SPL Curve dialog
// keeps one SplPhase while it is open, and `load-spl` takes it from its
// options.

// Which phase the curve carries: the file's own when it has one (a phase,
// or one integrated from its group delay) and the minimum phase of its
// magnitude when it has none; the file's own (the minimum phase when there
// is none); or the minimum phase.
enum class PhaseChoice { AsFile, Measured, Minimum };

// The range of the driver's acoustic offset, in ms either way.
inline constexpr double kMaxSplOffsetMs = 20.0;
// How far either way "Remove flight time" looks for the delay, in ms (about
// 7 m of travel).
inline constexpr double kMaxFlightTimeMs = 20.0;

struct SplPhase {
    PhaseChoice choice = PhaseChoice::AsFile;
    // The driver's acoustic offset in ms, -kMaxSplOffsetMs to
    // +kMaxSplOffsetMs, applied to the curve as a delay (positive: the
    // driver's sound comes later).
    double offsetMs = 0.0;
    // Takes out of a measured phase the delay that best explains its excess
    // over the minimum phase: the sound's flight time to the microphone.
    bool removeFlightTime = false;

    bool operator==(const SplPhase&) const = default;
};

// What the phase of a loaded curve became.
struct PhaseReport {
    // What the file's phase column held.
    PhaseContent content = PhaseContent::Phase;
    // The curve carries the minimum phase of its magnitude.
    bool minimum = false;
    // With a measured phase: the flight time in ms it shows, which "Remove
    // flight time" takes out; none when it cannot be told.
    std::optional<double> flightTimeMs;
    bool flightTimeRemoved = false;
};

// A measured phase less the minimum phase, over the curve's passband, as
// a + b·f: the flight time is -b / 2π seconds and a the phase that is left.
struct ExcessPhaseFit {
    double delaySeconds = 0.0;
    double offsetRadians = 0.0;
};

// The fit for a curve (ascending frequencies, levels in dB) with a measured
// phase (wrapped or not) and its minimum phase, all in radians. The
// passband is where the level lies within 10 dB of the curve's highest; the
// delay is looked for within kMaxFlightTimeMs either way, by where the
// excess phase, turned back by a trial delay, lines up best (a wrapped
// phase a far microphone turns many times over between two points gives
// no slope to fit), then fitted to the excess left. None for a passband of
// fewer than three points.
std::optional<ExcessPhaseFit> FitExcessPhase(const VDoubleVec& frequencies,
                                             const VDoubleVec& levels, const VDoubleVec& measured,
                                             const VDoubleVec& minimum);

// The phases in radians a curve (ascending frequencies above 0, levels in
// dB) is stored with: from the values of the file's phase column, read as
// content says, and the choices. A group delay (seconds) is integrated,
// its constant fixed so that the phase it gives lines up with the minimum
// phase over the passband. Where no minimum phase can be computed the
// file's own values stay. False only when memory is short.
bool MakeCurvePhases(const VDoubleVec& frequencies, const VDoubleVec& levels,
                     const VDoubleVec& fileValues, PhaseContent content, const SplPhase& choice,
                     VDoubleVec& phases, PhaseReport& report);

// "as measured", "minimum phase", "from the group delay": which phase the
// curve carries, for the dialog and the command line.
std::string DescribePhase(const PhaseReport& report);

} // namespace kv
