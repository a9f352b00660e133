#pragma once

#include <string>

namespace kv {

// Label of a frequency axis position: "50", "1K", "1.5K", "20K".
std::string FrequencyLabelText(double hz);

// How a value axis writes its numbers: with engineering suffixes ("2.5K"),
// or plainly in the axis unit ("-1440"), as degrees and milliseconds read.
enum class LabelStyle { Engineering, Plain };

// Label of a frequency graph's value axis, the value already multiplied by
// the axis label factor: "2.5", "-180", "2.5K" (plainly "2500"); zero, and
// what rounds to it, as "0".
std::string ValueLabelText(double value, LabelStyle style = LabelStyle::Engineering);

// Label of a time graph's value axis, with engineering suffixes: "0.25",
// "2m", "1.5µ", "3k"; zero, and what a rounding error leaves of it, as "0".
std::string TimeValueLabelText(double value);

// A frequency as the readouts beside the pointer write it: "88.4 Hz",
// "1.41 kHz".
std::string ReadoutFrequencyText(double hz);

// Label of a time axis tick, in the axis unit: at most two decimals.
std::string TimeLabelText(double value);

// The micro sign, UTF-8.
inline constexpr const char* kMicroSign = "\xC2\xB5";

} // namespace kv
