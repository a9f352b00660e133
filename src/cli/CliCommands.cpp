#include "CliCommands.h"

#include "CliArguments.h"
#include "CliMessageBox.h"
#include "DesignReport.h"
#include "JsonWriter.h"
#include "model/CConfiguration.h"

#include <functional>
#include <set>

namespace kv {
namespace {

constexpr int kSuccess = 0;
constexpr int kFailed = 1;
constexpr int kBadCommandLine = 2;

struct Context {
    const CliArguments& args;
    std::ostream& out;
    std::ostream& err;
    CliMessageBox& messages;
};

struct Command {
    std::string name;
    std::string usage;
    std::string summary;
    std::set<std::string> valueOptions;
    std::set<std::string> switches;
    std::size_t positionals;
    std::function<int(Context&)> run;
};

int Fail(Context& context, const std::string& message) {
    context.messages.ShowError(message);
    return kFailed;
}

// Loads a project file as the desktop program's Load does.
bool LoadDesign(Context& context, const std::string& path, CConfiguration& design) {
    return design.Load(path, context.messages);
}

int RunNew(Context& context) {
    std::string error;
    const std::optional<int> ways = context.args.IntValue("--ways", 1, kMaxBands, error);
    if (!ways) {
        context.err << "kestrelvane-cli: " << (error.empty() ? "--ways is required" : error)
                    << '\n';
        return kBadCommandLine;
    }
    CConfiguration design;
    if (!design.New(*ways, kDesignSampleRate)) {
        return Fail(context, "Couldn't create the design ! ");
    }
    design.SetTitle(context.args.Value("--title").value_or(""));
    return design.Save(*context.args.Value("-o"), context.messages) ? kSuccess : kFailed;
}

int RunResave(Context& context) {
    CConfiguration design;
    if (!LoadDesign(context, context.args.Positionals()[0], design)) {
        return kFailed;
    }
    return design.Save(*context.args.Value("-o"), context.messages) ? kSuccess : kFailed;
}

int RunInfo(Context& context) {
    CConfiguration design;
    if (!LoadDesign(context, context.args.Positionals()[0], design)) {
        return kFailed;
    }
    if (context.args.Has("--json")) {
        JsonWriter json(context.out);
        WriteDesignJson(json, design);
        context.out << '\n';
    } else {
        WriteDesignSummary(context.out, design);
    }
    return kSuccess;
}

const std::vector<Command>& Commands() {
    static const std::vector<Command> commands = {
        {"new", "new --ways N [--title TEXT] -o OUT.ksv",
         "New design (1..3 ways, 96 kHz) saved as a project file.",
         {"--ways", "--title", "-o"}, {}, 0, RunNew},
        {"resave", "resave IN.ksv -o OUT.ksv",
         "Load a project file of any version and save it in the current format.", {"-o"}, {}, 1,
         RunResave},
        {"info", "info IN.ksv [--json]", "Print the design: every setting of every band.", {},
         {"--json"}, 1, RunInfo},
    };
    return commands;
}

void PrintUsage(std::ostream& out) {
    out << "Usage: kestrelvane-cli SUBCOMMAND [ARGS]\n\nSubcommands:\n";
    for (const Command& command : Commands()) {
        out << "  " << command.usage << "\n      " << command.summary << '\n';
    }
    out << "\nkestrelvane-cli SUBCOMMAND --help prints the usage of one subcommand.\n";
}

// The options every command needs before it may run.
bool RequiredOptionsPresent(const Command& command, const CliArguments& args, std::string& error) {
    if (command.valueOptions.count("-o") != 0 && !args.Value("-o")) {
        error = "-o OUT is required";
        return false;
    }
    return true;
}

} // namespace

int RunCli(const std::vector<std::string>& words, std::ostream& out, std::ostream& err) {
    if (words.empty()) {
        PrintUsage(err);
        return kBadCommandLine;
    }
    if (words[0] == "--help" || words[0] == "-h" || words[0] == "help") {
        PrintUsage(out);
        return kSuccess;
    }
    for (const Command& command : Commands()) {
        if (command.name != words[0]) {
            continue;
        }
        const std::vector<std::string> rest(words.begin() + 1, words.end());
        for (const std::string& word : rest) {
            if (word == "--help" || word == "-h") {
                out << "Usage: kestrelvane-cli " << command.usage << '\n'
                    << command.summary << '\n';
                return kSuccess;
            }
        }
        CliArguments args;
        std::string error;
        if (!args.Parse(rest, command.valueOptions, command.switches, error) ||
            !RequiredOptionsPresent(command, args, error)) {
            err << "kestrelvane-cli: " << error << "\nUsage: kestrelvane-cli " << command.usage
                << '\n';
            return kBadCommandLine;
        }
        if (args.Positionals().size() != command.positionals) {
            err << "kestrelvane-cli: wrong number of arguments\nUsage: kestrelvane-cli "
                << command.usage << '\n';
            return kBadCommandLine;
        }
        CliMessageBox messages(err);
        Context context{args, out, err, messages};
        return command.run(context);
    }
    err << "kestrelvane-cli: unknown subcommand " << words[0] << '\n';
    PrintUsage(err);
    return kBadCommandLine;
}

} // namespace kv
