#pragma once

#include <array>
#include <cstdint>

namespace kv {

struct BiquadCoefs;

// How values become the TAS3103's words. Coefficients are 5.23 fixed point:
// the chip reads 28 bits (5 integer bits with the sign, 23 fraction bits),
// sign-extended into a 32-bit word.

// x · 2^23 rounded to a whole number (halves up), without any bound.
double Scaled523(double x);
// Whether x, rounded, lies within the chip's -16 to just under +16.
bool Fits523(double x);
// x · 2^23 rounded (halves up) into a 32-bit word, saturated at the ends of
// the format instead of wrapping round; NaN gives 0.
std::uint32_t ToFixed523(double x);
// The value the chip holds for x: x rounded to 5.23 and saturated.
double Rounded523(double x);

// The five words of a biquad subaddress: the denominator normalised and
// negated into the chip's feedback form (-a1/a0, -a2/a0), then the
// normalised numerator (b0/a0, b1/a0, b2/a0).
std::array<double, 5> BiquadWords(const BiquadCoefs& coefs);

// Whether a bass or treble gain in dB is one of the chip's settings: -18 to
// +18 dB in 0.5 dB steps.
bool OnToneGrid(double dB);
// The chip's codes for a bass or treble gain: 1 (+18 dB) to 150 (-18 dB),
// 114 for 0 dB; a gain off the 0.5 dB grid gives 150.
int BassGainCode(double dB);
int TrebleGainCode(double dB);
// The code of a stage that leaves the signal alone.
inline constexpr int kFlatToneCode = 114;

} // namespace kv
