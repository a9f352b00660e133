#pragma once

namespace kv {

// The chip's codes for a bass or treble gain: 1 (+18 dB) to 150 (-18 dB),
// 114 for 0 dB; a gain off the 0.5 dB grid gives 150.
int BassGainCode(double dB);
int TrebleGainCode(double dB);
// The code of a stage that leaves the signal alone.
inline constexpr int kFlatToneCode = 114;

} // namespace kv
