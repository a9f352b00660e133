#include "MonkeyTest.h"

#include "Screenshot.h"

#include <algorithm>
#include <deque>
#include <fstream>
#include <iostream>
#include <map>
#include <system_error>
#include <thread>
#include <unistd.h>

namespace kv {
namespace {

using namespace std::chrono_literals;

// A program that answers no ping for this long hangs.
constexpr auto kHangTime = 10s;
// Starting (a first font cache under the sanitizers) and ending (the leak
// check) show no window for a while, but never for this long.
constexpr auto kWindowlessTime = 30s;
constexpr auto kPingInterval = 500ms;
constexpr auto kSanitizerCheckInterval = 1s;
// Time for the window manager to map what the program just opened.
constexpr auto kSettleTime = 50ms;
constexpr int kMostWindowsOfATitle = 3;
constexpr std::size_t kOutputLinesShown = 60;

// How often a start is without a design.
constexpr double kStartsWithoutDesign = 0.3;

void Chown(const std::filesystem::path& path, const std::optional<ProgramUser>& user) {
    if (user && chown(path.c_str(), user->uid, user->gid) != 0) {
        std::cerr << "monkey: cannot hand " << path << " to the test user\n";
    }
}

void ChownTree(const std::filesystem::path& folder, const std::optional<ProgramUser>& user) {
    Chown(folder, user);
    std::error_code error;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder, error)) {
        Chown(entry.path(), user);
    }
}

std::uintmax_t SizeOf(const std::filesystem::path& file) {
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(file, error);
    return error ? 0 : size;
}

} // namespace

MonkeyTest::MonkeyTest(const MonkeyOptions& options, XSession& x)
    : options_(options), x_(x), monkey_(x, options.seed), random_(options.seed ^ 0x5bd1e995U),
      log_(options.folder / "program.log") {}

int MonkeyTest::Run() {
    std::cout << "monkey: seed " << options_.seed << " (KV_MONKEY_SEED=" << options_.seed
              << " repeats these choices), " << options_.seconds << " s" << std::endl;
    if (!PrepareFolder()) {
        std::cout << "FAILED: cannot copy the examples to " << options_.folder << "\n";
        return 1;
    }
    deadline_ = Clock::now() + std::chrono::seconds(options_.seconds);
    Outcome outcome = Outcome::Quit;
    while (outcome == Outcome::Quit) {
        logStart_ = SizeOf(log_);
        std::optional<ProgramRun> run = ProgramRun::Start(NextSetup());
        if (!run) {
            std::cout << "FAILED: cannot start " << options_.program << "\n";
            return 1;
        }
        outcome = Exercise(*run);
        restarts_ += outcome == Outcome::Quit ? 1 : 0;
    }
    if (outcome == Outcome::Failed) {
        return 1;
    }
    PrintFigures();
    return 0;
}

bool MonkeyTest::PrepareFolder() {
    std::error_code error;
    std::filesystem::copy(options_.examples, options_.folder,
                          std::filesystem::copy_options::recursive |
                              std::filesystem::copy_options::overwrite_existing,
                          error);
    if (error) {
        return false;
    }
    ChownTree(options_.folder, options_.user);
    std::ofstream(log_).flush();
    return true;
}

// A fresh copy of one of the examples' designs, or nothing and the program
// opens the design it had last.
ProgramSetup MonkeyTest::NextSetup() {
    ProgramSetup setup{options_.program, {}, options_.folder, log_, options_.user};
    const std::vector<std::filesystem::path> designs = ExampleDesigns();
    if (!designs.empty() && !std::bernoulli_distribution(kStartsWithoutDesign)(random_)) {
        const std::filesystem::path& example =
            designs[std::uniform_int_distribution<std::size_t>(0, designs.size() - 1)(random_)];
        const std::filesystem::path design = options_.folder / example.filename();
        std::error_code error;
        std::filesystem::copy_file(example, design,
                                   std::filesystem::copy_options::overwrite_existing, error);
        Chown(design, options_.user);
        setup.arguments.push_back(design.string());
    }
    std::cout << "monkey: start " << (setup.arguments.empty() ? "without a design" : "with ")
              << (setup.arguments.empty() ? "" : setup.arguments.front()) << std::endl;
    return setup;
}

// In the order of their names, so that a seed picks the same ones again.
std::vector<std::filesystem::path> MonkeyTest::ExampleDesigns() const {
    std::vector<std::filesystem::path> designs;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(options_.examples, error)) {
        if (entry.path().extension() == ".ksv") {
            designs.push_back(entry.path());
        }
    }
    std::sort(designs.begin(), designs.end());
    return designs;
}

MonkeyTest::Outcome MonkeyTest::Exercise(ProgramRun& run) {
    Clock::time_point lastAnswer = Clock::now();
    Clock::time_point lastWindow = Clock::now();
    Clock::time_point lastPing{};
    long awaited = x_.NewestAnswer();
    while (true) {
        if (const std::optional<Outcome> outcome = Ended(run)) {
            return *outcome;
        }
        const Clock::time_point now = Clock::now();
        if (now >= deadline_) {
            return Outcome::TimeUp;
        }
        const Scene scene = Look();
        if (scene.clients.empty()) {
            if (now - lastWindow > kWindowlessTime) {
                return Fail("the program runs without a window for 30 s");
            }
            lastAnswer = now;
            std::this_thread::sleep_for(100ms);
            continue;
        }
        lastWindow = now;
        // Act only on a program that has handled all it was sent.
        if (x_.NewestAnswer() < awaited) {
            if (now - lastAnswer > kHangTime) {
                return Fail("no answer to pings for 10 s: the program hangs");
            }
            if (now - lastPing > kPingInterval) {
                awaited = x_.Ping(scene.clients);
                lastPing = now;
            }
            std::this_thread::sleep_for(20ms);
            continue;
        }
        lastAnswer = now;
        std::this_thread::sleep_for(kSettleTime);
        const Scene settled = Look();
        if (const std::string trouble = Trouble(settled); !trouble.empty()) {
            return Fail(trouble);
        }
        monkey_.Act(settled);
        x_.Sync();
        awaited = x_.Ping(settled.clients);
        lastPing = Clock::now();
    }
}

// Once the program has ended: whether it ended well, and the test goes on.
std::optional<MonkeyTest::Outcome> MonkeyTest::Ended(ProgramRun& run) {
    const ProgramEnd end = run.Poll();
    if (!end.ended) {
        return std::nullopt;
    }
    const std::string report = SanitizerReport(log_, logStart_);
    if (!report.empty()) {
        return Fail("sanitizer report: " + report);
    }
    if (!end.Normal()) {
        return Fail("the program " + end.Description());
    }
    return Clock::now() < deadline_ ? Outcome::Quit : Outcome::TimeUp;
}

std::string MonkeyTest::Trouble(const Scene& scene) {
    if (Clock::now() - lastSanitizerCheck_ > kSanitizerCheckInterval) {
        lastSanitizerCheck_ = Clock::now();
        const std::string report = SanitizerReport(log_, logStart_);
        if (!report.empty()) {
            return "sanitizer report: " + report;
        }
    }
    std::map<std::string, int> titles;
    const ClientWindow* main = scene.MainWindow();
    for (const ClientWindow& client : scene.clients) {
        if (++titles[client.title] > kMostWindowsOfATitle) {
            return std::to_string(titles[client.title]) + " windows titled \"" + client.title +
                   "\" at once";
        }
        if (&client != main) {
            windowsReached_.insert(client.title);
        }
    }
    return {};
}

Scene MonkeyTest::Look() const {
    return {x_.Clients(), x_.Popups(), x_.ActiveWindow()};
}

MonkeyTest::Outcome MonkeyTest::Fail(const std::string& reason) {
    std::cout << "FAILED: " << reason << "\n";
    std::cout << "seed " << options_.seed << " (run again with KV_MONKEY_SEED=" << options_.seed
              << "), after " << monkey_.Actions() << " actions and " << restarts_
              << " restarts\nlast actions:\n";
    for (const std::string& action : monkey_.Recent()) {
        std::cout << "  " << action << "\n";
    }
    std::cout << "windows open:\n";
    for (const ClientWindow& client : x_.Clients()) {
        std::cout << "  \"" << client.title << "\"\n";
    }
    const std::filesystem::path screenshot = options_.output / "monkey-failure.png";
    if (WriteScreenshot(x_.Capture(x_.Screen()), screenshot)) {
        std::cout << "screen: " << screenshot.string() << "\n";
    }
    PrintProgramOutput();
    std::cout.flush();
    return Outcome::Failed;
}

void MonkeyTest::PrintProgramOutput() const {
    std::ifstream in(log_, std::ios::binary);
    in.seekg(static_cast<std::streamoff>(logStart_));
    std::deque<std::string> lines;
    std::string line;
    while (std::getline(in, line)) {
        lines.push_back(line);
        if (lines.size() > kOutputLinesShown) {
            lines.pop_front();
        }
    }
    std::cout << "program output (last " << lines.size() << " lines):\n";
    for (const std::string& shown : lines) {
        std::cout << "  " << shown << "\n";
    }
}

void MonkeyTest::PrintFigures() const {
    std::cout << "monkey: " << monkey_.Actions() << " actions in " << options_.seconds << " s, "
              << restarts_ << " restarts, " << windowsReached_.size()
              << " windows besides the main window reached:\n";
    for (const std::string& title : windowsReached_) {
        std::cout << "  \"" << title << "\"\n";
    }
}

} // namespace kv
