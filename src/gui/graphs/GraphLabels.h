#pragma once

#include <string>

namespace kv {

// Label of a frequency axis position: "50", "1K", "20K".
std::string FrequencyLabelText(double hz);

// Label of a frequency graph's value axis, the value already multiplied by
// the axis label factor: "2.5", "-180", "2.5K".
std::string ValueLabelText(double value);

// Label of a time graph's value axis, with engineering suffixes: "0.25",
// "2.0000m", "3k".
std::string TimeValueLabelText(double value);

// Label of a time axis tick, in the axis unit: at most two decimals.
std::string TimeLabelText(double value);

// The micro sign, UTF-8.
inline constexpr const char* kMicroSign = "\xC2\xB5";

} // namespace kv
