#pragma once

#include "math/VectorLanes.h"

#include <vector>

namespace kv::test {

// The lane widths this processor runs: tests of code that has a path for each
// run on every one of them.
inline std::vector<VectorLanes> SupportedLanes() {
    std::vector<VectorLanes> lanes{VectorLanes::Two};
    if (LanesSupported(VectorLanes::Four)) {
        lanes.push_back(VectorLanes::Four);
    }
    return lanes;
}

inline const char* LanesName(VectorLanes lanes) {
    return lanes == VectorLanes::Two ? " on two lanes" : " on four lanes";
}

} // namespace kv::test
