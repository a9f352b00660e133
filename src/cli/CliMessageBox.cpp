#include "CliMessageBox.h"

#include <ostream>

namespace kv {

void CliMessageBox::Show(const std::string& text, const std::string& caption, Icon icon) {
    (void)caption;
    (void)icon;
    errors_ << "kestrelvane-cli: " << text << '\n';
}

IMessageBox::Answer CliMessageBox::Ask(const std::string& text, const std::string& caption,
                                       Buttons buttons, Icon icon) {
    (void)caption;
    (void)buttons;
    (void)icon;
    errors_ << "kestrelvane-cli: " << text << '\n';
    return answer_;
}

} // namespace kv
