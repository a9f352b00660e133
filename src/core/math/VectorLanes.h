#pragma once

namespace kv {

// The vector widths the transform and the batch computations run on: two
// lanes, which every x86-64 processor has, or four where the processor has
// AVX2. Both give the same bits: the four-lane code does the same operations
// on each value, only more at once.
enum class VectorLanes { Two, Four };

// Whether this processor runs the lanes.
bool LanesSupported(VectorLanes lanes);
// The widest lanes this processor runs.
VectorLanes WidestLanes();

} // namespace kv
