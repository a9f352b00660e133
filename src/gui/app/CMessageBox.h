#pragma once

#include "ui/IMessageBox.h"

class QWidget;

namespace kv {

// The core's messages as modal Qt message boxes over a parent window.
class CMessageBox : public IMessageBox {
public:
    explicit CMessageBox(QWidget* parent) : parent_(parent) {}

    void Show(const std::string& text, const std::string& caption, Icon icon) override;
    Answer Ask(const std::string& text, const std::string& caption, Buttons buttons,
               Icon icon) override;

private:
    QWidget* parent_;
};

} // namespace kv
