// kv_monkey: random input to the desktop program on the X display named by
// DISPLAY, under a window manager, for a given time.
//
//   kv_monkey --program KESTRELVANE --examples FOLDER --folder WORK_FOLDER
//             --output FOLDER [--seconds N] [--seed N] [--user NAME]
//
// The seed is KV_MONKEY_SEED when set, else drawn. Exits 0 when nothing went
// wrong, 1 on a failure and 77 (skipped) without a display or window manager.

#include "MonkeyTest.h"

#include <charconv>
#include <cstdlib>
#include <iostream>
#include <map>
#include <pwd.h>
#include <random>
#include <thread>

namespace {

constexpr int kSkipped = 77;
constexpr int kUsage = 2;

template <typename Number> bool ParseNumber(const std::string& text, Number& value) {
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    return error == std::errc() && stop == end;
}

std::optional<kv::ProgramUser> UserNamed(const std::string& name) {
    const passwd* entry = getpwnam(name.c_str());
    if (entry == nullptr) {
        return std::nullopt;
    }
    return kv::ProgramUser{entry->pw_uid, entry->pw_gid};
}

std::uint64_t Seed() {
    const char* given = std::getenv("KV_MONKEY_SEED");
    std::uint64_t seed = 0;
    if (given != nullptr && ParseNumber(given, seed)) {
        return seed;
    }
    return std::random_device()() % 1000000;
}

std::optional<kv::MonkeyOptions> ParseOptions(int argc, char** argv) {
    std::map<std::string, std::string> values;
    for (int i = 1; i + 1 < argc; i += 2) {
        values[argv[i]] = argv[i + 1];
    }
    kv::MonkeyOptions options;
    // The program starts in its working folder: no path may be relative.
    for (const char* path : {"--program", "--examples", "--folder", "--output"}) {
        if (!values[path].empty()) {
            values[path] = std::filesystem::absolute(values[path]).string();
        }
    }
    options.program = values["--program"];
    options.examples = values["--examples"];
    options.folder = values["--folder"];
    options.output = values["--output"];
    options.seed = Seed();
    if (argc % 2 == 0 || options.program.empty() || options.examples.empty() ||
        options.folder.empty() || options.output.empty() ||
        (values.contains("--seconds") && !ParseNumber(values["--seconds"], options.seconds)) ||
        (values.contains("--seed") && !ParseNumber(values["--seed"], options.seed))) {
        return std::nullopt;
    }
    if (values.contains("--user")) {
        options.user = UserNamed(values["--user"]);
        if (!options.user) {
            return std::nullopt;
        }
    }
    return options;
}

bool WaitForWindowManager(const kv::XSession& x) {
    for (int i = 0; i < 100 && !x.WindowManagerRunning(); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return x.WindowManagerRunning();
}

} // namespace

int main(int argc, char** argv) {
    const std::optional<kv::MonkeyOptions> options = ParseOptions(argc, argv);
    if (!options) {
        std::cerr << "usage: kv_monkey --program PATH --examples FOLDER --folder FOLDER "
                     "--output FOLDER [--seconds N] [--seed N] [--user NAME]\n";
        return kUsage;
    }
    const std::unique_ptr<kv::XSession> x = kv::XSession::Connect();
    if (!x) {
        std::cout << "skipped: no X display with the XTest extension\n";
        return kSkipped;
    }
    if (!WaitForWindowManager(*x)) {
        std::cout << "skipped: no window manager on the display\n";
        return kSkipped;
    }
    return kv::MonkeyTest(*options, *x).Run();
}
