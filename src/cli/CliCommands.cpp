#include "CliCommands.h"

#include "CliAlignCommand.h"
#include "CliCommand.h"
#include "CliFilterCommands.h"
#include "CliHardwareCommands.h"
#include "CliImportCommands.h"
#include "CliOptimiseCommand.h"
#include "CliPlotCommand.h"
#include "CliProgramCommand.h"
#include "CliResponseCommands.h"
#include "DesignReport.h"
#include "JsonWriter.h"
#include "math/NumberFormat.h"
#include "model/CConfiguration.h"
#include "model/ImpulseGate.h"
#include "model/MainGrid.h"
#include "model/SplPhase.h"

namespace kv {

int CliFail(CliContext& context, const std::string& message) {
    context.messages.ShowError(message);
    return kExitFailed;
}

int CliUsageError(CliContext& context, const std::string& message) {
    context.err << "kestrelvane-cli: " << message << '\n';
    return kExitBadCommandLine;
}

int CliPrintResult(CliContext& context, const std::function<void(JsonWriter&)>& json,
                   const std::function<void(std::ostream&)>& summary) {
    if (context.args.Has("--json")) {
        JsonWriter writer(context.out);
        json(writer);
        context.out << '\n';
    } else {
        summary(context.out);
    }
    return kExitSuccess;
}

bool CliLoadDesign(CliContext& context, const std::string& path, CConfiguration& design) {
    if (!design.Load(path, context.messages)) {
        return false;
    }
    design.Recalculate(&context.grid, kMainPirLength);
    return true;
}

CBand* CliLoadBand(CliContext& context, CConfiguration& design, int& status) {
    std::string error;
    const std::optional<int> band = context.args.IntValue("--band", 1, kMaxBands, error);
    if (!band) {
        status = CliUsageError(context, error.empty() ? "--band is required" : error);
        return nullptr;
    }
    if (!CliLoadDesign(context, context.args.Positionals()[0], design)) {
        status = kExitFailed;
        return nullptr;
    }
    if (*band > design.numBands) {
        status = CliUsageError(context, "--band must name a band of the design (1.." +
                                            std::to_string(design.numBands) + ")");
        return nullptr;
    }
    return &design.bands[static_cast<std::size_t>(*band - 1)];
}

namespace {

int RunNew(CliContext& context) {
    std::string error;
    const std::optional<int> ways = context.args.IntValue("--ways", 1, kMaxBands, error);
    if (!ways) {
        return CliUsageError(context, error.empty() ? "--ways is required" : error);
    }
    CConfiguration design;
    if (!design.New(*ways, kDesignSampleRate)) {
        return CliFail(context, "Couldn't create the design ! ");
    }
    design.SetTitle(context.args.Value("--title").value_or(""));
    return design.Save(*context.args.Value("-o"), context.messages) ? kExitSuccess : kExitFailed;
}

int RunResave(CliContext& context) {
    CConfiguration design;
    if (!CliLoadDesign(context, context.args.Positionals()[0], design)) {
        return kExitFailed;
    }
    return design.Save(*context.args.Value("-o"), context.messages) ? kExitSuccess : kExitFailed;
}

int RunInfo(CliContext& context) {
    CConfiguration design;
    if (!CliLoadDesign(context, context.args.Positionals()[0], design)) {
        return kExitFailed;
    }
    return CliPrintResult(
        context, [&design](JsonWriter& json) { WriteDesignJson(json, design); },
        [&design](std::ostream& out) { WriteDesignSummary(out, design); });
}

// Every subcommand, in the order the usage lists them.
const std::vector<CliCommand>& Commands() {
    static const std::vector<CliCommand> commands = {
        {"new",
         "new --ways N [--title TEXT] -o OUT.ksv",
         "New design (1..3 ways, 96 kHz) saved as a project file.",
         {"--ways", "--title", "-o"},
         {},
         0,
         RunNew},
        {"resave",
         "resave IN.ksv -o OUT.ksv",
         "Load a project file of any version and save it in the current format.",
         {"-o"},
         {},
         1,
         RunResave},
        {"info",
         "info IN.ksv [--json]",
         "Print the design: every setting of every band.",
         {},
         {"--json"},
         1,
         RunInfo},
        {"image",
         "image IN.ksv -o OUT.bin",
         "Write the 2368-byte TAS3103 image, byte for byte as it would be programmed.",
         {"-o"},
         {},
         1,
         RunImage},
        {"cfg",
         "cfg IN.ksv -o OUT.cfg",
         "Write the TAS3103 configuration text file, as the programming dialog's file mode does.",
         {"-o"},
         {},
         1,
         RunCfg},
        {"responses",
         "responses IN.ksv --json",
         "Print everything the recalculation computed, as one JSON object.",
         {},
         {"--json"},
         1,
         RunResponses},
        {"export",
         "export IN.ksv (--band N | --total) -o OUT.txt",
         "Write the curve export text file of band N's pane (counted from 1) or of the total pane.",
         {"--band", "-o"},
         {"--total"},
         1,
         RunExport},
        {"import",
         "import FILE [--json] [--spl-is-impedance]",
         "Read a measurement file with the import engine (an MLSSA file is taken as an SPL "
         "curve unless --spl-is-impedance); for delimited text with named columns, also the "
         "level column read and the level columns it has.",
         {},
         {"--json", "--spl-is-impedance"},
         1,
         RunImport},
        {"load-spl",
         "load-spl IN.ksv --band N FILE [--smoothing S] [--column NAME] [--gate MS] "
         "[--window NAME] [--phase measured|minimum] [--offset MS] [--remove-flight-time] "
         "-o OUT.ksv",
         "Load a measurement file as band N's SPL curve, optionally set its smoothing, and save. "
         "--column reads the level column of that name from delimited text (default: the "
         "first). An impulse response (a WAV file, a time series) is gated: --gate is the "
         "gate's length in ms after the peak (" +
             FormatGeneral(kMinGateMs, 3) + " to " + FormatGeneral(kMaxGateMs, 3) + ", default " +
             FormatGeneral(kDefaultGateMs, 3) +
             "), --window the window that closes it, by its name in the window lists (" +
             VFft().GetWindowName(ImpulseGate().window) +
             " unless given). --phase: the file's own phase (measured) or the minimum phase of "
             "its magnitude (minimum); by default the file's own, or the minimum phase when it "
             "has none. --offset delays the curve by the driver's acoustic offset in ms (" +
             FormatGeneral(-kMaxSplOffsetMs, 3) + " to " + FormatGeneral(kMaxSplOffsetMs, 3) +
             "); --remove-flight-time takes out, and prints, the delay that best explains the "
             "measured phase's excess over the minimum phase.",
         {"--band", "--smoothing", "--column", "--gate", "--window", "--phase", "--offset", "-o"},
         {"--remove-flight-time"},
         2,
         RunLoadSpl},
        {"align",
         "align IN.ksv --bands A,B -o OUT.ksv",
         "Find the delay (within the unit's delay memory) and the polarity of band B that make "
         "the sum of bands A and B follow the sum of their targets best across the two octaves "
         "around their crossover; print the delay, the polarity and the deviation before and "
         "after, and save.",
         {"--bands", "-o"},
         {},
         1,
         RunAlign},
        {"import-eq",
         "import-eq IN.ksv --band N FILE -o OUT.ksv [--partial]",
         "Import the filters of a filter list (a room-measurement program's Filter Settings "
         "file or a PC equaliser's configuration) into band N: peaking filters into its "
         "equalisers, notches, shelves, an all-pass. Each kind the file brings replaces that "
         "kind in the band. Lines that do not fit are listed, and nothing is imported unless "
         "--partial asks for what fits.",
         {"--band", "-o"},
         {"--partial"},
         2,
         RunImportEq},
        {"export-eq",
         "export-eq IN.ksv --band N -o OUT.txt",
         "Write band N as a PC equaliser's configuration text: Preamp, Delay and every section "
         "as an IIR filter at the design's sample rate.",
         {"--band", "-o"},
         {},
         1,
         RunExportEq},
        {"optimise",
         "optimise IN.ksv --band N [--from HZ] [--to HZ] [--peqs K] [--gain] [--crossovers] "
         "-o OUT.ksv [--json]",
         "Fit band N to its target (its target filters at the target level) from HZ to HZ "
         "(default: an octave beyond each target corner, within 20 Hz to 20 kHz) with at most K "
         "of its free equalisers (default: all the biquads allow), with --gain also its gain, "
         "with --crossovers also its enabled crossover slots (frequency within 1/3 octave, a "
         "custom slot's Qs), and save. Prints the deviation before and after, the equalisers "
         "set and the time taken.",
         {"--band", "--from", "--to", "--peqs", "-o"},
         {"--gain", "--crossovers", "--json"},
         1,
         RunOptimise},
        {"program",
         "program IN.ksv --port PORT",
         "Program the HMQ27 over a serial port (a device path such as /dev/ttyUSB0 or COM3, or "
         "a port number 1..8), as Update HMQ does.",
         {"--port"},
         {},
         1,
         RunProgram},
        {"plot",
         "plot IN.ksv -o OUT.png [--size WxH] [--view band|total|band-time|total-time] "
         "[--band N] [--show LIST]",
         "Draw a response view as PNG, as the desktop program draws it: the frequency view of "
         "band N (default 1) or of the total, or the time view (PIR above step response) of "
         "either. --show turns on only the listed switches (spl, filter, hardware, total, target, "
         "sumfilter, sumtotal, sumtarget, phase, groupdelay, unwrapped); default size 1200x450.",
         {"--size", "--view", "--band", "--show", "-o"},
         {},
         1,
         RunPlot},
    };
    return commands;
}

void PrintUsage(std::ostream& out) {
    out << "Usage: kestrelvane-cli SUBCOMMAND [ARGS]\n\nSubcommands:\n";
    for (const CliCommand& command : Commands()) {
        out << "  " << command.usage << "\n      " << command.summary << '\n';
    }
    out << "\nkestrelvane-cli SUBCOMMAND --help prints the usage of one subcommand.\n";
}

bool RequiredOptionsPresent(const CliCommand& command, const CliArguments& args,
                            std::string& error) {
    if (command.valueOptions.count("-o") != 0 && !args.Value("-o")) {
        error = "-o OUT is required";
        return false;
    }
    return true;
}

bool AsksForHelp(const std::vector<std::string>& words) {
    for (const std::string& word : words) {
        if (word == "--help" || word == "-h") {
            return true;
        }
    }
    return false;
}

int RunCommand(const CliCommand& command, const std::vector<std::string>& rest, std::ostream& out,
               std::ostream& err) {
    if (AsksForHelp(rest)) {
        out << "Usage: kestrelvane-cli " << command.usage << '\n' << command.summary << '\n';
        return kExitSuccess;
    }
    CliArguments args;
    std::string error;
    if (args.Parse(rest, command.valueOptions, command.switches, error) &&
        RequiredOptionsPresent(command, args, error) &&
        args.Positionals().size() != command.positionals) {
        error = "wrong number of arguments";
    }
    if (!error.empty()) {
        err << "kestrelvane-cli: " << error << "\nUsage: kestrelvane-cli " << command.usage << '\n';
        return kExitBadCommandLine;
    }
    CliMessageBox messages(err);
    VFreqVec grid;
    CreateMainGrid(grid);
    CliContext context{args, out, err, messages, grid};
    return command.run(context);
}

} // namespace

int RunCli(const std::vector<std::string>& words, std::ostream& out, std::ostream& err) {
    if (words.empty()) {
        PrintUsage(err);
        return kExitBadCommandLine;
    }
    if (words[0] == "--help" || words[0] == "-h" || words[0] == "help") {
        PrintUsage(out);
        return kExitSuccess;
    }
    for (const CliCommand& command : Commands()) {
        if (command.name == words[0]) {
            return RunCommand(command, {words.begin() + 1, words.end()}, out, err);
        }
    }
    err << "kestrelvane-cli: unknown subcommand " << words[0] << '\n';
    PrintUsage(err);
    return kExitBadCommandLine;
}

} // namespace kv
