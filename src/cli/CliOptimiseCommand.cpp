#include "CliOptimiseCommand.h"

#include "CliCommand.h"
#include "JsonWriter.h"
#include "hardware/HardwareCheck.h"
#include "math/NumberFormat.h"
#include "model/BandSettings.h"
#include "model/CConfiguration.h"
#include "model/Optimiser.h"

#include <array>
#include <ostream>

namespace kv {
namespace {

// The options from the command line over the band's defaults; false after
// reporting a bad command line (status 2) or a band without room (1).
bool ReadOptions(CliContext& context, const CBand& band, OptimiseOptions& options, int& status) {
    options = DefaultOptimiseOptions(band);
    std::string error;
    const CliArguments& args = context.args;
    const std::optional<double> from =
        args.DoubleValue("--from", kOptimiseLowestHz, kOptimiseHighestHz, error);
    const std::optional<double> to =
        args.DoubleValue("--to", kOptimiseLowestHz, kOptimiseHighestHz, error);
    const std::optional<int> peqs = args.IntValue("--peqs", 0, kEqualisers, error);
    options.fromHz = from.value_or(options.fromHz);
    options.toHz = to.value_or(options.toHz);
    if (error.empty() && !(options.fromHz < options.toHz)) {
        error = "--from must lie below --to (" + FormatGeneral(options.fromHz, 6) + " Hz to " +
                FormatGeneral(options.toHz, 6) + " Hz)";
    }
    if (!error.empty()) {
        status = CliUsageError(context, error);
        return false;
    }
    if (peqs && *peqs > options.equalisers) {
        status = CliFail(context, "The band has room for " + std::to_string(options.equalisers) +
                                      " equalisers, not " + std::to_string(*peqs) +
                                      ": switch off filters to free biquads.");
        return false;
    }
    options.equalisers = peqs.value_or(options.equalisers);
    options.gain = args.Has("--gain");
    options.crossovers = args.Has("--crossovers");
    return true;
}

void WriteDeviation(JsonWriter& json, const std::string& name, const Deviation& deviation) {
    json.Key(name);
    json.BeginObject();
    json.Member("rmsDb", deviation.rmsDb);
    json.Member("largestDb", deviation.largestDb);
    json.EndObject();
}

// The frequency and Qs of a side's crossover slots, which --crossovers
// may have moved.
void WriteSlots(JsonWriter& json, const std::string& name,
                const std::array<CrossoverSettings, kCrossoverSlots>& slots) {
    json.Key(name);
    json.BeginArray();
    for (const CrossoverSettings& slot : slots) {
        json.BeginObject();
        json.Member("freq", slot.freq);
        json.Key("q");
        json.BeginArray();
        for (const double q : slot.q) {
            json.Value(q);
        }
        json.EndArray();
        json.EndObject();
    }
    json.EndArray();
}

void WriteJson(JsonWriter& json, int band, const OptimiseOptions& options,
               const OptimiseResult& result) {
    json.BeginObject();
    json.Member("band", band + 1);
    json.Member("fromHz", options.fromHz);
    json.Member("toHz", options.toHz);
    WriteDeviation(json, "before", result.before);
    WriteDeviation(json, "after", result.after);
    json.Key("peq");
    json.BeginArray();
    for (const int k : result.equalisers) {
        const PeqSettings& peq = result.band.peq[static_cast<std::size_t>(k)];
        json.BeginObject();
        json.Member("index", k + 1);
        json.Member("gain", peq.gain);
        json.Member("freq", peq.freq);
        json.Member("q", peq.q);
        json.EndObject();
    }
    json.EndArray();
    json.Member("gain", result.band.gain);
    if (options.crossovers) {
        WriteSlots(json, "hpFilter", result.band.hpFilter);
        WriteSlots(json, "lpFilter", result.band.lpFilter);
    }
    json.Member("seconds", result.seconds);
    json.EndObject();
}

std::string Described(const Deviation& deviation) {
    return FormatFixed(deviation.rmsDb, 2) + " dB RMS, " + FormatFixed(deviation.largestDb, 2) +
           " dB largest";
}

// The slots of a side whose frequency or Qs the fit changed.
void WriteMovedSlots(std::ostream& out, const char* side,
                     const std::array<CrossoverSettings, kCrossoverSlots>& before,
                     const std::array<CrossoverSettings, kCrossoverSlots>& after) {
    for (std::size_t j = 0; j < before.size(); ++j) {
        if (before[j] == after[j]) {
            continue;
        }
        out << side << " filter " << j + 1 << ": " << FormatFixed(after[j].freq, 2) << " Hz, Q";
        for (int k = 0; k < BiquadsForOrder(after[j].order); ++k) {
            out << ' ' << FormatFixed(after[j].q[static_cast<std::size_t>(k)], 4);
        }
        out << '\n';
    }
}

void WriteSummary(std::ostream& out, int band, const OptimiseOptions& options,
                  const BandSettings& before, const OptimiseResult& result) {
    out << "Band " << band + 1 << " from " << FormatGeneral(options.fromHz, 6) << " Hz to "
        << FormatGeneral(options.toHz, 6) << " Hz\n"
        << "Deviation before: " << Described(result.before) << '\n'
        << "Deviation after:  " << Described(result.after) << '\n';
    if (result.outcome == OptimiseOutcome::NoImprovement) {
        out << "Nothing the optimiser may change brings the band closer: it stays as it was.\n";
    }
    for (const int k : result.equalisers) {
        const PeqSettings& peq = result.band.peq[static_cast<std::size_t>(k)];
        out << "Equaliser " << k + 1 << ": " << FormatFixed(peq.freq, 2) << " Hz, "
            << FormatFixed(peq.gain, 2) << " dB, Q " << FormatFixed(peq.q, 4) << '\n';
    }
    if (options.gain) {
        out << "Gain: " << FormatFixed(result.band.gain, 2) << " dB\n";
    }
    if (options.crossovers) {
        WriteMovedSlots(out, "High-pass", before.hpFilter, result.band.hpFilter);
        WriteMovedSlots(out, "Low-pass", before.lpFilter, result.band.lpFilter);
    }
    out << "Time: " << FormatFixed(result.seconds, 3) << " s\n";
}

} // namespace

int RunOptimise(CliContext& context) {
    CConfiguration design;
    int status = kExitSuccess;
    CBand* band = CliLoadBand(context, design, status);
    OptimiseOptions options;
    if (band == nullptr || !ReadOptions(context, *band, options, status)) {
        return status;
    }
    const int index = static_cast<int>(band - design.bands.data());
    OptimiseProblem problem;
    if (!MakeOptimiseProblem(design, index, problem)) {
        return CliFail(context, "The band's responses could not be computed.");
    }
    const OptimiseResult result = OptimiseBand(problem, options, BandPassesHardwareCheck);
    if (result.outcome == OptimiseOutcome::Refused) {
        return CliFail(context, result.reason);
    }
    band->SetSettings(result.band);
    if (!design.Save(*context.args.Value("-o"), context.messages)) {
        return kExitFailed;
    }
    return CliPrintResult(
        context, [&](JsonWriter& json) { WriteJson(json, index, options, result); },
        [&](std::ostream& out) { WriteSummary(out, index, options, problem.band, result); });
}

} // namespace kv
