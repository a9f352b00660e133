#pragma once

#include "dialogs/CCrossoverDlg.h"

namespace kv {

// "High-pass Filter[1]": high-pass slot 0 or 1 of a band.
class CHpFilterDlg : public CCrossoverDlg {
    Q_OBJECT

public:
    CHpFilterDlg(CConfiguration& design, int band, int slot, IMessageBox& messages,
                 std::function<void()> changed, QWidget* parent = nullptr)
        : CCrossoverDlg(design, band, CrossoverSide::HighPass, slot, messages, std::move(changed),
                        parent) {}
};

} // namespace kv
