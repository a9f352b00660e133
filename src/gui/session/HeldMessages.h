#pragma once

#include "ui/IMessageBox.h"

#include <vector>

namespace kv {

// The messages an editor gives while its dialog handles a change, held back
// until the dialog shows what the band then holds: a box must never stand
// over a field that still shows the value it refuses. Questions need their
// answer at once and pass straight through.
class HeldMessages : public IMessageBox {
public:
    explicit HeldMessages(IMessageBox& target) : target_(target) {}

    void Show(const std::string& text, const std::string& caption, Icon icon) override;
    Answer Ask(const std::string& text, const std::string& caption, Buttons buttons,
               Icon icon) override;

    // From now on, Show waits for Release.
    void Hold() { holding_ = true; }
    // Shows what was held, in order, and passes messages straight on again.
    void Release();

private:
    struct Message {
        std::string text;
        std::string caption;
        Icon icon;
    };

    IMessageBox& target_;
    std::vector<Message> held_;
    bool holding_ = false;
};

} // namespace kv
