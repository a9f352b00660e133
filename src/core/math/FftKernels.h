#pragma once

#include <cstring>

// The passes of VFft, written once over a lane type: a plain double, or a
// vector of two or four doubles. Every operation is element by element (no
// fused multiply-add, no reordering), so each lane type gives the same bits.
// The functions are forced inline so that each runs with the instruction set
// of the entry point that instantiates it.
namespace kv::fft {

using Pack2 = double __attribute__((vector_size(16)));
using Pack4 = double __attribute__((vector_size(32)));

template <typename V> inline constexpr int kLanes = sizeof(V) / sizeof(double);

template <typename V> [[gnu::always_inline]] inline V LoadLanes(const double* p) {
    V v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

template <typename V> [[gnu::always_inline]] inline void StoreLanes(double* p, const V& v) {
    std::memcpy(p, &v, sizeof v);
}

template <typename V> struct ComplexLanes {
    V re;
    V im;
};

template <typename V>
[[gnu::always_inline]] inline ComplexLanes<V> operator+(const ComplexLanes<V>& a,
                                                        const ComplexLanes<V>& b) {
    return {a.re + b.re, a.im + b.im};
}

template <typename V>
[[gnu::always_inline]] inline ComplexLanes<V> operator-(const ComplexLanes<V>& a,
                                                        const ComplexLanes<V>& b) {
    return {a.re - b.re, a.im - b.im};
}

template <typename V>
[[gnu::always_inline]] inline ComplexLanes<V> Times(const ComplexLanes<V>& a, const V& wr,
                                                    const V& wi) {
    return {wr * a.re - wi * a.im, wr * a.im + wi * a.re};
}

template <typename V>
[[gnu::always_inline]] inline ComplexLanes<V> TimesMinusJ(const ComplexLanes<V>& a) {
    return {a.im, -a.re};
}

template <typename V>
[[gnu::always_inline]] inline ComplexLanes<V> TimesPlusJ(const ComplexLanes<V>& a) {
    return {-a.im, a.re};
}

template <typename V> [[gnu::always_inline]] inline V Reversed(const V& v) {
    if constexpr (kLanes<V> == 1) {
        return v;
    } else if constexpr (kLanes<V> == 2) {
        return __builtin_shufflevector(v, v, 1, 0);
    } else {
        return __builtin_shufflevector(v, v, 3, 2, 1, 0);
    }
}

// kLanes complex values stored real, imaginary, real, … from p.
template <typename V>
[[gnu::always_inline]] inline ComplexLanes<V> LoadInterleaved(const double* p) {
    if constexpr (kLanes<V> == 1) {
        return {p[0], p[1]};
    } else if constexpr (kLanes<V> == 2) {
        const V a = LoadLanes<V>(p);
        const V b = LoadLanes<V>(p + 2);
        return {__builtin_shufflevector(a, b, 0, 2), __builtin_shufflevector(a, b, 1, 3)};
    } else {
        // Halves first, then within them: shuffles that move values across
        // the halves of a vector cost more, and these are the cheap ones.
        const V a = LoadLanes<V>(p);
        const V b = LoadLanes<V>(p + 4);
        const V evenHalves = __builtin_shufflevector(a, b, 0, 1, 4, 5);
        const V oddHalves = __builtin_shufflevector(a, b, 2, 3, 6, 7);
        return {__builtin_shufflevector(evenHalves, oddHalves, 0, 4, 2, 6),
                __builtin_shufflevector(evenHalves, oddHalves, 1, 5, 3, 7)};
    }
}

template <typename V>
[[gnu::always_inline]] inline void StoreInterleaved(double* p, const V& re, const V& im) {
    if constexpr (kLanes<V> == 1) {
        p[0] = re;
        p[1] = im;
    } else if constexpr (kLanes<V> == 2) {
        StoreLanes(p, V(__builtin_shufflevector(re, im, 0, 2)));
        StoreLanes(p + 2, V(__builtin_shufflevector(re, im, 1, 3)));
    } else {
        const V low = __builtin_shufflevector(re, im, 0, 4, 2, 6);
        const V high = __builtin_shufflevector(re, im, 1, 5, 3, 7);
        StoreLanes(p, V(__builtin_shufflevector(low, high, 0, 1, 4, 5)));
        StoreLanes(p + 4, V(__builtin_shufflevector(low, high, 2, 3, 6, 7)));
    }
}

// Rows become columns: afterwards rows[l][h] holds what rows[h][l] held.
template <typename V> [[gnu::always_inline]] inline void Transpose(V* rows) {
    if constexpr (kLanes<V> == 2) {
        const V t0 = __builtin_shufflevector(rows[0], rows[1], 0, 2);
        const V t1 = __builtin_shufflevector(rows[0], rows[1], 1, 3);
        rows[0] = t0;
        rows[1] = t1;
    } else if constexpr (kLanes<V> == 4) {
        const V t0 = __builtin_shufflevector(rows[0], rows[1], 0, 4, 2, 6);
        const V t1 = __builtin_shufflevector(rows[0], rows[1], 1, 5, 3, 7);
        const V t2 = __builtin_shufflevector(rows[2], rows[3], 0, 4, 2, 6);
        const V t3 = __builtin_shufflevector(rows[2], rows[3], 1, 5, 3, 7);
        rows[0] = __builtin_shufflevector(t0, t2, 0, 1, 4, 5);
        rows[1] = __builtin_shufflevector(t1, t3, 0, 1, 4, 5);
        rows[2] = __builtin_shufflevector(t0, t2, 2, 3, 6, 7);
        rows[3] = __builtin_shufflevector(t1, t3, 2, 3, 6, 7);
    }
}

// The 4-point forward transform in place, natural order in and out.
template <typename V> [[gnu::always_inline]] inline void Dft4(ComplexLanes<V>* y) {
    const ComplexLanes<V> a0 = y[0] + y[2];
    const ComplexLanes<V> a1 = y[0] - y[2];
    const ComplexLanes<V> a2 = y[1] + y[3];
    const ComplexLanes<V> a3 = TimesMinusJ(y[1] - y[3]);
    y[0] = a0 + a2;
    y[2] = a0 - a2;
    y[1] = a1 + a3;
    y[3] = a1 - a3;
}

// The 8-point forward transform in place: two 4-point transforms of the
// even and odd points, joined with the eighth roots of unity.
template <typename V> [[gnu::always_inline]] inline void Dft8(ComplexLanes<V>* y) {
    constexpr double kHalfRoot2 = 0.70710678118654752440;
    ComplexLanes<V> even[4] = {y[0], y[2], y[4], y[6]};
    ComplexLanes<V> odd[4] = {y[1], y[3], y[5], y[7]};
    Dft4(even);
    Dft4(odd);
    // e^(-jπ/4)·o, -j·o and e^(-3jπ/4)·o
    const ComplexLanes<V> o1 = {(odd[1].re + odd[1].im) * kHalfRoot2,
                                (odd[1].im - odd[1].re) * kHalfRoot2};
    const ComplexLanes<V> o2 = TimesMinusJ(odd[2]);
    const ComplexLanes<V> o3 = {(odd[3].im - odd[3].re) * kHalfRoot2,
                                -(odd[3].re + odd[3].im) * kHalfRoot2};
    y[0] = even[0] + odd[0];
    y[4] = even[0] - odd[0];
    y[1] = even[1] + o1;
    y[5] = even[1] - o1;
    y[2] = even[2] + o2;
    y[6] = even[2] - o2;
    y[3] = even[3] + o3;
    y[7] = even[3] - o3;
}

// Where the first pass reads its input: n complex values, interleaved, or,
// when split is set, bins 0 … n of the spectrum of a real signal of 2n
// points, of which it takes the spectrum of z[t] = x[2t] + j·x[2t+1] (twice
// it, see SplitBins). imSign -1 conjugates what it reads.
struct Input {
    const double* data;
    double imSign;
    const double* splitRe;
    const double* splitIm;
};

// Bins k … k + lanes - 1 of z's spectrum: (X[k] + X*[n-k]) + j·w[k]·(X[k] -
// X*[n-k]) with w[k] = e^(jπk/n).
template <typename V>
[[gnu::always_inline]] inline ComplexLanes<V> SplitBins(const Input& in, int n, int k) {
    constexpr int lanes = kLanes<V>;
    const ComplexLanes<V> a = LoadInterleaved<V>(in.data + 2 * k);
    const ComplexLanes<V> mirrored = LoadInterleaved<V>(in.data + 2 * (n - k - lanes + 1));
    const ComplexLanes<V> b = {Reversed(mirrored.re), -Reversed(mirrored.im)};
    const ComplexLanes<V> t =
        TimesPlusJ(Times(a - b, LoadLanes<V>(in.splitRe + k), LoadLanes<V>(in.splitIm + k)));
    return (a + b) + t;
}

// The bit-reversal permutation and the first log2(R) stages in one pass.
// After the permutation the stages up to blocks of R points transform, within
// each block, the R points x[b + h·n/R] (h = 0 … R-1) of one base b; the
// block of base b starts at R·order[b]. The bases are visited in order, so
// that the reads run through R streams and each base writes a whole block.
// Needs n/R to be a multiple of the lanes.
template <typename V, int R, bool split>
[[gnu::always_inline]] inline void LoadFirstStages(const Input& in, int n, const int* order,
                                                   double* re, double* im) {
    constexpr int lanes = kLanes<V>;
    const int bases = n / R;
    for (int base = 0; base < bases; base += lanes) {
        ComplexLanes<V> y[R];
        for (int h = 0; h < R; ++h) {
            const int k = base + h * bases;
            if constexpr (split) {
                y[h] = SplitBins<V>(in, n, k);
            } else {
                y[h] = LoadInterleaved<V>(in.data + 2 * k);
            }
            y[h].im *= in.imSign;
        }
        if constexpr (R == 4) {
            Dft4(y);
        } else {
            Dft8(y);
        }
        for (int h0 = 0; h0 < R; h0 += lanes) {
            V rowsRe[lanes];
            V rowsIm[lanes];
            for (int l = 0; l < lanes; ++l) {
                rowsRe[l] = y[h0 + l].re;
                rowsIm[l] = y[h0 + l].im;
            }
            Transpose(rowsRe);
            Transpose(rowsIm);
            for (int l = 0; l < lanes; ++l) {
                const int at = R * order[base + l] + h0;
                StoreLanes(re + at, rowsRe[l]);
                StoreLanes(im + at, rowsIm[l]);
            }
        }
    }
}

template <typename V> [[gnu::always_inline]] inline double Lane(const V& v, int l) {
    if constexpr (kLanes<V> == 1) {
        return v;
    } else {
        return v[l];
    }
}

// Where the last pass writes: interleaved, the real parts times scale and the
// imaginary parts times imScale, and only the first count doubles.
struct Output {
    double* data;
    int count;
    double scale;
    double imScale;
};

// The complex values index … index + lanes - 1 into the output; whole when
// the output takes every value.
template <typename V, bool whole = false>
[[gnu::always_inline]] inline void Emit(const Output& out, int index, const ComplexLanes<V>& y) {
    constexpr int lanes = kLanes<V>;
    if constexpr (whole) {
        StoreInterleaved<V>(out.data + 2 * index, y.re * out.scale, y.im * out.imScale);
        return;
    }
    if (2 * index >= out.count) {
        return;
    }
    const V re = y.re * out.scale;
    const V im = y.im * out.imScale;
    if (2 * (index + lanes) <= out.count) {
        StoreInterleaved<V>(out.data + 2 * index, re, im);
        return;
    }
    for (int l = 0; l < lanes; ++l) {
        const int at = 2 * (index + l);
        if (at < out.count) {
            out.data[at] = Lane(re, l);
        }
        if (at + 1 < out.count) {
            out.data[at + 1] = Lane(im, l);
        }
    }
}

// The twiddles of a radix-4 pass are stored in groups of four k: for each
// group w^k, w^2k and w^3k, real parts then imaginary parts, four lanes each,
// so that a pass reads them as one stream.
inline constexpr int kTwiddleGroup = 4;
inline constexpr int kTwiddleGroupSize = 6 * kTwiddleGroup;

// The doubles the twiddles of the pass of quarter q take.
constexpr int TwiddleTableSize(int q) {
    return q / kTwiddleGroup * kTwiddleGroupSize;
}

// Where the twiddles of k start in a pass's table: the real part of w^pk is
// at offset (2p - 2)·kTwiddleGroup from there, its imaginary part at
// (2p - 1)·kTwiddleGroup.
constexpr int TwiddleOffset(int k) {
    return (k / kTwiddleGroup) * kTwiddleGroupSize + k % kTwiddleGroup;
}

// One radix-4 pass over blocks of four quarters of q points, each quarter
// the transform of a quarter of the block's points; in bit-reversed order
// quarters 1 and 2 hold the second and first odd residues, so that w^2k
// goes to quarter 1 and w^k to quarter 2 (w = e^(-jπ/2q)). Needs q to be a
// multiple of the lanes. The last pass writes to the output instead.
template <typename V, bool last, bool whole = false>
[[gnu::always_inline]] inline void Radix4Pass(double* re, double* im, int n, int q,
                                              const double* twiddles, const Output& out) {
    constexpr int lanes = kLanes<V>;
    for (int b = 0; b < n; b += 4 * q) {
        double* r = re + b;
        double* i = im + b;
        for (int k = 0; k < q; k += lanes) {
            const double* w = twiddles + TwiddleOffset(k);
            const ComplexLanes<V> a0 = {LoadLanes<V>(r + k), LoadLanes<V>(i + k)};
            const ComplexLanes<V> a2 =
                Times(ComplexLanes<V>{LoadLanes<V>(r + q + k), LoadLanes<V>(i + q + k)},
                      LoadLanes<V>(w + 2 * kTwiddleGroup), LoadLanes<V>(w + 3 * kTwiddleGroup));
            const ComplexLanes<V> a1 =
                Times(ComplexLanes<V>{LoadLanes<V>(r + 2 * q + k), LoadLanes<V>(i + 2 * q + k)},
                      LoadLanes<V>(w), LoadLanes<V>(w + kTwiddleGroup));
            const ComplexLanes<V> a3 =
                Times(ComplexLanes<V>{LoadLanes<V>(r + 3 * q + k), LoadLanes<V>(i + 3 * q + k)},
                      LoadLanes<V>(w + 4 * kTwiddleGroup), LoadLanes<V>(w + 5 * kTwiddleGroup));
            const ComplexLanes<V> s0 = a0 + a2;
            const ComplexLanes<V> s1 = a0 - a2;
            const ComplexLanes<V> s2 = a1 + a3;
            const ComplexLanes<V> s3 = TimesMinusJ(a1 - a3);
            const ComplexLanes<V> y0 = s0 + s2;
            const ComplexLanes<V> y1 = s1 + s3;
            const ComplexLanes<V> y2 = s0 - s2;
            const ComplexLanes<V> y3 = s1 - s3;
            if constexpr (last) {
                Emit<V, whole>(out, b + k, y0);
                Emit<V, whole>(out, b + q + k, y1);
                Emit<V, whole>(out, b + 2 * q + k, y2);
                Emit<V, whole>(out, b + 3 * q + k, y3);
                continue;
            }
            StoreLanes(r + k, y0.re);
            StoreLanes(i + k, y0.im);
            StoreLanes(r + q + k, y1.re);
            StoreLanes(i + q + k, y1.im);
            StoreLanes(r + 2 * q + k, y2.re);
            StoreLanes(i + 2 * q + k, y2.im);
            StoreLanes(r + 3 * q + k, y3.re);
            StoreLanes(i + 3 * q + k, y3.im);
        }
    }
}

// Everything one transform reads and writes.
struct TransformJob {
    int n;
    int firstRadix;
    int blockSize;
    const int* blockOrder;
    double* re;
    double* im;
    // The twiddle groups of every radix-4 pass, the smallest quarter first.
    const double* twiddles;
    Input in;
    Output out;
};

// The pass that writes the output: the whole of it at once, or through
// Emit when only a part is wanted.
template <typename V>
[[gnu::always_inline]] inline void LastPass(const TransformJob& job, int q,
                                            const double* twiddles) {
    if (job.out.count == 2 * job.n) {
        Radix4Pass<V, true, true>(job.re, job.im, job.n, q, twiddles, job.out);
    } else {
        Radix4Pass<V, true>(job.re, job.im, job.n, q, twiddles, job.out);
    }
}

// The whole transform: the first pass, the radix-4 passes within each block
// of the cache's size, then those across blocks, the last of them writing
// the output.
template <typename V> [[gnu::always_inline]] inline void RunTransform(const TransformJob& job) {
    const int n = job.n;
    const bool split = job.in.splitRe != nullptr;
    if (job.firstRadix == 4) {
        if (split) {
            LoadFirstStages<V, 4, true>(job.in, n, job.blockOrder, job.re, job.im);
        } else {
            LoadFirstStages<V, 4, false>(job.in, n, job.blockOrder, job.re, job.im);
        }
    } else if (split) {
        LoadFirstStages<V, 8, true>(job.in, n, job.blockOrder, job.re, job.im);
    } else {
        LoadFirstStages<V, 8, false>(job.in, n, job.blockOrder, job.re, job.im);
    }
    const int block = job.blockSize;
    const double* twiddles = job.twiddles;
    // A lambda here would be compiled for the default instruction set.
    for (int start = 0; start < n; start += block) {
        twiddles = job.twiddles;
        for (int q = job.firstRadix; 4 * q <= block; q *= 4) {
            if (4 * q == n) {
                LastPass<V>(job, q, twiddles);
            } else {
                Radix4Pass<V, false>(job.re + start, job.im + start, block, q, twiddles, job.out);
            }
            twiddles += TwiddleTableSize(q);
        }
    }
    for (int q = block; 4 * q <= n; q *= 4) {
        if (4 * q == n) {
            LastPass<V>(job, q, twiddles);
        } else {
            Radix4Pass<V, false>(job.re, job.im, n, q, twiddles, job.out);
        }
        twiddles += TwiddleTableSize(q);
    }
    if (n < 4 * job.firstRadix) {
        for (int i = 0; i < n; i += kLanes<V>) {
            Emit(job.out, i, ComplexLanes<V>{LoadLanes<V>(job.re + i), LoadLanes<V>(job.im + i)});
        }
    }
}

} // namespace kv::fft
