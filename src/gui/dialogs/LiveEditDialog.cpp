#include "dialogs/LiveEditDialog.h"

namespace kv {

// A field applies what it shows when it loses the focus. Hiding the dialog
// takes the focus away, which after the restore would apply the edit again:
// the field lets go of it first.
void LiveEditDialog::reject() {
    if (QWidget* focused = focusWidget()) {
        focused->clearFocus();
    }
    Restore();
    QDialog::reject();
}

void LiveEditDialog::HandleChange(const std::function<void()>& change) {
    if (handling_) {
        return;
    }
    handling_ = true;
    if (messages_) {
        messages_->Hold();
    }
    change();
    if (messages_) {
        messages_->Release();
    }
    handling_ = false;
}

} // namespace kv
