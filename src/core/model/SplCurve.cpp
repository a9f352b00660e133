#include "model/SplCurve.h"

#include "archive/FileProblems.h"
#include "archive/PathText.h"
#include "import/CImportEngine.h"
#include "import/ImportFormat.h"
#include "import/VSmooth.h"
#include "math/ResponseCurves.h"
#include "math/Rounding.h"
#include "model/BandSettings.h"

#include <algorithm>
#include <cmath>
#include <numeric>
#include <vector>

namespace kv {
namespace {

bool HoldsFrequencyResponse(const CImportEngine& engine) {
    return engine.Kind() == ImportKind::FrequencyResponse || engine.Kind() == ImportKind::Both;
}

// The points above 0 Hz (a logarithm of 0 awaits the others), by ascending
// frequency: the smoothing and the response lookup rely on that order, and
// several layouts are stored as measured.
std::vector<int> UsablePointOrder(const VDoubleVec& frequencies) {
    std::vector<int> order(static_cast<std::size_t>(frequencies.GetSize()));
    std::iota(order.begin(), order.end(), 0);
    std::erase_if(order, [&frequencies](int i) { return !(frequencies[i] > 0.0); });
    std::stable_sort(order.begin(), order.end(),
                     [&frequencies](int a, int b) { return frequencies[a] < frequencies[b]; });
    return order;
}

// Levels in dB and phases in radians, one each per frequency.
bool StoreCurve(BandSettings& band, const VDoubleVec& frequencies, const VDoubleVec& levels,
                const VDoubleVec& phases, const std::filesystem::path& fileName) {
    const std::vector<int> order = UsablePointOrder(frequencies);
    const int n = static_cast<int>(order.size());
    VDoubleVec sorted;
    VComplexVec raw;
    if (n < 2 || !sorted.SetSize(n) || !raw.SetSize(n)) {
        return false;
    }
    for (int i = 0; i < n; ++i) {
        const int from = order[static_cast<std::size_t>(i)];
        sorted[i] = frequencies[from];
        raw[i] = FromPolar(DbToGain(levels[from]), phases[from]);
    }
    return band.SetSplCurve(sorted, raw, PathText(fileName));
}

} // namespace

std::string SplImportFailure(const CImportEngine& imported, const std::filesystem::path& fileName,
                             const GateReport& report) {
    const std::string name = QuotedPath(fileName);
    std::string why;
    if (imported.Reason().empty()) {
        why = WhyNotReadable(fileName);
    } else if (imported.Format() == ImportFormat::Unknown) {
        why = name + " is not a measurement the program can read: " + imported.Reason() + ".";
    } else if (imported.Kind() == ImportKind::Impedance) {
        why = name + " is an impedance curve, not a driver's response.";
    } else if (imported.Kind() == ImportKind::Nothing) {
        why = name + " was read as " + imported.Reason() + ".";
    } else if (imported.Kind() == ImportKind::TimeResponse) {
        why = DescribeGateOutcome(report.outcome);
    }
    if (why.empty()) {
        why = name + " holds fewer than two points above 0 Hz.";
    }
    return WithReason(kSplImportFailed, why);
}

bool LoadSplCurve(BandSettings& band, const std::filesystem::path& fileName,
                  IMessageBox& messages) {
    CImportEngine engine;
    return engine.Import(messages, fileName) && LoadSplCurve(band, engine, fileName);
}

bool LoadSplCurve(BandSettings& band, const CImportEngine& engine,
                  const std::filesystem::path& fileName, const ImpulseGate& gate,
                  GateReport* report) {
    ImpulseGating gating;
    return LoadSplCurve(band, engine, fileName, gating, gate, report);
}

bool LoadSplCurve(BandSettings& band, const CImportEngine& engine,
                  const std::filesystem::path& fileName, ImpulseGating& gating,
                  const ImpulseGate& gate, GateReport* report) {
    if (engine.Kind() == ImportKind::TimeResponse) {
        GatedCurve curve;
        const GateOutcome outcome =
            gating.Gate(engine.TimeSamples(), engine.SampleRate(), gate, curve);
        if (report != nullptr) {
            *report = {outcome, curve.appliedMs, curve.clamped};
        }
        return outcome == GateOutcome::Gated &&
               StoreCurve(band, curve.frequencies, curve.levels, curve.phases, fileName);
    }
    return HoldsFrequencyResponse(engine) &&
           StoreCurve(band, engine.Frequencies(), engine.Levels(), engine.Phases(), fileName);
}

} // namespace kv
