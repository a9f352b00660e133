#pragma once

namespace kv {

// What the HMQ27 and its TAS3103 can do. The model's setters, the hardware
// check and the image all take their limits from here.

// Output bands: the unit has three outputs.
inline constexpr int kMaxBands = 3;

// Every design runs at the unit's sample rate and word length.
inline constexpr double kDesignSampleRate = 96000.0;
inline constexpr int kDesignBitDepth = 24;

// Second-order sections the chip runs per output.
inline constexpr int kBiquadsPerBand = 16;

// Band gain in dB. The lowest gain is also the level a muted band plays at.
inline constexpr double kMinBandGainDb = -122.0;
inline constexpr double kMaxBandGainDb = 24.0;
inline constexpr double kMutedLevelDb = kMinBandGainDb;

// The delay memory all outputs share, in samples.
inline constexpr int kSharedDelaySamples = 2045;

// Bass and treble: five corner selections, and gains of -18 to +18 dB on a
// 0.5 dB grid (the chip plays any other gain as -18 dB).
inline constexpr int kMinToneCorner = 1;
inline constexpr int kMaxToneCorner = 5;
inline constexpr double kMaxToneGainDb = 18.0;
inline constexpr double kToneGainStepDb = 0.5;

} // namespace kv
