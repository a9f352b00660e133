#pragma once

#include <string>

namespace kv {

// Numbers as the files the program writes hold them, whatever locale the
// process runs in (a decimal comma would break every reader of the file).

// Fixed notation with the given number of decimals, correctly rounded.
std::string FormatFixed(double value, int decimals);
// The style of printf's %.*g: at most the given number of significant
// digits, trailing zeros dropped.
std::string FormatGeneral(double value, int significantDigits);
// The shortest text that reads back to the same double.
std::string FormatShortest(double value);

} // namespace kv
