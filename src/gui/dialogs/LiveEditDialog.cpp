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

} // namespace kv
