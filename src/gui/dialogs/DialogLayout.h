#pragma once

class QDialog;
class QFormLayout;
class QString;
class QWidget;

namespace kv {

// A form row whose label (with its "&" mnemonic) leads to the field and
// names it for screen readers.
void AddLabelledRow(QFormLayout& form, const QString& label, QWidget* field);

// Puts the form above OK and Cancel and lays the dialog out; OK is the
// default button, Esc cancels.
void FinishOkCancelDialog(QDialog& dialog, QFormLayout* form);

} // namespace kv
