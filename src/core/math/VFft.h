#pragma once

#include "math/VFftTools.h"
#include "math/VectorLanes.h"

#include <vector>

namespace kv {

namespace fft {
struct TransformJob;
}

// An in-place iterative radix-2 transform, with its stages taken by two
// (radix-4 passes), and the inverse transform of the spectrum of a real
// signal.
//
// The bit-reversal permutation is done together with the first two or three
// stages, base by base in the order of the input, so that reads and writes
// stay in the cache; the passes then run on the real and imaginary parts held
// in separate arrays, the small ones block by block while a block fits the
// cache, and the last writes the result. The twiddle tables and the arrays
// are kept between calls: keep one VFft for many transforms of one size and
// nothing is allocated or recomputed after the first.
class VFft : public VFftTools {
public:
    // On the given lanes (two where the processor lacks them).
    explicit VFft(VectorLanes lanes = WidestLanes());

    // In place, for power-of-two sizes of at least 4. Forward: unscaled with
    // the negative exponent; inverse: scaled by 1/N. False, the data left as
    // it was, for another size or without memory for the tables.
    bool Transform(VComplexVec& data, bool inverse);
    bool InverseTransform(VComplexVec& data) { return Transform(data, true); }

    // The first count samples (all N when count is out of range) of the real
    // signal of N = 2·(size - 1) points whose spectrum has the bins 0 … N/2
    // given (0 and N/2 real, the others' mirror images their conjugates),
    // scaled by 1/N like
    // InverseTransform: the real parts InverseTransform gives for the whole
    // spectrum, from a complex transform of half the length. False, signal
    // empty, unless N is a power of two of at least 8 and memory suffices.
    bool InverseRealTransform(const VComplexVec& spectrum, VDoubleVec& signal, int count);

private:
    bool Prepare(int n);
    bool PrepareSplit(int half);
    // A job on the prepared size and arrays, input and output still unset.
    fft::TransformJob PreparedJob();
    double* RealParts();
    double* ImaginaryParts();

    VectorLanes lanes_;
    int preparedSize_ = 0;
    int firstRadix_ = 4;
    int blockSize_ = 4;
    // Where the block of each base of the first pass starts, over the radix.
    std::vector<int> blockOrder_;
    // The real parts, from the first cache line boundary, and the imaginary
    // parts after them (RealParts, ImaginaryParts).
    std::vector<double> work_;
    // The twiddle groups of every radix-4 pass.
    std::vector<double> twiddles_;
    // e^(jπk/half) for the split step of a real signal of twice half points.
    int preparedHalf_ = 0;
    std::vector<double> splitRe_;
    std::vector<double> splitIm_;
};

} // namespace kv
