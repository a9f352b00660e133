#include "CliProgramCommand.h"

#include "CliCommand.h"
#include "CliProgressBar.h"
#include "hardware/UnitProgramming.h"
#include "model/CConfiguration.h"
#include "platform/CComPort.h"
#include "platform/CSettings.h"

#include <QCoreApplication>
#include <algorithm>
#include <array>
#include <cctype>
#include <optional>

namespace kv {
namespace {

// Messages that start on a line of their own even while the progress bar is
// drawn in place.
class MessagesBelowProgress : public IMessageBox {
public:
    MessagesBelowProgress(IMessageBox& messages, CliProgressBar& progress)
        : messages_(messages), progress_(progress) {}

    void Show(const std::string& text, const std::string& caption, Icon icon) override {
        progress_.EndLine();
        messages_.Show(text, caption, icon);
    }
    Answer Ask(const std::string& text, const std::string& caption, Buttons buttons,
               Icon icon) override {
        progress_.EndLine();
        return messages_.Ask(text, caption, buttons, icon);
    }

private:
    IMessageBox& messages_;
    CliProgressBar& progress_;
};

// Qt's serial port wants an application object; the command makes one when
// whoever runs it has none.
class QtApplicationScope {
public:
    QtApplicationScope() {
        if (QCoreApplication::instance() == nullptr) {
            application_.emplace(argc_, argv_.data());
        }
    }

private:
    int argc_ = 1;
    char name_[16] = "kestrelvane-cli";
    std::array<char*, 2> argv_{name_, nullptr};
    std::optional<QCoreApplication> application_;
};

bool IsPortNumber(const std::string& port) {
    return !port.empty() && std::all_of(port.begin(), port.end(), [](unsigned char c) {
        return std::isdigit(c) != 0 || c == '-' || c == '+';
    });
}

} // namespace

int RunProgram(CliContext& context) {
    const std::optional<std::string> port = context.args.Value("--port");
    if (!port) {
        return CliUsageError(context, "--port PORT is required");
    }
    std::string error;
    const std::optional<int> number =
        IsPortNumber(*port)
            ? context.args.IntValue("--port", kFirstPortNumber, kLastPortNumber, error)
            : std::nullopt;
    if (!error.empty()) {
        return CliUsageError(context, error);
    }
    CConfiguration design;
    if (!CliLoadDesign(context, context.args.Positionals()[0], design)) {
        return kExitFailed;
    }
    const QtApplicationScope qt;
    CComPort serialPort;
    CliProgressBar progress(context.err, CliProgressBar::IsTerminal(context.err));
    MessagesBelowProgress messages(context.messages, progress);
    const UnitLink link{serialPort, messages, &progress};
    CSettings settings;
    const bool programmed =
        number ? ProgramUnit(design, *number, settings, link) : ProgramUnit(design, *port, link);
    return programmed ? kExitSuccess : kExitFailed;
}

} // namespace kv
