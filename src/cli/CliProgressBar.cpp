#include "CliProgressBar.h"

#include <algorithm>
#include <cstdio>
#include <iostream>
#include <string>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace kv {
namespace {

constexpr int kBarWidth = 40;
constexpr const char* kLabel = "Programming the HMQ27";

} // namespace

bool CliProgressBar::IsTerminal(const std::ostream& stream) {
    if (&stream != &std::cerr) {
        return false;
    }
#ifdef _WIN32
    return _isatty(_fileno(stderr)) != 0;
#else
    return isatty(fileno(stderr)) != 0;
#endif
}

void CliProgressBar::SetRange(int lower, int upper) {
    lower_ = lower;
    upper_ = std::max(lower, upper);
    position_ = std::clamp(position_, lower_, upper_);
}

void CliProgressBar::SetPosition(int position) {
    position_ = std::clamp(position, lower_, upper_);
}

void CliProgressBar::Step() {
    position_ = std::min(position_ + 1, upper_);
    Draw();
}

void CliProgressBar::Draw() {
    const int done = position_ - lower_;
    const int total = upper_ - lower_;
    if (!terminal_) {
        out_ << kLabel << ": " << done << '/' << total << '\n';
        return;
    }
    const int filled = total > 0 ? done * kBarWidth / total : 0;
    out_ << '\r' << kLabel << " [" << std::string(static_cast<std::size_t>(filled), '#')
         << std::string(static_cast<std::size_t>(kBarWidth - filled), ' ') << "] " << done << '/'
         << total << std::flush;
    lineOpen_ = true;
}

void CliProgressBar::EndLine() {
    if (lineOpen_) {
        out_ << '\n';
        lineOpen_ = false;
    }
}

} // namespace kv
