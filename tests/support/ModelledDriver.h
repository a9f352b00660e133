#pragma once

// A 6.5 inch mid-woofer as its measurement would show it, for the
// optimiser's tests and benchmarks: 88 dB sensitivity, a closed-box
// roll-off, the resonance of its surround, the dip a baffle edge leaves and
// the break-up peak of its cone, and the half-decibel ripple the room
// leaves in a gated measurement; each with the minimum phase it brings.

#include "filters/AlignmentTable.h"
#include "model/CConfiguration.h"
#include "model/SplCurve.h"

#include <cmath>
#include <complex>
#include <filesystem>
#include <fstream>
#include <numbers>

namespace kv::test {

struct DriverFeature {
    double hz;
    double q;
    double dB;
};

inline constexpr double kDriverSensitivityDb = 88.0;
inline constexpr DriverFeature kSurroundResonance{280.0, 5.0, 4.5};
inline constexpr DriverFeature kBaffleDip{900.0, 1.2, -4.0};
inline constexpr DriverFeature kConeBreakUp{3200.0, 4.0, 9.0};
inline constexpr DriverFeature kRipple[] = {
    {130.0, 2.5, 0.5},  {420.0, 3.0, -0.4}, {640.0, 2.0, 0.35}, {1400.0, 3.0, -0.5},
    {2200.0, 4.0, 0.4}, {75.0, 3.0, -0.3},  {5000.0, 3.0, 0.5},
};

enum class AnalogKind { Bell, HighPass, LowPass };

// An analogue second-order section at s = j·f/f0: a bell of dB, s² + s·a/q
// + 1 over s² + s/(a·q) + 1 with a = 10^(dB/40), or a pass section of that
// Q.
inline std::complex<double> AnalogSection(double hz, const DriverFeature& f,
                                          AnalogKind kind = AnalogKind::Bell) {
    const std::complex<double> s(0.0, hz / f.hz);
    const std::complex<double> denominator = s * s + s / f.q + 1.0;
    if (kind != AnalogKind::Bell) {
        return (kind == AnalogKind::HighPass ? s * s : 1.0) / denominator;
    }
    const double a = std::pow(10.0, f.dB / 40.0);
    return (s * s + s * a / f.q + 1.0) / (s * s + s / (a * f.q) + 1.0);
}

inline std::complex<double> ModelledDriver(double hz) {
    const std::complex<double> roll = AnalogSection(hz, {52.0, 0.8, 0.0}, AnalogKind::HighPass) *
                                      AnalogSection(hz, {7000.0, 0.7, 0.0}, AnalogKind::LowPass);
    std::complex<double> h = std::pow(10.0, kDriverSensitivityDb / 20.0) * roll *
                             AnalogSection(hz, kSurroundResonance) * AnalogSection(hz, kBaffleDip) *
                             AnalogSection(hz, kConeBreakUp);
    for (const DriverFeature& ripple : kRipple) {
        h *= AnalogSection(hz, ripple);
    }
    return h;
}

// The driver as a measurement program's text export, "Freq SPL Phase" with
// a star comment, at points spaced evenly in log frequency from 10 Hz to
// 24 kHz.
inline bool WriteModelledDriver(const std::filesystem::path& path, int points) {
    std::ofstream out(path);
    out << "* Modelled mid-woofer. Freq(Hz)  SPL(dB)  Phase(degrees)\n";
    out.precision(10);
    for (int i = 0; i < points; ++i) {
        const double hz = 10.0 * std::pow(2400.0, static_cast<double>(i) / (points - 1));
        const std::complex<double> h = ModelledDriver(hz);
        out << hz << '\t' << 20.0 * std::log10(std::abs(h)) << '\t'
            << std::arg(h) * 180.0 / std::numbers::pi << '\n';
    }
    out.close();
    return static_cast<bool>(out);
}

// A fourth-order Linkwitz-Riley slot with its alignment's sections.
inline CrossoverSettings LinkwitzRiley4(double hz, bool highPass) {
    CrossoverSettings settings;
    settings.freq = hz;
    settings.order = 4;
    AlignmentRecord record;
    LookupAlignment(record, settings.order, CrossoverType::LinkwitzRiley, highPass);
    for (std::size_t k = 0; k < kCrossoverSections; ++k) {
        settings.freqOfs[k] = record.sections[k].ratio;
        settings.q[k] = record.sections[k].q;
    }
    return settings;
}

// The crossover points and the level of the band built on the driver.
inline constexpr double kModelledHighPassHz = 100.0;
inline constexpr double kModelledLowPassHz = 2000.0;
inline constexpr double kModelledTargetLevelDb = 85.0;

// Band 1 of design as the mid-woofer's band of a 2-way: its curve loaded
// from driverFile, fourth-order Linkwitz-Riley filters and targets at
// 100 Hz and 2 kHz, the target level 3 dB below the driver's sensitivity.
inline bool BuildModelledBand(CConfiguration& design, const std::filesystem::path& driverFile,
                              IMessageBox& messages) {
    CBand& band = design.bands[0];
    const CrossoverSettings high = LinkwitzRiley4(kModelledHighPassHz, true);
    const CrossoverSettings low = LinkwitzRiley4(kModelledLowPassHz, false);
    return design.New(2, kDesignSampleRate) && LoadSplCurve(band, driverFile, messages) &&
           band.SetHighPass(0, high) && band.SetHighPassTarget(0, high) &&
           band.EnableHighPass(0, true) && band.SetLowPass(0, low) &&
           band.SetLowPassTarget(0, low) && band.EnableLowPass(0, true) &&
           design.SetTargetLevel(kModelledTargetLevelDb);
}

// Two equalisers of the user's at entries first and second (700 Hz and
// 1.5 kHz) and six notches up high in the modelled band: four biquads
// stay free.
inline bool LeaveFourBiquads(CBand& band, int first, int second) {
    bool set =
        band.SetPeq(first, -2.0, 700.0, 2.0, true) && band.SetPeq(second, 3.0, 1500.0, 1.0, true);
    for (int k = 0; k < kNotches; ++k) {
        set = set && band.SetNotch(k, 8000.0 + 1000.0 * k, 10.0, true);
    }
    return set && band.FreeBiquads() == 4;
}

} // namespace kv::test
