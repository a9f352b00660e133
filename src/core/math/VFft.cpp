#include "math/VFft.h"

#include <cmath>
#include <numbers>

namespace kv {
namespace {

// w[k] = e^(-jπk/half) for k < half, by the recurrence w ← w·e^(-jπ/half).
void FillTwiddles(double* wr, double* wi, int half) {
    const double angle = std::numbers::pi / half;
    const double c = std::cos(angle);
    const double s = std::sin(angle);
    double r = 1.0;
    double i = 0.0;
    for (int k = 0; k < half; ++k) {
        wr[k] = r;
        wi[k] = i;
        const double next = r * c + i * s;
        i = i * c - r * s;
        r = next;
    }
}

// The butterflies are free functions of restrict-qualified arrays so that the
// compiler may vectorise them.

void RadixTwoStage(double* __restrict re, double* __restrict im, const double* __restrict wr,
                   const double* __restrict wi, int n, int half) {
    for (int block = 0; block < n; block += 2 * half) {
        double* loRe = re + block;
        double* loIm = im + block;
        double* hiRe = loRe + half;
        double* hiIm = loIm + half;
        for (int k = 0; k < half; ++k) {
            const double tr = wr[k] * hiRe[k] - wi[k] * hiIm[k];
            const double ti = wr[k] * hiIm[k] + wi[k] * hiRe[k];
            hiRe[k] = loRe[k] - tr;
            hiIm[k] = loIm[k] - ti;
            loRe[k] += tr;
            loIm[k] += ti;
        }
    }
}

// One block of two radix-2 stages at once, over its four quarters of q
// points: the first stage (half q, twiddles w1) pairs quarters 0/1 and 2/3,
// the second (half 2q, twiddles w2) quarters 0/2 and 1/3, where the twiddle
// of the upper quarter is -j·w2[k]. Every quarter is its own restrict
// pointer: that is what the vectoriser needs to see them apart.
inline void RadixTwoPairBlock(double* __restrict r0, double* __restrict i0, double* __restrict r1,
                              double* __restrict i1, double* __restrict r2, double* __restrict i2,
                              double* __restrict r3, double* __restrict i3,
                              const double* __restrict w1r, const double* __restrict w1i,
                              const double* __restrict w2r, const double* __restrict w2i, int q) {
    for (int k = 0; k < q; ++k) {
        const double t0r = w1r[k] * r1[k] - w1i[k] * i1[k];
        const double t0i = w1r[k] * i1[k] + w1i[k] * r1[k];
        const double t1r = w1r[k] * r3[k] - w1i[k] * i3[k];
        const double t1i = w1r[k] * i3[k] + w1i[k] * r3[k];
        const double ar = r0[k] + t0r;
        const double ai = i0[k] + t0i;
        const double br = r0[k] - t0r;
        const double bi = i0[k] - t0i;
        const double cr = r2[k] + t1r;
        const double ci = i2[k] + t1i;
        const double dr = r2[k] - t1r;
        const double di = i2[k] - t1i;
        const double t2r = w2r[k] * cr - w2i[k] * ci;
        const double t2i = w2r[k] * ci + w2i[k] * cr;
        // -j·(w2·d)
        const double t3r = w2r[k] * di + w2i[k] * dr;
        const double t3i = w2i[k] * di - w2r[k] * dr;
        r0[k] = ar + t2r;
        i0[k] = ai + t2i;
        r2[k] = ar - t2r;
        i2[k] = ai - t2i;
        r1[k] = br + t3r;
        i1[k] = bi + t3i;
        r3[k] = br - t3r;
        i3[k] = bi - t3i;
    }
}

void RadixTwoStagePair(double* re, double* im, const double* w1r, const double* w1i,
                       const double* w2r, const double* w2i, int n, int q) {
    for (int b = 0; b < n; b += 4 * q) {
        RadixTwoPairBlock(re + b, im + b, re + b + q, im + b + q, re + b + 2 * q, im + b + 2 * q,
                          re + b + 3 * q, im + b + 3 * q, w1r, w1i, w2r, w2i, q);
    }
}

} // namespace

void VFft::Transform(VComplexVec& data, bool inverse) {
    const int n = data.GetSize();
    if (n < 4) {
        return;
    }
    Prepare(n);
    // The inverse is the forward transform of the conjugate, conjugated and
    // scaled.
    LoadWithFirstTwoStages(data.Data(), n, inverse);
    int half = 4;
    for (; 4 * half <= n; half *= 4) {
        StagePair(n, half);
    }
    if (2 * half <= n) {
        Stage(n, half);
    }
    Store(data.Data(), n, inverse);
}

void VFft::Prepare(int n) {
    if (n == preparedSize_) {
        return;
    }
    const auto size = static_cast<std::size_t>(n);
    re_.resize(size);
    im_.resize(size);
    twiddleRe_.resize(size);
    twiddleIm_.resize(size);
    for (int half = 4; half < n; half *= 2) {
        FillTwiddles(twiddleRe_.data() + half, twiddleIm_.data() + half, half);
    }
    preparedSize_ = n;
}

// Bit reversal and the first two stages (blocks of 2 and 4, which need no
// multiplication) in one pass: the four points that land at 4q … 4q+3 are
// x[j], x[j + n/2], x[j + n/4] and x[j + 3n/4], with j the bit-reversed q.
void VFft::LoadWithFirstTwoStages(const Complex* x, int n, bool conjugate) {
    const double sign = conjugate ? -1.0 : 1.0;
    const int quarter = n / 4;
    double* re = re_.data();
    double* im = im_.data();
    int j = 0;
    for (int q = 0; q < quarter; ++q) {
        const Complex& p0 = x[j];
        const Complex& p1 = x[j + 2 * quarter];
        const Complex& p2 = x[j + quarter];
        const Complex& p3 = x[j + 3 * quarter];
        const double a0r = p0.real() + p1.real();
        const double a0i = sign * (p0.imag() + p1.imag());
        const double a1r = p0.real() - p1.real();
        const double a1i = sign * (p0.imag() - p1.imag());
        const double a2r = p2.real() + p3.real();
        const double a2i = sign * (p2.imag() + p3.imag());
        const double a3r = p2.real() - p3.real();
        const double a3i = sign * (p2.imag() - p3.imag());
        const int o = 4 * q;
        re[o] = a0r + a2r;
        im[o] = a0i + a2i;
        re[o + 2] = a0r - a2r;
        im[o + 2] = a0i - a2i;
        // a1 - j·a3 and a1 + j·a3
        re[o + 1] = a1r + a3i;
        im[o + 1] = a1i - a3r;
        re[o + 3] = a1r - a3i;
        im[o + 3] = a1i + a3r;
        // Reversed-carry increment of j over the quarter.
        int bit = quarter / 2;
        while (bit > 0 && (j & bit)) {
            j ^= bit;
            bit /= 2;
        }
        j |= bit;
    }
}

void VFft::StagePair(int n, int quarter) {
    const double* wr = twiddleRe_.data();
    const double* wi = twiddleIm_.data();
    RadixTwoStagePair(re_.data(), im_.data(), wr + quarter, wi + quarter, wr + 2 * quarter,
                      wi + 2 * quarter, n, quarter);
}

void VFft::Stage(int n, int half) {
    RadixTwoStage(re_.data(), im_.data(), twiddleRe_.data() + half, twiddleIm_.data() + half, n,
                  half);
}

void VFft::Store(Complex* x, int n, bool inverse) const {
    const double scale = inverse ? 1.0 / n : 1.0;
    const double sign = inverse ? -scale : 1.0;
    for (int i = 0; i < n; ++i) {
        x[i] = Complex(re_[static_cast<std::size_t>(i)] * scale,
                       im_[static_cast<std::size_t>(i)] * sign);
    }
}

} // namespace kv
