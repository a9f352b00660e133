#pragma once

#include "model/SplPhase.h"

#include <complex>
#include <filesystem>
#include <vector>

namespace kv {
class BandSettings;
class CConfiguration;
} // namespace kv

namespace kv::test {

using AnalogResponse = std::complex<double> (*)(double hz);

// Drivers modelled as minimum-phase systems, products of analog prototype
// sections: the resonance of the moving mass on its suspension (a
// second-order high-pass), the dip of the baffle step, the cone's break-up
// peak and its mass roll-off. Relative level: the passband is about 1.
// Their roll-offs have settled to their final slopes by 10 Hz and 40 kHz,
// so that a curve measured over that range shows all that shapes its phase.
std::complex<double> ModelledWoofer(double hz);
std::complex<double> ModelledTweeter(double hz);

// What a measurement file of a modelled driver holds: its level in dB SPL
// (the response's level plus sensitivity) from firstHz to lastHz on the
// lattice 10·2^(k/48) Hz that the design's grid uses, and with withPhase its
// phase in degrees, delayed by delaySeconds (the sound's flight time to the
// microphone); without, two columns.
struct DriverFile {
    AnalogResponse response;
    double sensitivity = 90.0;
    double firstHz = 10.0;
    double lastHz = 40000.0;
    bool withPhase = false;
    double delaySeconds = 0.0;
};
// False when the file cannot be written.
bool WriteDriverFile(const std::filesystem::path& path, const DriverFile& file);

// The lattice's frequencies from firstHz to lastHz.
std::vector<double> LatticeFrequencies(double firstHz, double lastHz);

// Writes the file and loads it into the band as the SPL Curve dialog does,
// with the phase made as asked; false when either fails.
bool LoadDriverFile(BandSettings& band, const std::filesystem::path& path, const DriverFile& file,
                    const SplPhase& phase = {}, PhaseReport* report = nullptr);

// A new 2-way design crossed at hz by Linkwitz-Riley filters of the order
// (2 or 4), each also its band's target: band 1 (index 0) the high-pass,
// band 2 the low-pass.
bool CrossTwoWay(CConfiguration& design, double hz, int order);

} // namespace kv::test
