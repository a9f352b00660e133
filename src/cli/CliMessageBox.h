#pragma once

#include "ui/IMessageBox.h"

#include <iosfwd>

namespace kv {

// Messages as one line each on an error stream, "kestrelvane-cli: " first.
// Questions get the answer the command line chose in advance.
class CliMessageBox : public IMessageBox {
public:
    CliMessageBox(std::ostream& errors, Answer answer = Answer::Yes)
        : errors_(errors), answer_(answer) {}

    void Show(const std::string& text, const std::string& caption, Icon icon) override;
    Answer Ask(const std::string& text, const std::string& caption, Buttons buttons,
               Icon icon) override;

private:
    std::ostream& errors_;
    Answer answer_;
};

} // namespace kv
