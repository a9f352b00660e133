#pragma once

#include "dialogs/CFilterItemsDlg.h"

namespace kv {

// "Parametric EQ": the band's fourteen equalisers, shown (and stored)
// enabled first, in order of frequency.
class CEqDlg : public CFilterItemsDlg {
    Q_OBJECT

public:
    CEqDlg(CBand& band, IMessageBox& messages, std::function<void()> changed,
           QWidget* parent = nullptr);

private:
    // The band with its equalisers sorted, before the dialog takes the copy
    // that Cancel restores: Cancel keeps the sorted order.
    static CBand& Sorted(CBand& band);
};

} // namespace kv
