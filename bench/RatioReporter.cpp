#include "RatioReporter.h"

#include <cstdio>
#include <ostream>

namespace kv {

RatioReporter::RatioReporter(std::vector<std::pair<std::string, std::string>> ratios)
    : report_(*benchmark::CreateDefaultDisplayReporter()), ratios_(std::move(ratios)) {}

bool RatioReporter::ReportContext(const Context& context) {
    return report_.ReportContext(context);
}

void RatioReporter::ReportRuns(const std::vector<Run>& reports) {
    report_.ReportRuns(reports);
    for (const Run& run : reports) {
        const bool single = run.run_type == Run::RT_Iteration && run.repetitions <= 1;
        const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
        if (!run.error_occurred && (single || median)) {
            seconds_[run.run_name.str()] =
                run.GetAdjustedCPUTime() / benchmark::GetTimeUnitMultiplier(run.time_unit);
        }
    }
}

void RatioReporter::Finalize() {
    report_.Finalize();
    // Beside a machine-readable report on standard output the ratios go to
    // standard error.
    const bool console = dynamic_cast<benchmark::ConsoleReporter*>(&report_) != nullptr;
    std::ostream& out = console ? GetOutputStream() : GetErrorStream();
    bool headed = false;
    for (const auto& [name, reference] : ratios_) {
        const auto measured = seconds_.find(name);
        const auto against = seconds_.find(reference);
        if (measured == seconds_.end() || against == seconds_.end() || !(against->second > 0.0)) {
            continue;
        }
        if (!headed) {
            out << "\nCPU time as a multiple of a reference in this run:\n";
            headed = true;
        }
        char line[160];
        std::snprintf(line, sizeof line, "  %-36s %6.2f x %s\n", name.c_str(),
                      measured->second / against->second, reference.c_str());
        out << line;
    }
}

int RunWithRatios(int argc, char** argv, std::vector<std::pair<std::string, std::string>> ratios) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    RatioReporter reporter(std::move(ratios));
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}

} // namespace kv
