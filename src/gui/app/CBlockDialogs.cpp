#include "app/CBlockDialogs.h"

#include "app/DesignSession.h"
#include "dialogs/CHpFilterDlg.h"
#include "dialogs/CLpFilterDlg.h"

namespace kv {

bool CBlockDialogs::OpenBlockDialog(BlockKind kind, int band) {
    CBand& target = session_.Configuration().bands[static_cast<std::size_t>(band)];
    const auto changed = [this] { session_.Recalculate(); };
    std::unique_ptr<QDialog> dialog;
    switch (kind) {
    case BlockKind::HighPass1:
    case BlockKind::HighPass2:
        dialog = std::make_unique<CHpFilterDlg>(target, kind == BlockKind::HighPass1 ? 0 : 1,
                                                messages_, changed, parent_);
        break;
    case BlockKind::LowPass1:
    case BlockKind::LowPass2:
        dialog = std::make_unique<CLpFilterDlg>(target, kind == BlockKind::LowPass1 ? 0 : 1,
                                                messages_, changed, parent_);
        break;
    default:
        return false;
    }
    return dialog->exec() == QDialog::Accepted;
}

} // namespace kv
