#pragma once

#include "dialogs/HeldMessages.h"

#include <QDialog>
#include <functional>
#include <optional>

namespace kv {

// A dialog whose fields change the design while the user edits them; Cancel,
// Esc and the close box put back what the design held when it opened.
class LiveEditDialog : public QDialog {
public:
    explicit LiveEditDialog(QWidget* parent) : QDialog(parent) {}
    // A dialog whose editing tells the user things: they go through Messages.
    LiveEditDialog(IMessageBox& messages, QWidget* parent)
        : QDialog(parent), messages_(std::in_place, messages) {}

    void reject() final;

protected:
    // Puts back what the design held when the dialog opened.
    virtual void Restore() = 0;

    // Where the dialog's editing tells the user things; only for a dialog
    // made with a message box.
    IMessageBox& Messages() { return *messages_; }

    // Runs one change: the dialog's handler applies it and shows what the
    // band then holds, and only then does the user see what the editing
    // said. A change reported while one is handled is dropped: a message
    // box takes the focus from the field that reported the first, and the
    // field would report again, and again.
    void HandleChange(const std::function<void()>& change);

private:
    std::optional<HeldMessages> messages_;
    bool handling_ = false;
};

} // namespace kv
