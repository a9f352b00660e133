#include "dialogs/LiveEditDialog.h"

#include "controls/VSpinButtonBase.h"
#include "dialogs/DialogLayout.h"

#include <QFontMetrics>
#include <QShowEvent>
#include <utility>

namespace kv {
namespace {

// The title bar's icon and buttons beside the title, and its margins.
constexpr int kTitleBarDecorations = 120;

} // namespace

LiveEditDialog::LiveEditDialog(CConfiguration& design, std::function<void()> changed,
                               QWidget* parent)
    : QDialog(parent), design_(design), changed_(std::move(changed)), saved_(design.Settings()) {}

LiveEditDialog::LiveEditDialog(CConfiguration& design, std::function<void()> changed,
                               IMessageBox& messages, QWidget* parent)
    : LiveEditDialog(design, std::move(changed), parent) {
    messages_.emplace(messages);
}

void LiveEditDialog::showEvent(QShowEvent* event) {
    QFont titleFont = font();
    titleFont.setBold(true);
    const int titleWidth =
        QFontMetrics(titleFont).horizontalAdvance(windowTitle()) + kTitleBarDecorations;
    if (minimumWidth() < titleWidth) {
        setMinimumWidth(titleWidth);
    }
    QDialog::showEvent(event);
}

// A field applies what it shows when it loses the focus. Hiding the dialog
// takes the focus away, which after the restore would apply the edit again:
// the field lets go of it first.
void LiveEditDialog::reject() {
    if (QWidget* focused = focusWidget()) {
        focused->clearFocus();
    }
    if (!(design_.Settings() == saved_)) {
        design_.SetSettings(saved_);
        changed_();
    }
    QDialog::reject();
}

void LiveEditDialog::ShowOutsideChange() {
    if (!handling_) {
        ShowDesign();
    }
}

RowField& LiveEditDialog::AddField(std::string_view row, const FieldContext& context) {
    fields_.push_back(std::make_unique<RowField>(Row(row), context, this));
    RowField& field = *fields_.back();
    connect(field.Widget(), &VSpinButtonBase::spinChanged, this,
            [this, &field] { HandleChange([this, &field] { WriteField(field); }); });
    return field;
}

RowField& LiveEditDialog::AddLabelledField(QFormLayout& form, std::string_view row,
                                           const FieldContext& context) {
    RowField& field = AddField(row, context);
    AddLabelledRow(form, QString::fromLatin1(field.Row().label), field.Widget());
    return field;
}

void LiveEditDialog::WriteField(const RowField& field) {
    field.Write();
}

void LiveEditDialog::ShowDesign() {
    for (const std::unique_ptr<RowField>& field : fields_) {
        field->Show();
    }
}

void LiveEditDialog::HandleChange(const std::function<void()>& change) {
    if (handling_) {
        return;
    }
    handling_ = true;
    if (messages_) {
        messages_->Hold();
    }
    const DesignSettings before = design_.Settings();
    change();
    if (!(design_.Settings() == before)) {
        changed_();
    }
    ShowDesign();
    if (messages_) {
        messages_->Release();
    }
    handling_ = false;
}

} // namespace kv
