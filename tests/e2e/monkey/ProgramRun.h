#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <sys/types.h>
#include <vector>

namespace kv {

// Who the program runs as: root's test runs it as an unprivileged user, so
// that whatever it is made to do can write only where that user may, and
// opens no serial device.
struct ProgramUser {
    uid_t uid = 0;
    gid_t gid = 0;
};

struct ProgramSetup {
    std::filesystem::path program;
    std::vector<std::string> arguments;
    std::filesystem::path folder;
    // Standard output and error are appended here.
    std::filesystem::path log;
    std::optional<ProgramUser> user;
};

// How a run ended: the wait status, or still running.
struct ProgramEnd {
    bool ended = false;
    int status = 0;

    bool Normal() const;
    std::string Description() const;
};

// One run of the program under test. It dies with the test: it is killed
// when this object goes, and by the kernel when the test itself dies.
class ProgramRun {
public:
    static std::optional<ProgramRun> Start(const ProgramSetup& setup);
    ProgramRun(ProgramRun&& other) noexcept;
    ProgramRun& operator=(ProgramRun&& other) noexcept;
    ProgramRun(const ProgramRun&) = delete;
    ProgramRun& operator=(const ProgramRun&) = delete;
    ~ProgramRun();

    ProgramEnd Poll();
    void Kill();

private:
    explicit ProgramRun(pid_t pid) : pid_(pid) {}

    pid_t pid_ = -1;
};

// The sanitizer reports in a log from the given offset on: the first line
// that tells of one, or empty.
std::string SanitizerReport(const std::filesystem::path& log, std::uintmax_t from);

} // namespace kv
