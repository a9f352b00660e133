#include "dialogs/CDelayDlg.h"

#include "controls/VFloatSpinButton.h"
#include "dialogs/DialogLayout.h"
#include "dialogs/FieldTable.h"
#include "model/CBand.h"

#include <QFormLayout>

namespace kv {

CDelayDlg::CDelayDlg(CBand& band, std::function<void()> changed, QWidget* parent)
    : LiveEditDialog(parent), band_(band), changed_(std::move(changed)), saved_(band.delay) {
    setObjectName(QStringLiteral("delayDialog"));
    setWindowTitle(QStringLiteral("Alignment Delay"));
    const FieldDescription& description = FieldsOf(FieldGroup::Delay)[0];
    delay_ = BuildFloatField(description, FieldContext{band}, this);
    auto* form = new QFormLayout;
    AddLabelledRow(*form, QString::fromLatin1(description.label), delay_);
    FinishOkCancelDialog(*this, form);
    connect(delay_, &VSpinButtonBase::spinChanged, this, &CDelayDlg::DelayChanged);
}

// The band keeps whole samples: the field shows what it holds.
void CDelayDlg::DelayChanged() {
    band_.SetDelay(delay_->Value() / 1000.0);
    delay_->SetValue(band_.delay * 1000.0);
    changed_();
}

void CDelayDlg::Restore() {
    band_.SetDelay(saved_);
    changed_();
}

} // namespace kv
