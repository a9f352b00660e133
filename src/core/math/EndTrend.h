#pragma once

#include "math/VDoubleVec.h"

namespace kv {

// A curve known only between its first and last frequency is continued
// beyond them by the trend of its first and last third octave, in dB per
// octave, and never rises away from its ends: a measurement says nothing of
// what lies outside it, and a level that grew without end would swamp
// whatever is computed from it. The response computation extends the grid's
// curves this way, and the minimum phase the magnitude of a curve without a
// phase.
struct EndTrendPoints {
    // The points a third octave in from each end (the nearest inner end
    // point of a shorter curve) and their distance from it in octaves.
    int low = 0;
    int high = 0;
    double lowOctaves = 0.0;
    double highOctaves = 0.0;
};

// For ascending frequencies above 0; a curve of one point has no trend
// (both distances 0).
EndTrendPoints FindEndTrendPoints(const VDoubleVec& frequencies);

// The dB per octave by which a level falls away from the end whose level is
// endDb, from innerDb at the given distance in octaves; 0 for a level that
// would rise and for no distance.
double FallingTrend(double endDb, double innerDb, double octaves);

} // namespace kv
