// Writes the example designs and the measurement files of their drivers
// under examples/: three drivers modelled as a measurement would show them
// (level and minimum phase of their mechanical and acoustic roll-offs, with
// a little measurement ripple), and a 3-way and a 2-way design built on
// them the way a user builds one in the program.
//
//     kv_make_examples EXAMPLES_FOLDER

#include "ToolMessages.h"
#include "filters/AlignmentTable.h"
#include "model/CConfiguration.h"
#include "model/SplCurve.h"

#include <cmath>
#include <complex>
#include <fstream>
#include <iostream>
#include <numbers>
#include <vector>

namespace {

using Complex = std::complex<double>;

// Second-order sections of the analog prototypes, at s = j f / corner.
Complex Normalised(double hz, double corner) {
    return {0.0, hz / corner};
}

Complex HighPass2(double hz, double corner, double q) {
    const Complex s = Normalised(hz, corner);
    return s * s / (s * s + s / q + 1.0);
}

Complex LowPass2(double hz, double corner, double q) {
    const Complex s = Normalised(hz, corner);
    return 1.0 / (s * s + s / q + 1.0);
}

Complex LowPass1(double hz, double corner) {
    return 1.0 / (Normalised(hz, corner) + 1.0);
}

Complex Peak(double hz, double centre, double q, double dB) {
    const Complex s = Normalised(hz, centre);
    const double a = std::pow(10.0, dB / 40.0);
    return (s * s + s * a / q + 1.0) / (s * s + s / (a * q) + 1.0);
}

// A driver as its measurement shows it: sensitivity in dB SPL and a model
// of its response.
struct Driver {
    const char* file;
    const char* description;
    double sensitivity;
    Complex (*response)(double hz);
    // Seed of the driver's own measurement ripple.
    double ripplePhase;
};

Complex Woofer(double hz) {
    return HighPass2(hz, 42.0, 0.55) * LowPass2(hz, 2400.0, 0.65) * Peak(hz, 4300.0, 4.0, 7.0) *
           LowPass1(hz, 7000.0);
}

Complex Midrange(double hz) {
    return HighPass2(hz, 190.0, 0.85) * Peak(hz, 1100.0, 2.0, 2.0) * LowPass2(hz, 9000.0, 0.7) *
           Peak(hz, 11500.0, 3.0, 4.0);
}

Complex Tweeter(double hz) {
    return HighPass2(hz, 950.0, 1.1) * Peak(hz, 12000.0, 0.7, 1.5) * LowPass2(hz, 27000.0, 0.9);
}

const Driver kWoofer{"woofer.frd", "8 inch woofer in a 30 litre closed box", 88.0, Woofer, 0.3};
const Driver kMidrange{"midrange.frd", "4 inch midrange", 90.0, Midrange, 1.9};
const Driver kTweeter{"tweeter.frd", "1 inch dome tweeter", 91.0, Tweeter, 4.1};

// A few tenths of a dB of smooth ripple, as room and baffle leave in any
// gated measurement.
double Ripple(double hz, double phase) {
    const double octaves = std::log2(hz);
    return 0.25 * std::sin(2.3 * octaves + phase) + 0.15 * std::sin(5.1 * octaves + 2.0 * phase);
}

bool WriteDriver(const std::filesystem::path& folder, const Driver& driver) {
    std::ofstream out(folder / driver.file);
    out << "* Kestrelvane example driver: " << driver.description << "\n"
        << "* Modelled, not measured. Freq(Hz)  SPL(dB)  Phase(degrees)\n";
    constexpr int kPointsPerOctave = 48;
    for (int i = 0;; ++i) {
        const double hz = 10.0 * std::exp2(static_cast<double>(i) / kPointsPerOctave);
        if (hz > 24000.0) {
            break;
        }
        const Complex h = driver.response(hz);
        const double dB =
            driver.sensitivity + 20.0 * std::log10(std::abs(h)) + Ripple(hz, driver.ripplePhase);
        const double degrees = std::arg(h) * 180.0 / std::numbers::pi;
        out << std::fixed;
        out.precision(3);
        out << hz << "\t" << dB << "\t" << degrees << "\n";
    }
    out.close();
    return static_cast<bool>(out);
}

// A fourth-order Linkwitz-Riley with its sections from the alignment table,
// as the crossover dialogs store it.
kv::CrossoverSettings LinkwitzRiley4(double hz, bool highPass) {
    return kv::AlignedSettings(kv::CrossoverType::LinkwitzRiley, 4, hz,
                               highPass ? kv::CrossoverSide::HighPass : kv::CrossoverSide::LowPass);
}

// A fourth-order Linkwitz-Riley high-pass (slot 0), as filter and as target.
bool CrossHighPass(kv::CBand& band, double hz) {
    const kv::CrossoverSettings settings = LinkwitzRiley4(hz, true);
    return band.SetHighPass(0, settings) && band.SetHighPassTarget(0, settings) &&
           band.EnableHighPass(0, true);
}

bool CrossLowPass(kv::CBand& band, double hz) {
    const kv::CrossoverSettings settings = LinkwitzRiley4(hz, false);
    return band.SetLowPass(0, settings) && band.SetLowPassTarget(0, settings) &&
           band.EnableLowPass(0, true);
}

bool LoadDriver(kv::CBand& band, const Driver& driver, kv::IMessageBox& messages) {
    return kv::LoadSplCurve(band, std::filesystem::path("drivers") / driver.file, messages);
}

// Tweeter over 2.8 kHz, midrange 350 Hz to 2.8 kHz, woofer below 350 Hz,
// each taken down to the woofer's level, the woofer's cone break-up
// notched out.
bool MakeThreeWay(kv::IMessageBox& messages) {
    kv::CConfiguration design;
    design.New(3, kv::kDesignSampleRate);
    design.SetTitle("Example 3-way");
    kv::CBand& hf = design.bands[0];
    kv::CBand& mf = design.bands[1];
    kv::CBand& lf = design.bands[2];
    const bool built = design.SetTargetLevel(86.0) && LoadDriver(hf, kTweeter, messages) &&
                       LoadDriver(mf, kMidrange, messages) && LoadDriver(lf, kWoofer, messages) &&
                       CrossHighPass(hf, 2800.0) && hf.SetGain(-5.0) &&
                       hf.SetHighShelf(-1.5, 10000.0, true) && design.SetDelay(0, 0.00012) &&
                       CrossHighPass(mf, 350.0) && CrossLowPass(mf, 2800.0) && mf.SetGain(-4.0) &&
                       mf.SetPeq(0, -2.0, 1100.0, 2.0, true) && design.SetDelay(1, 0.00005) &&
                       CrossLowPass(lf, 350.0) && lf.SetGain(-2.0) &&
                       lf.SetNotch(0, 4300.0, 4.0, true) && lf.SetLowShelf(2.0, 60.0, true);
    return built && design.Save("three-way.ksv", messages);
}

bool MakeTwoWay(kv::IMessageBox& messages) {
    kv::CConfiguration design;
    design.New(2, kv::kDesignSampleRate);
    design.SetTitle("Example 2-way");
    kv::CBand& hf = design.bands[0];
    kv::CBand& lf = design.bands[1];
    const bool built = design.SetTargetLevel(86.0) && LoadDriver(hf, kTweeter, messages) &&
                       LoadDriver(lf, kWoofer, messages) && CrossHighPass(hf, 2200.0) &&
                       hf.SetGain(-5.0) && design.SetDelay(0, 0.0001) && CrossLowPass(lf, 2200.0) &&
                       lf.SetGain(-2.0) && lf.SetNotch(0, 4300.0, 4.0, true);
    return built && design.Save("two-way.ksv", messages);
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: kv_make_examples EXAMPLES_FOLDER\n";
        return 2;
    }
    const std::filesystem::path folder(argv[1]);
    std::error_code error;
    std::filesystem::create_directories(folder / "drivers", error);
    if (!error) {
        std::filesystem::current_path(folder, error);
    }
    if (error) {
        std::cerr << "cannot work in " << folder << ": " << error.message() << "\n";
        return 1;
    }
    kv::tools::PrintedMessages messages;
    for (const Driver* driver : {&kWoofer, &kMidrange, &kTweeter}) {
        if (!WriteDriver("drivers", *driver)) {
            std::cerr << "cannot write " << driver->file << "\n";
            return 1;
        }
    }
    if (!MakeThreeWay(messages) || !MakeTwoWay(messages)) {
        std::cerr << "cannot build the example designs\n";
        return 1;
    }
    return 0;
}
