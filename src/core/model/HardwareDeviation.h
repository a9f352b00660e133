#pragma once

#include <optional>
#include <string>

namespace kv {

class CBand;
class VDoubleVec;

// The range the unit's output is judged over: how far the hardware departs
// from the design, and whether a band's filters may harm a driver.
inline constexpr double kJudgedLowestHz = 10.0;
inline constexpr double kJudgedHighestHz = 20000.0;

// How far the unit's output differs from the design: the band pane shows it
// under the curves.

// The largest difference in dB between the levels of the band's
// hardwareResponse and filterResponse at the points of the grid they were
// computed on from kJudgedLowestHz to kJudgedHighestHz where either lies within 60 dB of the filter
// response's highest level there; none while the band has no computed responses on such points.
// Further down a crossover's stop band (a tweeter's high-pass at 20 Hz lies 160 dB down) the
// rounding's relative error grows without anyone hearing it, and would hide what matters.
std::optional<double> MaxHardwareDeviationDb(const CBand& band, const VDoubleVec& grid);

// The pane's line for a deviation in dB: "Hardware: 0.03 dB max. deviation".
// Two decimals from 0.01 dB on; below, two significant digits (0.0012 dB),
// and "< 0.0001" for less, so that only an exact match reads "0.00".
std::string HardwareDeviationText(double dB);

} // namespace kv
