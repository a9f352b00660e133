#include "controls/SpinAcceleration.h"

#include <array>

namespace kv {
namespace {

struct SpanAfter {
    std::chrono::milliseconds held;
    int span;
};

// Fine steps for the first 2 s, so a short hold lands exactly; then ten times
// coarser from 2 s, a hundred times from 5 s and a thousand times from 8 s, so
// that even a frequency field crosses its range within a few seconds.
constexpr std::array<SpanAfter, 4> kSchedule = {{{std::chrono::milliseconds(8000), 200},
                                                 {std::chrono::milliseconds(5000), 20},
                                                 {std::chrono::milliseconds(2000), 5},
                                                 {std::chrono::milliseconds(0), 1}}};

} // namespace

int HeldArrowSpan(std::chrono::milliseconds held) {
    for (const SpanAfter& stage : kSchedule) {
        if (held >= stage.held) {
            return stage.span;
        }
    }
    return 1;
}

int SpanMultiplier(int span) {
    if (span > 100) {
        return 1000;
    }
    if (span > 10) {
        return 100;
    }
    return span > 1 ? 10 : 1;
}

} // namespace kv
