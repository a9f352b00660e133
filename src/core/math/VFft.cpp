#include "math/VFft.h"

#include "math/FftKernels.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <new>
#include <numbers>

namespace kv {
namespace {

// Below this size there are fewer bases in the first pass than lanes.
constexpr int kSmallestVectorSize = 16;
// Blocks of 2^10 or 2^11 points (16 or 32 KiB as two arrays): the stages
// within a block run while it is in the first-level cache.
constexpr int kBlockLog2 = 10;
// The imaginary parts start half a page past the real parts (modulo a page),
// so that the eight streams of a radix-4 pass with quarters of a page or
// more fall into two sets of the cache, not one.
constexpr int kImaginaryPadding = 256;
constexpr std::size_t kCacheLine = 64;
constexpr std::size_t kLineDoubles = kCacheLine / sizeof(double);

bool IsPowerOfTwo(int n) {
    return n > 0 && (n & (n - 1)) == 0;
}

int Log2(int n) {
    int m = 0;
    while ((1 << m) < n) {
        ++m;
    }
    return m;
}

int ReverseBits(int value, int bits) {
    int reversed = 0;
    for (int b = 0; b < bits; ++b) {
        reversed = (reversed << 1) | ((value >> b) & 1);
    }
    return reversed;
}

// The groups of w^k, w^2k and w^3k (w = e^(-jπ/2q)) of every radix-4 pass,
// each from its own cosine and sine.
void FillTwiddles(double* table, int firstQuarter, int n) {
    for (int q = firstQuarter; 4 * q <= n; q *= 4) {
        for (int k = 0; k < q; ++k) {
            double* group = table + fft::TwiddleOffset(k);
            for (int power = 1; power <= 3; ++power) {
                const double angle = std::numbers::pi * power * k / (2.0 * q);
                group[(2 * power - 2) * fft::kTwiddleGroup] = std::cos(angle);
                group[(2 * power - 1) * fft::kTwiddleGroup] = -std::sin(angle);
            }
        }
        table += fft::TwiddleTableSize(q);
    }
}

[[gnu::always_inline]] inline void TransformOnTwoLanes(const fft::TransformJob& job) {
    fft::RunTransform<fft::Pack2>(job);
}

[[gnu::always_inline]] inline void TransformOnFourLanes(const fft::TransformJob& job) {
    fft::RunTransform<fft::Pack4>(job);
}

// lanes is one the processor runs.
void Run(VectorLanes lanes, const fft::TransformJob& job) {
    if (job.n < kSmallestVectorSize) {
        fft::RunTransform<double>(job);
    } else if (lanes == VectorLanes::Four) {
        RunOnFourLanes<TransformOnFourLanes>(job);
    } else {
        RunOnTwoLanes<TransformOnTwoLanes>(job);
    }
}

} // namespace

VFft::VFft(VectorLanes lanes) : lanes_(LanesSupported(lanes) ? lanes : VectorLanes::Two) {}

bool VFft::Prepare(int n) {
    if (n == preparedSize_) {
        return true;
    }
    preparedSize_ = 0;
    const int m = Log2(n);
    // The first pass takes two stages or three, so that the rest pair up.
    const int radixLog2 = m % 2 == 0 ? 2 : 3;
    firstRadix_ = 1 << radixLog2;
    blockSize_ = std::min(n, 1 << (kBlockLog2 + m % 2));
    std::size_t twiddleCount = 0;
    for (int q = firstRadix_; 4 * q <= n; q *= 4) {
        twiddleCount += static_cast<std::size_t>(fft::TwiddleTableSize(q));
    }
    try {
        const auto size = static_cast<std::size_t>(n);
        work_.resize(2 * size + kImaginaryPadding + kLineDoubles);
        twiddles_.resize(twiddleCount);
        blockOrder_.resize(size / static_cast<std::size_t>(firstRadix_));
    } catch (const std::bad_alloc&) {
        return false;
    }
    for (int b = 0; b < n / firstRadix_; ++b) {
        blockOrder_[static_cast<std::size_t>(b)] = ReverseBits(b, m - radixLog2);
    }
    FillTwiddles(twiddles_.data(), firstRadix_, n);
    preparedSize_ = n;
    return true;
}

bool VFft::PrepareSplit(int half) {
    if (half == preparedHalf_) {
        return true;
    }
    preparedHalf_ = 0;
    try {
        const auto size = static_cast<std::size_t>(half);
        splitRe_.resize(size);
        splitIm_.resize(size);
    } catch (const std::bad_alloc&) {
        return false;
    }
    for (int k = 0; k < half; ++k) {
        const double angle = std::numbers::pi * k / half;
        splitRe_[static_cast<std::size_t>(k)] = std::cos(angle);
        splitIm_[static_cast<std::size_t>(k)] = std::sin(angle);
    }
    preparedHalf_ = half;
    return true;
}

fft::TransformJob VFft::PreparedJob() {
    fft::TransformJob job{};
    job.n = preparedSize_;
    job.firstRadix = firstRadix_;
    job.blockSize = blockSize_;
    job.blockOrder = blockOrder_.data();
    job.re = RealParts();
    job.im = ImaginaryParts();
    job.twiddles = twiddles_.data();
    return job;
}

double* VFft::RealParts() {
    const auto address = reinterpret_cast<std::uintptr_t>(work_.data());
    const std::size_t misalignment = address % kCacheLine;
    return work_.data() + (misalignment == 0 ? 0 : (kCacheLine - misalignment) / sizeof(double));
}

double* VFft::ImaginaryParts() {
    return RealParts() + preparedSize_ + kImaginaryPadding;
}

bool VFft::Transform(VComplexVec& data, bool inverse) {
    const int n = data.GetSize();
    if (n < 4 || !IsPowerOfTwo(n) || !Prepare(n)) {
        return false;
    }
    // The inverse is the forward transform of the conjugate, conjugated and
    // scaled.
    const double scale = inverse ? 1.0 / n : 1.0;
    fft::TransformJob job = PreparedJob();
    job.in = {reinterpret_cast<const double*>(data.Data()), inverse ? -1.0 : 1.0, nullptr, nullptr};
    job.out = {reinterpret_cast<double*>(data.Data()), 2 * n, scale, inverse ? -scale : scale};
    Run(lanes_, job);
    return true;
}

bool VFft::InverseRealTransform(const VComplexVec& spectrum, VDoubleVec& signal, int count) {
    const int half = spectrum.GetSize() - 1;
    const int size = 2 * half;
    const int samples = (count >= 1 && count <= size) ? count : size;
    if (half < 4 || !IsPowerOfTwo(half) || !Prepare(half) || !PrepareSplit(half) ||
        !signal.SetSize(samples)) {
        signal.SetSize(0);
        return false;
    }
    // z[t] = x[2t] + j·x[2t+1] is the inverse transform of the split
    // spectrum, scaled by 1/N as the split step doubled it.
    const double scale = 1.0 / size;
    fft::TransformJob job = PreparedJob();
    job.in = {reinterpret_cast<const double*>(spectrum.Data()), -1.0, splitRe_.data(),
              splitIm_.data()};
    job.out = {signal.Data(), samples, scale, -scale};
    Run(lanes_, job);
    return true;
}

} // namespace kv
