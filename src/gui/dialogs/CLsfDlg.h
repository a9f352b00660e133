#pragma once

#include "dialogs/CFilterItemsDlg.h"

namespace kv {

// "Low-pass Shelving Filter": the band's low shelf.
class CLsfDlg : public CFilterItemsDlg {
    Q_OBJECT

public:
    CLsfDlg(CConfiguration& design, int band, IMessageBox& messages, std::function<void()> changed,
            QWidget* parent = nullptr)
        : CFilterItemsDlg(design, band, FilterItems::LowShelf,
                          QStringLiteral("Low-pass Shelving Filter"), messages, std::move(changed),
                          parent) {
        setObjectName(QStringLiteral("lowShelfDialog"));
    }
};

} // namespace kv
