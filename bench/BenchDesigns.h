#pragma once

#include "model/CConfiguration.h"
#include "model/SplCurve.h"

#include <cmath>

namespace kv::bench {

// A 3-way design with all 16 biquads of every band in use and a 500-point
// SPL curve in every band: the heaviest a recalculation gets.
inline void BuildHeavyDesign(CConfiguration& design) {
    design.New(3, kDesignSampleRate);
    for (int b = 0; b < 3; ++b) {
        CBand& band = design.bands[b];
        CrossoverSettings slot;
        slot.order = 4;
        slot.type = CrossoverType::Butterworth;
        slot.q = {0.5411961, 1.3065630, 0, 0};
        slot.freq = 200.0 * (b + 1);
        band.SetHighPass(0, slot);
        band.EnableHighPass(0, true);
        slot.freq = 3000.0 * (b + 1);
        band.SetLowPass(0, slot);
        band.EnableLowPass(0, true);
        for (int k = 0; k < 12; ++k) {
            band.SetPeq(k, 3.0 - k * 0.5, 100.0 * (k + 1), 2.0, true);
        }
        design.SetDelay(b, 0.0001 * b);
        band.SetBassGain(3.0);
        band.splFreqs.SetSize(500);
        band.splRaw.SetSize(500);
        for (int i = 0; i < 500; ++i) {
            band.splFreqs[i] = 20.0 * std::pow(1000.0, i / 499.0);
            band.splRaw[i] = FromPolar(1.0 + 0.1 * std::sin(i * 0.3), -0.01 * i);
        }
        band.SetSmoothing(6);
    }
}

} // namespace kv::bench
