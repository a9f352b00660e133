#include "ProgramRun.h"

#include <array>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <grp.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>
#include <utility>

namespace kv {
namespace {

// In the child between fork and exec: only calls that are safe there.
[[noreturn]] void ExecProgram(const ProgramSetup& setup, std::vector<char*>& argv, int log,
                              pid_t test) {
    if (dup2(log, STDOUT_FILENO) < 0 || dup2(log, STDERR_FILENO) < 0 ||
        chdir(setup.folder.c_str()) != 0) {
        _exit(126);
    }
    if (setup.user && (setgroups(0, nullptr) != 0 || setgid(setup.user->gid) != 0 ||
                       setuid(setup.user->uid) != 0)) {
        _exit(126);
    }
    // Set after the change of user, which clears it.
    if (prctl(PR_SET_PDEATHSIG, SIGKILL) != 0 || getppid() != test) {
        _exit(126);
    }
    execv(setup.program.c_str(), argv.data());
    _exit(127);
}

} // namespace

bool ProgramEnd::Normal() const {
    return ended && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

std::string ProgramEnd::Description() const {
    if (!ended) {
        return "running";
    }
    if (WIFSIGNALED(status)) {
        return "killed by signal " + std::to_string(WTERMSIG(status)) + " (" +
               strsignal(WTERMSIG(status)) + ")";
    }
    return "exited with status " + std::to_string(WEXITSTATUS(status));
}

std::optional<ProgramRun> ProgramRun::Start(const ProgramSetup& setup) {
    const int log = open(setup.log.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (log < 0) {
        return std::nullopt;
    }
    std::vector<std::string> words{setup.program.string()};
    words.insert(words.end(), setup.arguments.begin(), setup.arguments.end());
    std::vector<char*> argv;
    for (std::string& word : words) {
        argv.push_back(word.data());
    }
    argv.push_back(nullptr);
    const pid_t test = getpid();
    const pid_t pid = fork();
    if (pid == 0) {
        ExecProgram(setup, argv, log, test);
    }
    close(log);
    if (pid < 0) {
        return std::nullopt;
    }
    return ProgramRun(pid);
}

ProgramRun::ProgramRun(ProgramRun&& other) noexcept : pid_(std::exchange(other.pid_, -1)) {}

ProgramRun& ProgramRun::operator=(ProgramRun&& other) noexcept {
    if (this != &other) {
        Kill();
        pid_ = std::exchange(other.pid_, -1);
    }
    return *this;
}

ProgramRun::~ProgramRun() {
    Kill();
}

ProgramEnd ProgramRun::Poll() {
    if (pid_ < 0) {
        return {true, 0};
    }
    int status = 0;
    if (waitpid(pid_, &status, WNOHANG) != pid_) {
        return {};
    }
    pid_ = -1;
    return {true, status};
}

void ProgramRun::Kill() {
    if (pid_ < 0) {
        return;
    }
    kill(pid_, SIGKILL);
    int status = 0;
    waitpid(pid_, &status, 0);
    pid_ = -1;
}

std::string SanitizerReport(const std::filesystem::path& log, std::uintmax_t from) {
    static constexpr std::array<const char*, 3> kMarks = {"ERROR: AddressSanitizer",
                                                          "runtime error:", "ERROR: LeakSanitizer"};
    std::ifstream in(log, std::ios::binary);
    in.seekg(static_cast<std::streamoff>(from));
    std::string line;
    while (std::getline(in, line)) {
        for (const char* mark : kMarks) {
            if (line.find(mark) != std::string::npos) {
                return line;
            }
        }
    }
    return {};
}

} // namespace kv
