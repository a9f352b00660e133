#pragma once

#include "Monkey.h"
#include "ProgramRun.h"
#include "XSession.h"

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace kv {

struct MonkeyOptions {
    std::filesystem::path program;
    // The designs (*.ksv) the program starts with, and the files they name.
    std::filesystem::path examples;
    // The program's working folder, where the examples are copied.
    std::filesystem::path folder;
    // Where a failure leaves its screenshot and the program's output.
    std::filesystem::path output;
    int seconds = 30;
    std::uint64_t seed = 0;
    std::optional<ProgramUser> user;
};

// The program started again and again for a while, each time with an
// example design or with none, and given random input until it quits; the
// test fails on a crash, a sanitizer report, a hang or a pile of windows.
class MonkeyTest {
public:
    using Clock = std::chrono::steady_clock;

    MonkeyTest(const MonkeyOptions& options, XSession& x);

    // 0 when the time ran out with nothing wrong, 1 on a failure.
    int Run();

private:
    enum class Outcome { TimeUp, Quit, Failed };

    bool PrepareFolder();
    ProgramSetup NextSetup();
    std::vector<std::filesystem::path> ExampleDesigns() const;
    Outcome Exercise(ProgramRun& run);
    std::optional<Outcome> Ended(ProgramRun& run);
    // The test's state after the last action: empty when all is well.
    std::string Trouble(const Scene& scene);
    Scene Look() const;
    Outcome Fail(const std::string& reason);
    void PrintProgramOutput() const;
    void PrintFigures() const;

    MonkeyOptions options_;
    XSession& x_;
    Monkey monkey_;
    std::mt19937_64 random_;
    Clock::time_point deadline_;
    std::filesystem::path log_;
    std::uintmax_t logStart_ = 0;
    Clock::time_point lastSanitizerCheck_;
    long restarts_ = 0;
    std::set<std::string> windowsReached_;
};

} // namespace kv
