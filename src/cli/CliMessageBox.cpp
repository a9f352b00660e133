#include "CliMessageBox.h"

#include <ostream>
#include <string>

namespace kv {
namespace {

// A message box's paragraphs (split by a blank line) as one line of text:
// "Couldn't open the file ! " and its reason read as one sentence after the
// other.
std::string OneLine(std::string text) {
    for (std::size_t at = text.find("\n\n"); at != std::string::npos; at = text.find("\n\n", at)) {
        std::size_t start = at;
        while (start > 0 && text[start - 1] == ' ') {
            --start;
        }
        text.replace(start, at + 2 - start, " ");
        at = start + 1;
    }
    return text;
}

} // namespace

void CliMessageBox::Show(const std::string& text, const std::string& caption, Icon icon) {
    (void)caption;
    (void)icon;
    errors_ << "kestrelvane-cli: " << OneLine(text) << '\n';
}

IMessageBox::Answer CliMessageBox::Ask(const std::string& text, const std::string& caption,
                                       Buttons buttons, Icon icon) {
    (void)caption;
    (void)buttons;
    (void)icon;
    errors_ << "kestrelvane-cli: " << OneLine(text) << '\n';
    return answer_;
}

} // namespace kv
