#include "CliAlignCommand.h"

#include "CliArguments.h"
#include "CliCommand.h"
#include "math/NumberFormat.h"
#include "model/Alignment.h"
#include "model/CConfiguration.h"

#include <limits>
#include <optional>
#include <ostream>
#include <string>
#include <utility>

namespace kv {
namespace {

// "A,B", two band numbers from 1; none for anything else.
std::optional<std::pair<int, int>> BandPair(const std::string& text) {
    const std::size_t comma = text.find(',');
    if (comma == std::string::npos) {
        return std::nullopt;
    }
    constexpr int kLeast = std::numeric_limits<int>::min();
    constexpr int kMost = std::numeric_limits<int>::max();
    const std::optional<int> a = NumberWithin(text.substr(0, comma), kLeast, kMost);
    const std::optional<int> b = NumberWithin(text.substr(comma + 1), kLeast, kMost);
    if (!a || !b) {
        return std::nullopt;
    }
    return std::pair{*a, *b};
}

void PrintAlignment(std::ostream& out, const Alignment& found, double sampleRate) {
    const int band = found.band + 1;
    out << "Crossover of bands " << found.partner + 1 << " and " << band << ": "
        << FormatGeneral(found.crossoverHz, 6) << " Hz\n"
        << "Band " << band << " delay: " << FormatFixed(found.delay * 1e3, 4) << " ms ("
        << FormatGeneral(found.delay * sampleRate, 6) << " samples)\n"
        << "Band " << band << " polarity: " << (found.reversedPhase ? "reversed" : "normal") << '\n'
        << "Deviation before: " << FormatFixed(found.deviationBeforeDb, 2) << " dB\n"
        << "Deviation after: " << FormatFixed(found.deviationAfterDb, 2) << " dB\n";
}

} // namespace

int RunAlign(CliContext& context) {
    const std::optional<std::pair<int, int>> bands =
        BandPair(context.args.Value("--bands").value_or(""));
    if (!bands) {
        return CliUsageError(context, "--bands takes two band numbers, A,B (band B is aligned)");
    }
    CConfiguration design;
    if (!CliLoadDesign(context, context.args.Positionals()[0], design)) {
        return kExitFailed;
    }
    Alignment found;
    const AlignOutcome outcome = FindAlignment(design, bands->first - 1, bands->second - 1, found);
    if (outcome != AlignOutcome::Aligned) {
        return CliFail(context, DescribeAlignOutcome(outcome, bands->first - 1, bands->second - 1));
    }
    if (!ApplyAlignment(design, found)) {
        return CliFail(context, "The delay found does not fit the delay memory.");
    }
    PrintAlignment(context.out, found, design.sampleRate);
    return design.Save(*context.args.Value("-o"), context.messages) ? kExitSuccess : kExitFailed;
}

} // namespace kv
