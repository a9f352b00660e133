#pragma once

#include <benchmark/benchmark.h>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace kv {

// The report the command line asks for, followed by each benchmark's CPU time
// as a multiple of another's measured in the same run: the median when the
// run was repeated, so that one noisy repetition on a shared machine does not
// decide.
class RatioReporter : public benchmark::BenchmarkReporter {
public:
    // Pairs of (benchmark, the benchmark it is measured against), by the
    // names the table shows without the aggregate suffix.
    explicit RatioReporter(std::vector<std::pair<std::string, std::string>> ratios);

    bool ReportContext(const Context& context) override;
    void ReportRuns(const std::vector<Run>& reports) override;
    void Finalize() override;

private:
    benchmark::BenchmarkReporter& report_;
    std::vector<std::pair<std::string, std::string>> ratios_;
    std::map<std::string, double> seconds_;
};

// Runs the benchmarks the command line selects with a RatioReporter; the
// body of a benchmark program's main.
int RunWithRatios(int argc, char** argv, std::vector<std::pair<std::string, std::string>> ratios);

} // namespace kv
