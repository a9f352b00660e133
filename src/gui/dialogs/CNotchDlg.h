#pragma once

#include "dialogs/CFilterItemsDlg.h"

namespace kv {

// "Notch EQ": the band's six notches.
class CNotchDlg : public CFilterItemsDlg {
    Q_OBJECT

public:
    CNotchDlg(CBand& band, IMessageBox& messages, std::function<void()> changed,
              QWidget* parent = nullptr)
        : CFilterItemsDlg(band, FilterItems::Notches, QStringLiteral("Notch EQ"), messages,
                          std::move(changed), parent) {
        setObjectName(QStringLiteral("notchDialog"));
    }
};

} // namespace kv
