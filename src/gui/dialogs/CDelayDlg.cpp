#include "dialogs/CDelayDlg.h"

#include "dialogs/CAlignDlg.h"
#include "dialogs/DialogLayout.h"

#include <QFormLayout>
#include <QPushButton>

namespace kv {

// The band keeps whole samples: the field shows what it holds.
CDelayDlg::CDelayDlg(CConfiguration& design, int band, std::function<void()> changed,
                     QWidget* parent)
    : LiveEditDialog(design, std::move(changed), parent) {
    setObjectName(QStringLiteral("delayDialog"));
    setWindowTitle(QStringLiteral("Alignment Delay"));
    auto* form = new QFormLayout;
    AddLabelledField(*form, "delay", {design, band});
    auto* align = new QPushButton(QStringLiteral("&Align..."), this);
    align->setObjectName(QStringLiteral("alignButton"));
    align->setAutoDefault(false);
    connect(align, &QPushButton::clicked, this, [this, band] { Align(band); });
    form->addRow(align);
    FinishOkCancelDialog(*this, form);
}

// What Align finds is one more change of the dialog's, kept or undone with
// it.
void CDelayDlg::Align(int band) {
    CAlignDlg dialog(Design(), band, this);
    if (dialog.exec() == QDialog::Accepted && dialog.Found()) {
        const Alignment found = dialog.Result();
        HandleChange([this, found] { ApplyAlignment(Design(), found); });
    }
}

} // namespace kv
