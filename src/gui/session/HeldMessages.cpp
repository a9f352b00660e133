#include "session/HeldMessages.h"

#include <utility>

namespace kv {

void HeldMessages::Show(const std::string& text, const std::string& caption, Icon icon) {
    if (holding_) {
        held_.push_back({text, caption, icon});
    } else {
        target_.Show(text, caption, icon);
    }
}

IMessageBox::Answer HeldMessages::Ask(const std::string& text, const std::string& caption,
                                      Buttons buttons, Icon icon) {
    return target_.Ask(text, caption, buttons, icon);
}

void HeldMessages::Release() {
    holding_ = false;
    std::vector<Message> held = std::exchange(held_, {});
    for (const Message& message : held) {
        target_.Show(message.text, message.caption, message.icon);
    }
}

} // namespace kv
