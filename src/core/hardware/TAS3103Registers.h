#pragma once

#include "unit/UnitLimits.h"

#include <array>

namespace kv::tas3103 {

// The subaddresses of the TAS3103 that the image sets, named after the
// chip's blocks. Where a block has one subaddress per channel, the constant
// is channel 1's and channels 2 and 3 follow it.

inline constexpr int kStartCheckWord = 0x00;
inline constexpr int kEndCheckWord = 0xFC;
inline constexpr int kSerialDataFormat = 0xF9;
inline constexpr int kI2cMandN = 0xFB;
inline constexpr int kWatchdog = 0xEB;
inline constexpr int kGpio = 0xEF;

// Which input feeds each channel's mixer.
struct InputMixerEntries {
    int inputA;
    int inputB;
};
inline constexpr std::array<InputMixerEntries, kMaxBands> kInputMixer = {
    {{0x07, 0x01}, {0x08, 0x02}, {0x0C, 0x06}}};

// Effects and output mixer entries that pass each channel straight through.
inline constexpr std::array<int, 6> kPassThroughMixerEntries = {0x29, 0x2C, 0x8F, 0x94, 0x98, 0x99};

// A channel's 16 biquads: four input biquads, then twelve channel biquads.
inline constexpr int kInputBiquadsPerChannel = 4;
inline constexpr std::array<int, kMaxBands> kInputBiquads = {0x34, 0x38, 0x48};
inline constexpr std::array<int, kMaxBands> kChannelBiquads = {0x4F, 0x5B, 0x67};
inline constexpr int kFirstInputBiquad = 0x34;
inline constexpr int kLastInputBiquad = 0x4B;
inline constexpr int kFirstChannelBiquad = 0x4F;
inline constexpr int kLastChannelBiquad = 0x72;

inline constexpr int kReverbMixers = 0x4C;
inline constexpr int kToneMixers = 0x73;
inline constexpr int kDrcMixers = 0x7C;

// The meter's input mixers of channels 1, 2 and 3, and the meter itself.
inline constexpr std::array<int, kMaxBands> kMeterInputMixers = {0x84, 0x86, 0x88};
inline constexpr int kMeter = 0x89;

// Five subaddresses per channel (loudness) and per DRC; the loudness
// block's biquad is the last of its five.
inline constexpr std::array<int, kMaxBands> kLoudness = {0xA2, 0xA7, 0xAC};
inline constexpr int kLoudnessBiquad = 4;
inline constexpr std::array<int, 2> kDrc = {0xB1, 0xB6};

inline constexpr int kMeterMixer = 0xBB;
inline constexpr int kFirstMeterBiquad = 0xBC;
inline constexpr int kLastMeterBiquad = 0xC5;
inline constexpr int kDitherMixer = 0xC6;
inline constexpr int kDitherSeed = 0xC7;

inline constexpr int kSlewRates = 0xF1;
inline constexpr int kVolume = 0xF2;
inline constexpr int kBassCorners = 0xF5;
inline constexpr int kBassGains = 0xF6;
inline constexpr int kTrebleCorners = 0xF7;
inline constexpr int kTrebleGains = 0xF8;
inline constexpr int kDelays = 0xFA;

// The runs of subaddresses the configuration file lists under one heading.
struct SubaddressRun {
    int first;
    int last;
};
inline constexpr SubaddressRun kInputMixers = {0x01, 0x24};
inline constexpr SubaddressRun kEffectsMixers = {0x25, 0x33};
inline constexpr SubaddressRun kInputBiquadRun = {kFirstInputBiquad, kLastInputBiquad};
inline constexpr SubaddressRun kReverbMixerRun = {kReverbMixers, kReverbMixers + kMaxBands - 1};
inline constexpr SubaddressRun kToneMixerRun = {kToneMixers, kToneMixers + kMaxBands - 1};
inline constexpr SubaddressRun kDrcInputMixers = {0x76, 0x7B};
inline constexpr SubaddressRun kDrcMixerRun = {kDrcMixers, kDrcMixers + kMaxBands - 1};
inline constexpr SubaddressRun kDitherGainMixers = {0x7F, 0x83};
inline constexpr SubaddressRun kMeterInputMixerRun = {0x84, 0x88};
inline constexpr SubaddressRun kOutputMixers = {0x8A, 0xA1};
inline constexpr SubaddressRun kMeterCoefficients = {kMeterMixer, kLastMeterBiquad};
inline constexpr SubaddressRun kDitherCoefficients = {kDitherMixer, kDitherSeed};
// Six-byte blocks the image leaves at their reset words.
inline constexpr SubaddressRun kDitherTail = {0xC8, 0xC9};
// Blocks the file lists without a heading.
inline constexpr SubaddressRun kUnlabelledBlocks = {0xCA, 0xCF};
inline constexpr SubaddressRun kCrossChannelMixers = {0xD0, 0xD1};
inline constexpr int kVolumeCoefficients = 0xF0;

} // namespace kv::tas3103
