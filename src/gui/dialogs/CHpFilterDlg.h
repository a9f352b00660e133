#pragma once

#include "dialogs/CCrossoverDlg.h"

namespace kv {

// "High-pass Filter[1]": high-pass slot 0 or 1 of a band.
class CHpFilterDlg : public CCrossoverDlg {
    Q_OBJECT

public:
    CHpFilterDlg(CBand& band, int slot, IMessageBox& messages, std::function<void()> changed,
                 QWidget* parent = nullptr)
        : CCrossoverDlg(band, CrossoverSide::HighPass, slot, messages, std::move(changed), parent) {
    }
};

} // namespace kv
