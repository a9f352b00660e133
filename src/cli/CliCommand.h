#pragma once

#include "CliArguments.h"
#include "CliMessageBox.h"
#include "math/VFreqVec.h"

#include <functional>
#include <ostream>
#include <set>
#include <string>
#include <vector>

namespace kv {

class CBand;
class CConfiguration;
class JsonWriter;

inline constexpr int kExitSuccess = 0;
inline constexpr int kExitFailed = 1;
inline constexpr int kExitBadCommandLine = 2;

// What a subcommand runs with.
struct CliContext {
    const CliArguments& args;
    std::ostream& out;
    std::ostream& err;
    CliMessageBox& messages;
    // The main window's frequency grid, which loaded designs are computed on.
    const VFreqVec& grid;
};

// One subcommand: its usage line, the options it takes, how many positional
// arguments it needs, and what it does. A subcommand whose options include
// "-o" requires it.
struct CliCommand {
    std::string name;
    std::string usage;
    std::string summary;
    std::set<std::string> valueOptions;
    std::set<std::string> switches;
    std::size_t positionals;
    std::function<int(CliContext&)> run;
};

// Shows a failure as the desktop program would and gives exit status 1.
int CliFail(CliContext& context, const std::string& message);
// Reports a bad command line and gives exit status 2.
int CliUsageError(CliContext& context, const std::string& message);

// Prints a result as one JSON object with --json, else as a readable
// summary; exit status 0.
int CliPrintResult(CliContext& context, const std::function<void(JsonWriter&)>& json,
                   const std::function<void(std::ostream&)>& summary);

// Loads a project file exactly as the desktop program's Load does, and
// computes its responses on the main grid with the main window's PIR
// length; failures are reported through the context's messages.
bool CliLoadDesign(CliContext& context, const std::string& path, CConfiguration& design);

// Loads the design named by the first argument, as CliLoadDesign does, and
// finds the band that --band names (counted from 1). Null, with the exit
// status in status, when --band is missing or bad, when the load fails or
// when the design has no such band.
CBand* CliLoadBand(CliContext& context, CConfiguration& design, int& status);

} // namespace kv
