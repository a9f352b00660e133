#pragma once

#include "filters/BiquadCalc.h"

#include <array>
#include <cstdint>
#include <optional>

namespace kv {

// How values become the TAS3103's words, and what the chip makes of them:
// the image writes these words, and the model plays them back to show what
// the unit will really do. Coefficients are 5.23 fixed point: the chip reads
// 28 bits (5 integer bits with the sign, 23 fraction bits), sign-extended
// into a 32-bit word.

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
// The section the chip runs for coefs: its five words rounded to 5.23, back
// in coefficient form (a0 = 1).
BiquadCoefs ChipSection(const BiquadCoefs& coefs);

// The value of an output's volume word before rounding: the gain of levelDb,
// negative for normal polarity because the chip's output stage inverts.
double VolumeWordValue(double levelDb, bool reversedPolarity);
// The gain an output plays at for levelDb: the magnitude of its volume word
// as the chip holds it.
double ChipVolumeGain(double levelDb, bool reversedPolarity);

// Whether a bass or treble gain in dB is one of the chip's settings: -18 to
// +18 dB in 0.5 dB steps.
bool OnToneGrid(double dB);
// The place of a bass or treble gain on the chip's grid, counted in 0.5 dB
// steps down from +18 dB (0 to 72); none off the grid. Gains are compared to
// a tenth of a dB, so that typed values such as 1.5000000001 still count.
std::optional<int> ToneGridStep(double dB);
// The gain in dB the chip's bass or treble stage plays for a setting: 0 for
// exactly 0 (the stage is left out), the grid's gain for a gain on the
// grid, and -18 dB, the lowest setting, for any other gain.
double ChipToneGainDb(double dB);

} // namespace kv
