#include "CliAlignCommand.h"

#include "CliCommand.h"
#include "math/NumberFormat.h"
#include "model/Alignment.h"
#include "model/CConfiguration.h"

#include <charconv>
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
    int a = 0;
    int b = 0;
    const char* end = text.data() + text.size();
    const auto first = std::from_chars(text.data(), text.data() + comma, a);
    const auto second = std::from_chars(text.data() + comma + 1, end, b);
    if (first.ec != std::errc() || first.ptr != text.data() + comma || second.ec != std::errc() ||
        second.ptr != end) {
        return std::nullopt;
    }
    return std::pair{a, b};
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
