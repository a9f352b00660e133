#pragma once

namespace kv {

// The vector widths the transform and the batch computations run on: two
// lanes, which every x86-64 processor has, or four where the processor has
// AVX2. Both give the same bits: the four-lane code does the same operations
// on each value, only more at once.
enum class VectorLanes { Two, Four };

// Marks a function compiled for four lanes: for AVX2 on x86, for nothing in
// particular elsewhere, where LanesSupported never grants them.
#if defined(__x86_64__) || defined(__i386__)
#define KV_ON_FOUR_LANES [[gnu::target("avx2")]]
#else
#define KV_ON_FOUR_LANES
#endif

// Runs loop(args…) compiled for the lanes asked for, or for two where the
// processor lacks them. The loop must be forced inline, so that it takes on
// the instruction set of the entry point.
template <auto loop, typename... Args> auto RunOnTwoLanes(Args... args) {
    return loop(args...);
}

template <auto loop, typename... Args> KV_ON_FOUR_LANES auto RunOnFourLanes(Args... args) {
    return loop(args...);
}

template <auto loop, typename... Args> auto RunOnLanes(VectorLanes lanes, Args... args);

// Whether this processor runs the lanes.
bool LanesSupported(VectorLanes lanes);
// The widest lanes this processor runs.
VectorLanes WidestLanes();

template <auto loop, typename... Args> auto RunOnLanes(VectorLanes lanes, Args... args) {
    if (lanes == VectorLanes::Four && LanesSupported(lanes)) {
        return RunOnFourLanes<loop>(args...);
    }
    return RunOnTwoLanes<loop>(args...);
}

} // namespace kv
