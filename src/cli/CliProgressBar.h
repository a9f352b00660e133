#pragma once

#include "ui/IProgressBar.h"

#include <iosfwd>

namespace kv {

// Progress on the command line's error stream: a bar redrawn in place on a
// terminal, one plain line per step otherwise (logs, pipes).
class CliProgressBar : public IProgressBar {
public:
    CliProgressBar(std::ostream& out, bool terminal) : out_(out), terminal_(terminal) {}
    ~CliProgressBar() override { EndLine(); }
    CliProgressBar(const CliProgressBar&) = delete;
    CliProgressBar& operator=(const CliProgressBar&) = delete;

    // Whether the stream is the process's standard error on a terminal.
    static bool IsTerminal(const std::ostream& stream);

    void SetRange(int lower, int upper) override;
    void SetPosition(int position) override;
    void Step() override;

    // Finishes a bar drawn in place, so that what follows starts on a line
    // of its own.
    void EndLine();

private:
    void Draw();

    std::ostream& out_;
    bool terminal_;
    bool lineOpen_ = false;
    int lower_ = 0;
    int upper_ = 0;
    int position_ = 0;
};

} // namespace kv
