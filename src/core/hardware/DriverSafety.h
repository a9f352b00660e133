#pragma once

#include "hardware/HardwareCheck.h"

#include <vector>

namespace kv {

class CConfiguration;
class VDoubleVec;

// Settings the unit can run but that may harm a driver or the listener's
// ears: a band whose filters rise more than 12 dB above 0 dB anywhere from
// 10 Hz to 20 kHz (a narrow equaliser with a high Q can make +30 dB), and a
// tweeter (a band with a high-pass above 1 kHz) that passes more than -12 dB,
// relative to the band's gain, an octave or more below its high-pass. They
// warn and never stop programming.
//
// Each warning names the band and the block most to blame, with its figure
// and frequency, in the HardwareProblem shape the window marks blocks with.
// Reads the bands' filter responses, computed on grid.
std::vector<HardwareProblem> CheckDriverSafety(const CConfiguration& design,
                                               const VDoubleVec& grid);

} // namespace kv
