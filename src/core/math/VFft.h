#pragma once

#include "math/VFftTools.h"

#include <vector>

namespace kv {

// An in-place iterative radix-2 transform, with its stages taken two at a
// time.
//
// The butterflies run on the real and imaginary parts held in separate
// arrays, in the order they lie in memory; that is what lets the compiler use
// the vector unit. Each stage's twiddle factors come from a recurrence (one
// sine and cosine per stage) into a table that is kept, with the arrays,
// between calls: keep one VFft for many transforms of one size and nothing is
// allocated or recomputed after the first.
class VFft : public VFftTools {
public:
    // In place, for power-of-two sizes of at least 4. Forward: unscaled with
    // the negative exponent; inverse: scaled by 1/N.
    void Transform(VComplexVec& data, bool inverse);
    void InverseTransform(VComplexVec& data) { Transform(data, true); }

private:
    void Prepare(int n);
    void LoadWithFirstTwoStages(const Complex* x, int n, bool conjugate);
    void StagePair(int n, int quarter);
    void Stage(int n, int half);
    void Store(Complex* x, int n, bool inverse) const;

    std::vector<double> re_;
    std::vector<double> im_;
    // The twiddles of the stage of half h at [h, 2h).
    std::vector<double> twiddleRe_;
    std::vector<double> twiddleIm_;
    int preparedSize_ = 0;
};

} // namespace kv
