#pragma once

#include "math/VFreqVec.h"
#include "model/CConfiguration.h"
#include "model/Optimiser.h"

#include <vector>

namespace kv::test {

// What a general-purpose least-squares fit gets: the band's gain and
// `equalisers` equalisers fitted all at once by a derivative-free
// minimiser of the mean square deviation, from equalisers spread evenly
// over the options' range, on the designed sections of the band as it was
// computed on grid (its filter, driver and target responses), with the
// optimiser's bounds. Returns the RMS deviation in dB it reaches.
double ReferenceFitRms(const CBand& band, const VFreqVec& grid, double targetLevel,
                       const OptimiseOptions& options, int equalisers);

// What the design's own computed responses say of a band: its hardware
// response times its driver's curve, less its target at the target level,
// in dB at every grid point from fromHz to toHz.
std::vector<double> HeardDeviation(const CConfiguration& design, int band, double fromHz,
                                   double toHz);
double Rms(const std::vector<double>& values);
double Largest(const std::vector<double>& values);

} // namespace kv::test
