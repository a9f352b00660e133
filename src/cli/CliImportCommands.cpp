#include "CliImportCommands.h"

#include "CliCommand.h"
#include "JsonWriter.h"
#include "archive/FileProblems.h"
#include "import/CImportEngine.h"
#include "import/VInputFile.h"
#include "math/NumberFormat.h"
#include "model/CConfiguration.h"
#include "model/ImpulseGate.h"
#include "model/SplCurve.h"

#include <ostream>
#include <string>
#include <vector>

namespace kv {
namespace {

template <typename Values>
void WriteArray(JsonWriter& json, const std::string& name, const Values& values) {
    json.Key(name);
    json.BeginArray();
    for (const auto& value : values) {
        json.Value(value);
    }
    json.EndArray();
}

std::string JoinedNames(const std::vector<std::string>& names) {
    std::string joined;
    for (const std::string& name : names) {
        joined += (joined.empty() ? "" : ", ") + name;
    }
    return joined;
}

const char* PhaseContentName(PhaseContent content) {
    switch (content) {
    case PhaseContent::GroupDelay:
        return "groupDelay";
    case PhaseContent::None:
        return "none";
    case PhaseContent::Phase:
        break;
    }
    return "phase";
}

bool HoldsCurveWithoutPhase(const CImportEngine& engine) {
    return (engine.Kind() == ImportKind::FrequencyResponse || engine.Kind() == ImportKind::Both) &&
           engine.PhaseHeld() != PhaseContent::Phase;
}

void WriteImportJson(JsonWriter& json, const CImportEngine& engine) {
    json.BeginObject();
    json.Member("format", static_cast<int>(engine.Format()));
    json.Member("kind", static_cast<int>(engine.Kind()));
    json.Member("binary", engine.Binary());
    WriteArray(json, "frequencies", engine.Frequencies());
    WriteArray(json, "levels", engine.Levels());
    WriteArray(json, "phases", engine.Phases());
    WriteArray(json, "impedanceMagnitudes", engine.ImpedanceMagnitudes());
    WriteArray(json, "impedancePhases", engine.ImpedancePhases());
    WriteArray(json, "timeSamples", engine.TimeSamples());
    json.Member("sampleRate", engine.SampleRate());
    json.Member("sensitivity", engine.Sensitivity());
    // Only a frequency response without a phase says so (and gives its
    // group delay): what a file with a phase gives stays as it was.
    if (HoldsCurveWithoutPhase(engine)) {
        json.Member("phaseContent", PhaseContentName(engine.PhaseHeld()));
        if (engine.PhaseHeld() == PhaseContent::GroupDelay) {
            WriteArray(json, "groupDelays", engine.GroupDelays());
        }
    }
    // Only files that name their level columns have these members.
    if (!engine.LevelColumns().empty()) {
        json.Member("levelColumn", engine.LevelColumn());
        WriteArray(json, "levelColumns", engine.LevelColumns());
    }
    json.EndObject();
}

const char* KindName(ImportKind kind) {
    switch (kind) {
    case ImportKind::FrequencyResponse:
        return "frequency response";
    case ImportKind::Impedance:
        return "impedance";
    case ImportKind::Both:
        return "frequency response and impedance";
    case ImportKind::TimeResponse:
        return "time response";
    case ImportKind::Nothing:
        break;
    }
    return "nothing";
}

void WriteImportSummary(std::ostream& out, const CImportEngine& engine) {
    out << "Format: " << static_cast<int>(engine.Format())
        << (engine.Binary() ? " (binary)" : " (text)")
        << "\nKind: " << static_cast<int>(engine.Kind()) << " (" << KindName(engine.Kind())
        << ")\n";
    const VDoubleVec& frequencies = engine.Frequencies();
    if (!frequencies.Empty()) {
        out << "Points: " << frequencies.GetSize() << ", " << frequencies[0] << " Hz to "
            << frequencies[frequencies.GetSize() - 1] << " Hz\n";
    }
    if (engine.Kind() == ImportKind::TimeResponse) {
        out << "Samples: " << engine.TimeSamples().GetSize() << " at " << engine.SampleRate()
            << " Hz\n";
    }
    if (engine.Sensitivity() != 0.0) {
        out << "Sensitivity: " << engine.Sensitivity() << '\n';
    }
    if (HoldsCurveWithoutPhase(engine)) {
        out << (engine.PhaseHeld() == PhaseContent::GroupDelay
                    ? "Phase: none; the third column is a group delay in seconds\n"
                    : "Phase: none\n");
    }
    if (!engine.LevelColumns().empty()) {
        out << "Level column: " << engine.LevelColumn() << " (of "
            << JoinedNames(engine.LevelColumns()) << ")\n";
    }
}

std::string UnknownColumnMessage(const CImportEngine& engine, const std::string& column,
                                 const std::string& path) {
    const std::vector<std::string>& columns = engine.LevelColumns();
    return "No level column \"" + column + "\" in " + path +
           (columns.empty() ? " (it names no level column)"
                            : " (it has " + JoinedNames(columns) + ")");
}

// The gate that --gate and --window ask for; none, with the reason in
// error, for a value they cannot take.
std::optional<ImpulseGate> GateOptions(const CliArguments& args, std::string& error) {
    ImpulseGate gate;
    gate.lengthMs =
        args.DoubleValue("--gate", kMinGateMs, kMaxGateMs, error).value_or(gate.lengthMs);
    if (!error.empty()) {
        return std::nullopt;
    }
    if (const std::optional<std::string> name = args.Value("--window")) {
        const std::optional<WindowType> window = GateWindowNamed(*name);
        if (!window) {
            error = "--window takes one of: " + JoinedNames(GateWindowNames());
            return std::nullopt;
        }
        gate.window = *window;
    }
    return gate;
}

// Where the gate met the end of the file, or the gate options met a
// frequency response, the user hears of it.
void NoteGate(CliContext& context, const CImportEngine& engine, const GateReport& report) {
    const bool asked = context.args.Has("--gate") || context.args.Has("--window");
    if (engine.Kind() != ImportKind::TimeResponse) {
        if (asked) {
            context.err << "kestrelvane-cli: the file holds a frequency response; --gate and "
                           "--window apply to impulse responses only and were ignored\n";
        }
    } else if (report.clamped) {
        context.err << "kestrelvane-cli: the impulse response ends "
                    << FormatFixed(report.appliedMs, 2) << " ms after its peak; gated there\n";
    }
}

// The phase that --phase, --offset and --remove-flight-time ask for; none,
// with the reason in error, for a value they cannot take.
std::optional<SplPhase> PhaseOptions(const CliArguments& args, std::string& error) {
    SplPhase phase;
    if (const std::optional<std::string> choice = args.Value("--phase")) {
        if (*choice != "measured" && *choice != "minimum") {
            error = "--phase takes measured or minimum";
            return std::nullopt;
        }
        phase.choice = *choice == "measured" ? PhaseChoice::Measured : PhaseChoice::Minimum;
    }
    phase.offsetMs =
        args.DoubleValue("--offset", -kMaxSplOffsetMs, kMaxSplOffsetMs, error).value_or(0.0);
    phase.removeFlightTime = args.Has("--remove-flight-time");
    return error.empty() ? std::optional<SplPhase>(phase) : std::nullopt;
}

// A curve without a measured phase, and the flight time that was asked to
// go, the user hears of.
void NotePhase(CliContext& context, const std::string& path, const PhaseReport& report) {
    if (report.content == PhaseContent::GroupDelay && !report.minimum) {
        context.err << "kestrelvane-cli: the third column of " << path
                    << " is a group delay; the curve's phase is integrated from it\n";
    } else if (report.content == PhaseContent::None) {
        context.err << "kestrelvane-cli: " << path << " carries no phase; "
                    << (report.minimum ? "the curve gets the minimum phase of its magnitude"
                                       : "the curve keeps a phase of 0")
                    << "\n";
    }
    if (!context.args.Has("--remove-flight-time")) {
        return;
    }
    if (report.flightTimeRemoved) {
        context.out << "Flight time removed: " << FormatFixed(*report.flightTimeMs, 4) << " ms\n";
    } else {
        context.err << "kestrelvane-cli: the curve carries no measured phase whose flight time "
                       "could be told; --remove-flight-time was ignored\n";
    }
}

} // namespace

int RunImport(CliContext& context) {
    const std::string& path = context.args.Positionals()[0];
    VInputFile file;
    if (!file.Open(path)) {
        return CliFail(context, WithReason(kCannotOpenFile, WhyNotReadable(path)));
    }
    CliMessageBox answers(context.err, context.args.Has("--spl-is-impedance")
                                           ? IMessageBox::Answer::No
                                           : IMessageBox::Answer::Yes);
    CImportEngine engine;
    if (!engine.Import(answers, file, path)) {
        return CliFail(context, (engine.Format() == ImportFormat::Unknown
                                     ? "Unknown measurement file format: " + path
                                     : "Failed to read the measurement file: " + path) +
                                    " (" + engine.Reason() + ")");
    }
    return CliPrintResult(
        context, [&engine](JsonWriter& json) { WriteImportJson(json, engine); },
        [&engine](std::ostream& out) { WriteImportSummary(out, engine); });
}

int RunLoadSpl(CliContext& context) {
    std::string error;
    const std::optional<int> smoothing =
        context.args.IntValue("--smoothing", kMinSmoothing, kMaxSmoothing, error);
    const std::optional<ImpulseGate> gate =
        error.empty() ? GateOptions(context.args, error) : std::nullopt;
    const std::optional<SplPhase> phase =
        error.empty() ? PhaseOptions(context.args, error) : std::nullopt;
    if (!error.empty()) {
        return CliUsageError(context, error);
    }
    CConfiguration design;
    int status = kExitSuccess;
    CBand* target = CliLoadBand(context, design, status);
    if (target == nullptr) {
        return status;
    }
    const std::string& path = context.args.Positionals()[1];
    const ImportOptions options{context.args.Value("--column").value_or("")};
    CImportEngine engine;
    GateReport report;
    PhaseReport phaseReport;
    if (!engine.Import(context.messages, path, options) ||
        !LoadSplCurve(*target, engine, path, *gate, &report, *phase, &phaseReport)) {
        const bool unknownColumn =
            !options.levelColumn.empty() && !engine.HasLevelColumn(options.levelColumn);
        return CliFail(context, unknownColumn
                                    ? UnknownColumnMessage(engine, options.levelColumn, path)
                                    : SplImportFailure(engine, path, report));
    }
    NoteGate(context, engine, report);
    NotePhase(context, path, phaseReport);
    if (smoothing) {
        target->SetSmoothing(*smoothing);
    }
    return design.Save(*context.args.Value("-o"), context.messages) ? kExitSuccess : kExitFailed;
}

} // namespace kv
