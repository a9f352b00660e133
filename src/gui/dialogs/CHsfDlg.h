#pragma once

#include "dialogs/CFilterItemsDlg.h"

namespace kv {

// "High-pass Shelving Filter": the band's high shelf.
class CHsfDlg : public CFilterItemsDlg {
    Q_OBJECT

public:
    CHsfDlg(CConfiguration& design, int band, IMessageBox& messages, std::function<void()> changed,
            QWidget* parent = nullptr)
        : CFilterItemsDlg(design, band, FilterItems::HighShelf,
                          QStringLiteral("High-pass Shelving Filter"), messages, std::move(changed),
                          parent) {
        setObjectName(QStringLiteral("highShelfDialog"));
    }
};

} // namespace kv
