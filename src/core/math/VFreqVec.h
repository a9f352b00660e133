#pragma once

#include "math/VDoubleVec.h"

namespace kv {

// A frequency grid in Hz, log- or linear-spaced. Stored like any VDoubleVec:
// only the values.
class VFreqVec : public VDoubleVec {
public:
    VFreqVec() = default;

    // Log grid: start · 2^(i/count) up to and including exactly stop.
    // Linear grid: count points from start to stop. Reverse makes it
    // descending. False (and an empty grid) when memory is short.
    bool Create(double start, double stop, int count, bool linear, bool reverse);

    // Points per octave of a log grid; 0 for a linear one.
    int PointsPerOctave() const { return pointsPerOctave_; }

private:
    int pointsPerOctave_ = 0;
};

} // namespace kv
