#pragma once

#include "filters/BiquadCalc.h"

#include <complex>

namespace kv::test {

inline constexpr double kPi = 3.141592653589793;

// H(e^jω) of a section straight from its transfer function, with the
// library's complex arithmetic: the reference the fast evaluation and the
// alignments are checked against.
inline Complex TransferAt(const BiquadCoefs& c, double f, double fs) {
    const Complex z1 = std::exp(Complex(0.0, -2.0 * kPi * f / fs));
    return (c.b0 + c.b1 * z1 + c.b2 * z1 * z1) / (c.a0 + c.a1 * z1 + c.a2 * z1 * z1);
}

} // namespace kv::test
