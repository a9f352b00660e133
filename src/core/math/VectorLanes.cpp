#include "math/VectorLanes.h"

namespace kv {

bool LanesSupported(VectorLanes lanes) {
    if (lanes == VectorLanes::Two) {
        return true;
    }
#if defined(__x86_64__) || defined(__i386__)
    return __builtin_cpu_supports("avx2") != 0;
#else
    return false;
#endif
}

VectorLanes WidestLanes() {
    return LanesSupported(VectorLanes::Four) ? VectorLanes::Four : VectorLanes::Two;
}

} // namespace kv
