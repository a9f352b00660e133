#pragma once

#include "math/Complex.h"
#include "math/VComplexVec.h"
#include "math/VDoubleVec.h"

namespace kv {

inline constexpr double kRadiansToDegrees = 57.29577951308232;
// ln 10 / 20: a level in dB times this is its natural log as a magnitude.
inline constexpr double kNepersPerDb = 0.11512925464970229;
// The level shown for magnitudes below kMinLevelMagnitude (and, negated,
// above kMaxLevelMagnitude).
inline constexpr double kLevelFloorDb = -760.0;
inline constexpr double kMinLevelMagnitude = 1e-38;
inline constexpr double kMaxLevelMagnitude = 1e38;

// 10^(dB/20), computed as e^(dB·ln10/20): exactly 1 at 0 dB, capped at
// 10686474000000 (exponent above 30, about 260 dB) and at 1e-38 below
// -760 dB. Every level the program turns into a gain goes through it.
double DbToGain(double dB);

// ln v, with ln 1e-38 for v below 1e-38 (or not above 0) and 30 above 1e30,
// so that levels and frequencies of 0 never give infinities.
double GuardedLn(double v);

// 20·log10 of a magnitude, -760 dB below 1e-38 (or not above 0) and +760 dB
// above 1e38.
double MagnitudeToDb(double magnitude);

// Level, phase and group delay of a response on the 48-points-per-octave
// grid: dB, degrees (wrapped, or unwrapped when asked) and milliseconds. The
// group delay always comes from the unwrapped phase. False when memory is
// short.
bool ComputeResponseCurves(const VComplexVec& response, const VDoubleVec& frequencies,
                           VDoubleVec& magnitudeDb, VDoubleVec& phaseDeg, VDoubleVec& groupDelayMs,
                           bool unwrapped);

// Removes the 2π jumps of a phase in radians, with a tolerance tuned to the
// density of the grid it was sampled on; false when memory is short.
bool UnwrapPhase(VDoubleVec& out, const VDoubleVec& phase, int pointsPerOctave);

// -dφ/dω by central differences, in seconds; false when the frequencies do
// not match the phase one to one or memory is short.
bool GroupDelay(VDoubleVec& out, const VDoubleVec& frequencies, const VDoubleVec& phase);

// A phase brought into [-π, π].
double WrapPhase(double phase);

// The value at x on the line through (ln x1, y1) and (ln x2, y2).
double LogInterpolate(double x, double x1, double y1, double x2, double y2);
Complex LogInterpolateComplex(double x, const Complex& c1, double x1, const Complex& c2, double x2);
// The same from the natural logarithms of x, x1 and x2.
Complex InterpolateAtLogs(double lnX, const Complex& c1, double lnX1, const Complex& c2,
                          double lnX2);

} // namespace kv
