#pragma once

#include "model/BandCalculators.h"

#include <string>

namespace kv {

class CConfiguration;

// The words the checks of a design tell the user what to change with.

// "12 Hz": a frequency to the hertz.
std::string HzText(double frequency);
// "+30.0 dB", "-7.0 dB".
std::string SignedDbText(double dB);
// "Output 2": how the window names band b (from 0).
std::string OutputName(int band);
// "The ..." for a sentence that starts with a phrase made for its middle.
std::string Capitalised(std::string text);
// How the window names a filter: "the 12 Hz high-pass of Output 2 (HP1,
// 8th order)", "the 1000 Hz equaliser of Output 1 (EQ 3)".
std::string FilterPhrase(const CConfiguration& design, int band, const BandSection& where);

} // namespace kv
