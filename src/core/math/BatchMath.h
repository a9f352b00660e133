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

} // namespace kv
