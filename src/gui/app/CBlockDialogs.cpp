#include "app/CBlockDialogs.h"

#include "app/PaneOnlyInput.h"
#include "app/WindowPlacer.h"
#include "dialogs/CAllPassDlg.h"
#include "dialogs/CBassNTrebleDlg.h"
#include "dialogs/CDelayDlg.h"
#include "dialogs/CEqDlg.h"
#include "dialogs/CGainDlg.h"
#include "dialogs/CHpFilterDlg.h"
#include "dialogs/CHsfDlg.h"
#include "dialogs/CLpFilterDlg.h"
#include "dialogs/CLsfDlg.h"
#include "dialogs/CNotchDlg.h"
#include "dialogs/CSPLCurve.h"
#include "session/DesignSession.h"

#include <QEventLoop>

namespace kv {

std::unique_ptr<LiveEditDialog> CBlockDialogs::DialogFor(BlockKind kind, int band) {
    CConfiguration& design = session_.Document().Design();
    auto changed = [this] { session_.LiveChange(); };
    switch (kind) {
    case BlockKind::Input:
        return std::make_unique<CGainDlg>(design, band, changed, parent_);
    case BlockKind::Delay:
        return std::make_unique<CDelayDlg>(design, band, changed, parent_);
    case BlockKind::HighPass1:
    case BlockKind::HighPass2:
        return std::make_unique<CHpFilterDlg>(design, band, kind == BlockKind::HighPass1 ? 0 : 1,
                                              messages_, changed, parent_);
    case BlockKind::LowPass1:
    case BlockKind::LowPass2:
        return std::make_unique<CLpFilterDlg>(design, band, kind == BlockKind::LowPass1 ? 0 : 1,
                                              messages_, changed, parent_);
    case BlockKind::Notch:
        return std::make_unique<CNotchDlg>(design, band, messages_, changed, parent_);
    case BlockKind::AllPass:
        return std::make_unique<CAllPassDlg>(design, band, messages_, changed, parent_);
    case BlockKind::Eq:
        return std::make_unique<CEqDlg>(design, band, messages_, files_, changed, parent_);
    case BlockKind::LowShelf:
        return std::make_unique<CLsfDlg>(design, band, messages_, changed, parent_);
    case BlockKind::HighShelf:
        return std::make_unique<CHsfDlg>(design, band, messages_, changed, parent_);
    case BlockKind::BassTreble:
        return std::make_unique<CBassNTrebleDlg>(design, band, changed, parent_);
    case BlockKind::Driver:
        return std::make_unique<CSPLCurve>(design, band, messages_, files_, changed, parent_);
    }
    return nullptr;
}

// Not modal as exec() would make it: the response views stay live beside
// the dialog, and only they.
bool CBlockDialogs::OpenBlockDialog(BlockKind kind, int band) {
    const std::unique_ptr<LiveEditDialog> dialog = DialogFor(kind, band);
    if (dialog == nullptr) {
        return false;
    }
    placer_.Place(*dialog);
    open_ = dialog.get();
    session_.SetBlockDialogOpen(true);
    {
        const PaneOnlyInput onlyPanes(*parent_);
        QEventLoop loop;
        QObject::connect(dialog.get(), &QDialog::finished, &loop, &QEventLoop::quit);
        dialog->show();
        dialog->activateWindow();
        loop.exec(QEventLoop::DialogExec);
    }
    session_.SetBlockDialogOpen(false);
    open_.clear();
    return dialog->result() == QDialog::Accepted;
}

void CBlockDialogs::ShowDesignInOpenDialog() {
    if (!open_.isNull()) {
        open_->ShowOutsideChange();
    }
}

} // namespace kv
