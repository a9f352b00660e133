#pragma once

#include <chrono>

namespace kv {

// The coarser steps of a spin field while one of its arrows is held: the
// arrow's notional position advances further per repeat the longer the arrow
// is held, and the size of that jump picks how many steps one repeat moves.

// Position advance per repeat after the arrow has been held for `held`.
int HeldArrowSpan(std::chrono::milliseconds held);

// Steps per repeat for a position jump of `span`: 1000 above 100, 100 above
// 10, 10 above 1, else 1.
int SpanMultiplier(int span);

} // namespace kv
