#pragma once

#include "dialogs/CFilterItemsDlg.h"

namespace kv {

// "All-pass Filter": the band's all-pass section.
class CAllPassDlg : public CFilterItemsDlg {
    Q_OBJECT

public:
    CAllPassDlg(CConfiguration& design, int band, IMessageBox& messages,
                std::function<void()> changed, QWidget* parent = nullptr)
        : CFilterItemsDlg(design, band, FilterItems::AllPass, QStringLiteral("All-pass Filter"),
                          messages, std::move(changed), parent) {
        setObjectName(QStringLiteral("allPassDialog"));
    }
};

} // namespace kv
