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
    // ln f of every point of the prepared grid.
    const VDoubleVec& LogGrid() const { return logGrid_; }

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

    // Bins 0 … N/2 of the spectrum of a real signal of N = 2^log2Size points
    // at the prepared sample rate, from a level and phase known only on the
    // grid: log-frequency interpolation inside the grid, and outside it the
    // trend of its first and last third octave.
    bool BuildSpectrum(VComplexVec& spectrum, int log2Size, const VDoubleVec& grid,
                       const VDoubleVec& magnitudeDb, const VDoubleVec& phase);

    // What the spectrum takes from the grid, the sample rate and the
    // transform size alone, worked out once for all responses.
    struct SpectrumPlan {
        int log2Size = 0;
        double sampleRate = 0.0;
        // Bins [1, insideBegin) lie below the grid, [insideBegin, aboveBegin)
        // on it and [aboveBegin, N/2) above it.
        int insideBegin = 1;
        int aboveBegin = 1;
        // Below and above the grid: the distance in octaves to its end.
        std::vector<double> octaves;
        // On the grid: the value between grid points lower and upper at
        // weight (ln f - ln f[lower]) / (ln f[upper] - ln f[lower]); a bin on
        // a grid point has both there and weight 0.
        std::vector<int> lower;
        std::vector<int> upper;
        std::vector<double> weight;
        // The bins on grid points, whose magnitude is not held in range.
        std::vector<int> exactBins;
        int pointsPerOctave = 1;
        // The grid points a third octave in from each end and their distance
        // from it in octaves, for the slopes beyond the ends.
        int lowSlopePoint = 0;
        int highSlopePoint = 0;
        double lowSlopeOctaves = 0.0;
        double highSlopeOctaves = 0.0;
    };

    bool PlanSpectrum(const VDoubleVec& grid, int log2Size);
    // The level (dB) and phase of every grid point into magnitudeDb_ and
    // phase_, which hold the response's size, as do real_ … gridLogs_.
    void LevelsAndPhases(const VComplexVec& response);
    // Level (dB) and phase of every bin but 0 into levels_ and angles_.
    void InterpolateBins(const VDoubleVec& magnitudeDb, const VDoubleVec& phase);

    GridPhasors phasors_;
    VFft fft_;
    VDoubleVec grid_;
    VDoubleVec logGrid_;
    double sampleRate_ = 0.0;
    double pirLength_ = 0.0;
    SpectrumPlan plan_;
    VDoubleVec plannedGrid_;
    VDoubleVec magnitudeDb_;
    VDoubleVec phase_;
    VDoubleVec wrapped_;
    VDoubleVec unwrapped_;
    VDoubleVec real_;
    VDoubleVec imaginary_;
    VDoubleVec gridMagnitudes_;
    VDoubleVec gridLogs_;
    std::vector<double> levels_;
    std::vector<double> angles_;
    std::vector<double> magnitudes_;
    std::vector<double> sines_;
    std::vector<double> cosines_;
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
