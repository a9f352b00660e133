#pragma once

#include "filters/BiquadCalc.h"
#include "math/VComplexVec.h"
#include "math/VDoubleVec.h"
#include "math/VFft.h"

#include <vector>

namespace kv {

// The PIR as the responses hold it is in pascals: 1 is 0 dB SPL at 20 µPa.
inline constexpr double kPascalReference = 2e-05;

// The work behind every recalculation: the grid's phasors for the filter
// evaluations, and the impulse and step responses of complex responses given
// on the logarithmic grid.
//
// What depends only on the grid, the sample rate and the transform size (the
// phasors, where each spectrum bin falls on the grid, the transform's
// twiddles) is computed when one of them changes and reused by every later
// response; the results are those of computing it all afresh.
class CResponseEngine {
public:
    // Makes the engine ready for responses on this grid at this sample rate
    // and PIR length; false when nothing can be computed (no grid, no
    // sample rate, no memory). Returns whether the time context changed
    // through changed.
    bool Prepare(const VDoubleVec& grid, double sampleRate, double pirLength, bool& changed);

    const GridPhasors& Phasors() const { return phasors_; }

    // Stores fresh as the new response and recomputes its time responses,
    // unless the response is the one they were computed from (nothing that
    // shapes them changed, so they would come out the same).
    void Update(VComplexVec& response, const VComplexVec& fresh, VDoubleVec& impulse,
                VDoubleVec& step);

    // log2 of the transform size for a PIR length: at least 1024 points and
    // twice the PIR length.
    static int TransformLog2Size(double sampleRate, double pirLength);

private:
    // Impulse (round(pirLength·fs) samples, in pascals) and step response of
    // a complex response on the prepared grid. False, both empty, when it
    // cannot be computed.
    bool ComputeTimeResponse(const VComplexVec& response, VDoubleVec& impulse, VDoubleVec& step);

    // The spectrum of a real signal of 2^log2Size points at the prepared
    // sample rate, from a level and phase known only on the grid: log-
    // frequency interpolation inside the grid, and outside it the trend of
    // its first and last third octave.
    bool BuildSpectrum(VComplexVec& spectrum, int log2Size, const VDoubleVec& grid,
                       const VDoubleVec& magnitudeDb, const VDoubleVec& phase);

    // Where one spectrum bin falls: below, inside or above the grid, with
    // what log-frequency interpolation needs.
    struct BinPlace {
        enum class Region { Below, Exact, Between, Above } region;
        int index;      // grid point (Exact), upper neighbour (Between)
        double octaves; // distance to the grid's end (Below, Above)
        double weight;  // (ln f − ln f[j−1]) / (ln f[j] − ln f[j−1]) (Between)
    };

    bool PlanBins(const VDoubleVec& grid, int log2Size);

    GridPhasors phasors_;
    VFft fft_;
    VDoubleVec grid_;
    double sampleRate_ = 0.0;
    double pirLength_ = 0.0;
    std::vector<BinPlace> bins_;
    VDoubleVec plannedGrid_;
    double plannedSampleRate_ = 0.0;
    int plannedLog2Size_ = 0;
    VDoubleVec magnitudeDb_;
    VDoubleVec phase_;
    VComplexVec spectrum_;
};

// step[0] = 0 and step[t] the running sum of impulse[u] − dc over u < t,
// for count samples (the whole impulse when count is out of range); dc is
// the impulse's TailMean when removeDc is set.
bool StepResponse(VDoubleVec& step, const VDoubleVec& impulse, int count, bool removeDc);
// The mean of the last ⌊L/256⌋ values: the level a response settled to; 0
// for vectors too short to have such a tail.
double TailMean(const VDoubleVec& values);

} // namespace kv
