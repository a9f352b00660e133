#pragma once

#include "ui/IMessageBox.h"

namespace kv::bench {

// Messages would stop a benchmark: none is shown, and every question gets
// the same answer.
class SilentMessages : public IMessageBox {
public:
    explicit SilentMessages(Answer answer = Answer::No) : answer_(answer) {}
    void Show(const std::string&, const std::string&, Icon) override {}
    Answer Ask(const std::string&, const std::string&, Buttons, Icon) override { return answer_; }

private:
    Answer answer_;
};

} // namespace kv::bench
