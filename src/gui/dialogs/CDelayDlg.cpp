#include "dialogs/CDelayDlg.h"

#include "dialogs/DialogLayout.h"

#include <QFormLayout>

namespace kv {

// The band keeps whole samples: the field shows what it holds.
CDelayDlg::CDelayDlg(CConfiguration& design, int band, std::function<void()> changed,
                     QWidget* parent)
    : LiveEditDialog(design, std::move(changed), parent) {
    setObjectName(QStringLiteral("delayDialog"));
    setWindowTitle(QStringLiteral("Alignment Delay"));
    auto* form = new QFormLayout;
    AddLabelledField(*form, "delay", {design, band});
    FinishOkCancelDialog(*this, form);
}

} // namespace kv
