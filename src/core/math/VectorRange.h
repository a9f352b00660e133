#pragma once

namespace kv {

// The inclusive index range [first, last] of the vectors' range operations:
// first is clamped into the vector, a negative last means the last element.
// Empty (last < first) after clamping when the caller passed last < first.
struct VectorRange {
    int first = 0;
    int last = -1;

    static VectorRange Clamp(int first, int last, int size) {
        const int top = size - 1;
        const auto clamp = [top](int i) { return i < 0 ? 0 : (i > top ? top : i); };
        return {clamp(first), clamp(last < 0 ? top : last)};
    }
    bool Empty() const { return last < first; }
};

} // namespace kv
