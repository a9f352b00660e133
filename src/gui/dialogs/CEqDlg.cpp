#include "dialogs/CEqDlg.h"

namespace kv {

CEqDlg::CEqDlg(CBand& band, IMessageBox& messages, std::function<void()> changed, QWidget* parent)
    : CFilterItemsDlg(Sorted(band), FilterItems::Peqs, QStringLiteral("Parametric EQ"), messages,
                      std::move(changed), parent) {
    setObjectName(QStringLiteral("eqDialog"));
}

CBand& CEqDlg::Sorted(CBand& band) {
    SortPeqs(band);
    return band;
}

} // namespace kv
