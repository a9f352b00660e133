#pragma once

#include "ui/IMessageBox.h"

#include <iostream>

namespace kv::tools {

// A tool asks nothing: messages go to standard error and every question is
// answered No.
class PrintedMessages : public IMessageBox {
public:
    void Show(const std::string& text, const std::string&, Icon) override {
        std::cerr << text << "\n";
    }
    Answer Ask(const std::string& text, const std::string&, Buttons, Icon) override {
        std::cerr << text << "\n";
        return Answer::No;
    }
};

} // namespace kv::tools
