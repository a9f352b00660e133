#pragma once

#include "math/VectorLanes.h"

namespace kv {

// e^x for count values, within two units in the last place of the C
// library's, in a loop the compiler turns into vector instructions; values
// beyond ±708 (where results leave the normal range) are handed to the C
// library.
void BatchExp(const double* x, double* out, int count, VectorLanes lanes = WidestLanes());

// sin and cos of count angles in radians, within two units in the last place
// of the C library's, in loops the compiler turns into vector instructions;
// angles beyond a million radians (where a small reduction no longer holds)
// are handed to the C library.
void BatchSinCos(const double* angle, double* sine, double* cosine, int count,
                 VectorLanes lanes = WidestLanes());

// ln x for count values, within two units in the last place of the C
// library's, in a loop the compiler turns into vector instructions; zero,
// negative, subnormal and non-finite values are handed to the C library.
void BatchLog(const double* x, double* out, int count, VectorLanes lanes = WidestLanes());

// atan2(y, x) for count pairs, within three units in the last place of the C
// library's, in a loop the compiler turns into vector instructions; where
// both are zero or either is not finite the C library answers.
void BatchAtan2(const double* y, const double* x, double* out, int count,
                VectorLanes lanes = WidestLanes());

} // namespace kv
