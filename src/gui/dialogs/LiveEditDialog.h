#pragma once

#include <QDialog>

namespace kv {

// A dialog whose fields change the design while the user edits them; Cancel,
// Esc and the close box put back what the design held when it opened.
class LiveEditDialog : public QDialog {
public:
    using QDialog::QDialog;

    void reject() final;

protected:
    // Puts back what the design held when the dialog opened.
    virtual void Restore() = 0;
};

} // namespace kv
