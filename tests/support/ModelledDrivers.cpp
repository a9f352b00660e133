#include "support/ModelledDrivers.h"

#include "filters/AlignmentTable.h"
#include "import/CImportEngine.h"
#include "model/CConfiguration.h"
#include "model/SplCurve.h"
#include "support/TestSupport.h"

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

// A peak (dB above 0) or dip (below) whose zeros and poles both lie in the
// left half plane.
Complex Bell(double hz, double centre, double q, double dB) {
    const double a = std::pow(10.0, dB / 40.0);
    const Complex s(0.0, hz / centre);
    return (s * s + s * a / q + 1.0) / (s * s + s / (a * q) + 1.0);
}

} // namespace

Complex ModelledWoofer(double hz) {
    return HighPass(hz, 48.0, 0.7) * Bell(hz, 700.0, 0.8, -3.0) * Bell(hz, 4500.0, 5.0, 6.0) *
           LowPass(hz, 3200.0, 0.6);
}

Complex ModelledTweeter(double hz) {
    return HighPass(hz, 850.0, 1.2) * Bell(hz, 2600.0, 1.4, -2.0) * Bell(hz, 9000.0, 3.0, 4.0) *
           LowPass(hz, 11000.0, 0.7);
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

} // namespace kv::test
