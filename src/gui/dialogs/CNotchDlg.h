#pragma once

#include "dialogs/CFilterItemsDlg.h"

namespace kv {

// "Notch EQ": the band's six notches.
class CNotchDlg : public CFilterItemsDlg {
    Q_OBJECT

public:
    CNotchDlg(CConfiguration& design, int band, IMessageBox& messages,
              std::function<void()> changed, QWidget* parent = nullptr)
        : CFilterItemsDlg(design, band, FilterItems::Notches, QStringLiteral("Notch EQ"), messages,
                          std::move(changed), parent) {
        setObjectName(QStringLiteral("notchDialog"));
    }
};

} // namespace kv
