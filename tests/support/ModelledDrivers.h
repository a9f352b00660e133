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
// A peak (dB above 0) or dip (below) of an analog prototype, minimum phase.
std::complex<double> AnalogBell(double hz, double centre, double q, double dB);
// The woofer as a gated measurement shows it: with the half-decibel ripple
// the room and the baffle's edges leave.
std::complex<double> MeasuredWoofer(double hz);

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

// A woofer's band as the optimiser's tests fit it: band 1 (index 0) of a
// new 2-way, the woofer's curve written to driverFile (88 dB, with its
// phase) and loaded from it, between fourth-order Linkwitz-Riley filters
// at 100 Hz and 2 kHz, each also its target, the target level 3 dB below
// the sensitivity.
inline constexpr double kWooferBandHighPassHz = 100.0;
inline constexpr double kWooferBandLowPassHz = 2000.0;
bool BuildWooferBand(CConfiguration& design, const std::filesystem::path& driverFile,
                     AnalogResponse woofer = MeasuredWoofer);

// Two equalisers of the user's in the band at entries first and second
// (700 Hz and 1.5 kHz) and six notches up high, so that in the woofer's
// band four biquads stay free; false when they do not.
bool LeaveFourBiquads(BandSettings& band, int first, int second);

} // namespace kv::test
