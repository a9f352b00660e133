#pragma once

#include <string>

namespace kv {

// The caption of every message the program shows.
inline constexpr const char* kMessageCaption = "Kestrelvane (HMQ27)";

// How the core asks a front end to tell the user something. The desktop
// program shows message boxes, the command line prints to standard error and
// tests record the calls.
class IMessageBox {
public:
    enum class Icon { Error, Information, Question, Warning };
    // SaveDiscardCancel: "Save", "Don't Save" and "Cancel".
    enum class Buttons { Ok, OkCancel, YesNo, YesNoCancel, SaveDiscardCancel };
    enum class Answer { Ok, Cancel, Yes, No, Save, Discard };

    virtual ~IMessageBox() = default;

    virtual void Show(const std::string& text, const std::string& caption, Icon icon) = 0;
    virtual Answer Ask(const std::string& text, const std::string& caption, Buttons buttons,
                       Icon icon) = 0;

    void ShowError(const std::string& text) { Show(text, kMessageCaption, Icon::Error); }
};

} // namespace kv
