#pragma once

#include "math/VComplexVec.h"
#include "math/VDoubleVec.h"
#include "math/VFft.h"

#include <vector>

namespace kv {

// The phase of the minimum-phase response whose magnitude a curve gives:
// the Hilbert transform of its log magnitude, which a curve measured
// without phase gets in place of the phase it lacks (a driver on a baffle
// is close to minimum phase in its passband).
//
// The magnitude is taken as a straight line in ln f between the curve's
// points and, beyond its ends, continued by the trend of its first and last
// third octave (EndTrend.h) out to 0 Hz and to infinite frequency: a
// driver's roll-off goes on beyond what was measured, and the phase inside
// the curve depends on it. So that all of it counts, the transform runs on
// the bilinear image of the whole frequency axis, f = K·tan(θ/2) with θ
// from 0 to π on a dense linear grid and K the geometric centre of the
// curve, where the minimum phase of an analog response is the minimum phase
// of the sampled one. The two end trends are a fractional power of a
// first-order high- and low-pass at K, whose phase is known in closed form;
// only what is left once they are divided out, which is bounded, goes
// through the transform.
//
// One object keeps its transform, tables and buffers from one curve to the
// next.
class MinimumPhase {
public:
    // Radians at each of the frequencies (ascending, above 0) from the
    // levels in dB there. False, phases empty, for sizes that differ, fewer
    // than two points, frequencies that do not rise from the first to the
    // last, values that are not finite, or too little memory.
    bool Compute(const VDoubleVec& frequencies, const VDoubleVec& levelsDb, VDoubleVec& phases);

private:
    bool Prepare();
    // ln |H| less the end trends at every bin of the half circle.
    void LogMagnitudeBins(const VDoubleVec& frequencies, const VDoubleVec& levelsDb,
                          double lowPower, double highPower, double lnCentre);

    VFft fft_;
    // ln sin(θ/2) and ln cos(θ/2) at each bin but the two ends.
    std::vector<double> lnSine_;
    std::vector<double> lnCosine_;
    std::vector<double> lnFrequencies_;
    VComplexVec spectrum_;
    VDoubleVec cepstrum_;
    VDoubleVec residualPhase_;
};

} // namespace kv
