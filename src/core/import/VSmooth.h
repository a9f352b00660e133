#pragma once

#include "math/VDoubleVec.h"

namespace kv {

// Points per octave of a frequency vector: n / octaves spanned; 0 for fewer
// than two points or when the lowest frequency is not below the highest.
double PointsPerOctave(const VDoubleVec& frequencies);
double PointsPerOctave(const double* frequencies, int n);

// Fractional-octave smoothing of a curve sampled at ascending frequencies:
// a running statistic over windows 1/(2N) octave wide, interpolated on a
// logarithmic frequency axis, in two passes half a window apart.
class VSmooth {
public:
    enum class Mode { InterpolationOnly = 0, Mean = 1, Median = 2 };

    // Smooths values in place over windows 1/(2n) octave wide; a curve too
    // short or n below 1 is left as it is.
    void Smooth(const VDoubleVec& frequencies, VDoubleVec& values, int n, Mode mode);
    // Phases in radians; unwrapped first (and wrapped again after) unless
    // they already are. False when memory is short.
    bool SmoothPhase(const VDoubleVec& frequencies, VDoubleVec& phases, int n, Mode mode,
                     bool alreadyUnwrapped);

private:
    struct Window {
        int first;
        int last;
    };

    void Pass(int start);
    Window WindowAround(double frequency) const;
    double Statistic(Window window) const;
    int FirstAtOrAbove(double frequency, int from) const;
    void FinalAveraging();

    const double* f_ = nullptr;
    double* v_ = nullptr;
    int size_ = 0;
    int n_ = 1;
    Mode mode_ = Mode::Median;
    bool ascending_ = true;
};

} // namespace kv
