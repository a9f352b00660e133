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

// Filter frequencies end just under half the sample rate, at this share of
// it. Crossover filters start at 0.1 Hz, the one-section filters (notches,
// all-pass, shelves, equalisers) at 1 Hz; frequencies step by 0.1 Hz.
inline constexpr double kMaxFrequencyFactor = 0.4989;
inline constexpr double kMinCrossoverFrequency = 0.1;
inline constexpr double kMinFilterFrequency = 1.0;
inline constexpr double kFrequencyStep = 0.1;

// The one-section filters' Q and gain.
inline constexpr double kMinFilterQ = 0.001;
inline constexpr double kMaxFilterQ = 25.0;
inline constexpr double kMaxEqGainDb = 20.0;

// The level the filter and target curves are drawn at, in dB.
inline constexpr double kMinTargetLevelDb = -100.0;
inline constexpr double kMaxTargetLevelDb = 200.0;

// Where the dialogs' fields offer other ranges than the band takes: a Q
// field starts at 0.01, and a custom filter's section ratios and Qs range
// from 0.001 to 100.
inline constexpr double kMinFieldQ = 0.01;
inline constexpr double kMinTuningValue = 0.001;
inline constexpr double kMaxTuningValue = 100.0;

} // namespace kv
