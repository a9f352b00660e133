#pragma once

#include <cmath>
#include <complex>

namespace kv {

// A complex value: real part first, both IEEE 754 doubles.
using Complex = std::complex<double>;

// 0 for an exact zero, else sqrt(re² + im²).
inline double Magnitude(const Complex& c) {
    if (c.real() == 0.0 && c.imag() == 0.0) {
        return 0.0;
    }
    return std::sqrt(c.real() * c.real() + c.imag() * c.imag());
}

// 0 for an exact zero, else atan2(im, re) in (-π, π].
inline double Phase(const Complex& c) {
    if (c.real() == 0.0 && c.imag() == 0.0) {
        return 0.0;
    }
    return std::atan2(c.imag(), c.real());
}

inline bool IsFinite(double x) {
    return std::isfinite(x);
}

inline bool IsFinite(const Complex& c) {
    return std::isfinite(c.real()) && std::isfinite(c.imag());
}

inline Complex FromPolar(double radius, double angle) {
    return {radius * std::cos(angle), radius * std::sin(angle)};
}

inline Complex Exponential(const Complex& c) {
    return FromPolar(std::exp(c.real()), c.imag());
}

// The plain textbook product, without the library's special handling of
// infinities: the computation never produces them and the product is on the
// hot path of every recalculation.
inline Complex Multiply(const Complex& a, const Complex& b) {
    return {a.real() * b.real() - a.imag() * b.imag(), a.real() * b.imag() + a.imag() * b.real()};
}

} // namespace kv
