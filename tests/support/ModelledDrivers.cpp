#include "support/ModelledDrivers.h"

#include "filters/AlignmentTable.h"
#include "import/CImportEngine.h"
#include "model/CConfiguration.h"
#include "model/SplCurve.h"
#include "support/TestSupport.h"

#include <array>
#include <cmath>
#include <fstream>
#include <numbers>
#include <vector>

namespace kv::test {
namespace {

using Complex = std::complex<double>;

// A second-order section of an analog prototype at s = j·f/corner:
// (b2·s² + b1·s + b0) / (s² + s/q + 1).
Complex Section(double hz, double corner, double q, double b2, double b1, double b0) {
    const Complex s(0.0, hz / corner);
    return (b2 * s * s + b1 * s + b0) / (s * s + s / q + 1.0);
}

Complex HighPass(double hz, double corner, double q) {
    return Section(hz, corner, q, 1.0, 0.0, 0.0);
}

Complex LowPass(double hz, double corner, double q) {
    return Section(hz, corner, q, 0.0, 0.0, 1.0);
}

} // namespace

// Its zeros and poles both lie in the left half plane.
Complex AnalogBell(double hz, double centre, double q, double dB) {
    const double a = std::pow(10.0, dB / 40.0);
    const Complex s(0.0, hz / centre);
    return (s * s + s * a / q + 1.0) / (s * s + s / (a * q) + 1.0);
}

Complex ModelledWoofer(double hz) {
    return HighPass(hz, 48.0, 0.7) * AnalogBell(hz, 700.0, 0.8, -3.0) *
           AnalogBell(hz, 4500.0, 5.0, 6.0) * LowPass(hz, 3200.0, 0.6);
}

Complex ModelledTweeter(double hz) {
    return HighPass(hz, 850.0, 1.2) * AnalogBell(hz, 2600.0, 1.4, -2.0) *
           AnalogBell(hz, 9000.0, 3.0, 4.0) * LowPass(hz, 11000.0, 0.7);
}

Complex MeasuredWoofer(double hz) {
    constexpr std::array<std::array<double, 3>, 7> kRipple{{{75.0, 3.0, -0.3},
                                                            {130.0, 2.5, 0.5},
                                                            {420.0, 3.0, -0.4},
                                                            {640.0, 2.0, 0.35},
                                                            {1400.0, 3.0, -0.5},
                                                            {2200.0, 4.0, 0.4},
                                                            {5000.0, 3.0, 0.5}}};
    Complex h = ModelledWoofer(hz);
    for (const auto& [centre, q, dB] : kRipple) {
        h *= AnalogBell(hz, centre, q, dB);
    }
    return h;
}

std::vector<double> LatticeFrequencies(double firstHz, double lastHz) {
    std::vector<double> frequencies;
    for (int k = 0;; ++k) {
        const double hz = 10.0 * std::exp2(k / 48.0);
        if (hz > lastHz * (1.0 + 1e-9)) {
            return frequencies;
        }
        if (hz >= firstHz * (1.0 - 1e-9)) {
            frequencies.push_back(hz);
        }
    }
}

bool WriteDriverFile(const std::filesystem::path& path, const DriverFile& file) {
    std::ofstream out(path);
    out << "* Modelled driver\n* Freq(Hz) SPL(dB)" << (file.withPhase ? " Phase(deg)" : "") << "\n";
    out.precision(17);
    for (const double hz : LatticeFrequencies(file.firstHz, file.lastHz)) {
        const Complex h = file.response(hz);
        out << hz << ' ' << file.sensitivity + 20.0 * std::log10(std::abs(h));
        if (file.withPhase) {
            const double radians = std::arg(h) - 2.0 * std::numbers::pi * hz * file.delaySeconds;
            out << ' '
                << std::remainder(radians, 2.0 * std::numbers::pi) * 180.0 / std::numbers::pi;
        }
        out << '\n';
    }
    return static_cast<bool>(out);
}

bool LoadDriverFile(BandSettings& band, const std::filesystem::path& path, const DriverFile& file,
                    const SplPhase& phase, PhaseReport* report) {
    RecordingMessageBox messages;
    CImportEngine engine;
    return WriteDriverFile(path, file) && engine.Import(messages, path) &&
           LoadSplCurve(band, engine, path, {}, nullptr, phase, report);
}

bool CrossTwoWay(CConfiguration& design, double hz, int order) {
    if (!design.New(2, kDesignSampleRate)) {
        return false;
    }
    bool crossed = true;
    for (const CrossoverSide side : {CrossoverSide::HighPass, CrossoverSide::LowPass}) {
        const CrossoverSettings slot =
            AlignedSettings(CrossoverType::LinkwitzRiley, order, hz, side);
        CBand& band = design.bands[side == CrossoverSide::HighPass ? 0 : 1];
        crossed = crossed && band.SetCrossover(side, 0, slot) &&
                  band.SetCrossoverTarget(side, 0, slot) && band.EnableCrossover(side, 0, true);
    }
    return crossed;
}

bool BuildWooferBand(CConfiguration& design, const std::filesystem::path& driverFile,
                     AnalogResponse woofer) {
    constexpr double kSensitivity = 88.0;
    CBand& band = design.bands[0];
    const CrossoverSettings high = AlignedSettings(CrossoverType::LinkwitzRiley, 4,
                                                   kWooferBandHighPassHz, CrossoverSide::HighPass);
    const CrossoverSettings low = AlignedSettings(CrossoverType::LinkwitzRiley, 4,
                                                  kWooferBandLowPassHz, CrossoverSide::LowPass);
    return design.New(2, kDesignSampleRate) &&
           LoadDriverFile(band, driverFile, {woofer, kSensitivity, 10.0, 40000.0, true}) &&
           band.SetHighPass(0, high) && band.SetHighPassTarget(0, high) &&
           band.EnableHighPass(0, true) && band.SetLowPass(0, low) &&
           band.SetLowPassTarget(0, low) && band.EnableLowPass(0, true) &&
           design.SetTargetLevel(kSensitivity - 3.0);
}

bool LeaveFourBiquads(BandSettings& band, int first, int second) {
    bool set =
        band.SetPeq(first, -2.0, 700.0, 2.0, true) && band.SetPeq(second, 3.0, 1500.0, 1.0, true);
    for (int k = 0; k < kNotches; ++k) {
        set = set && band.SetNotch(k, 8000.0 + 1000.0 * k, 10.0, true);
    }
    return set && band.FreeBiquads() == 4;
}

} // namespace kv::test
