#pragma once

#include "dialogs/CCrossoverDlg.h"

namespace kv {

// "Low-pass Filter[1]": low-pass slot 0 or 1 of a band.
class CLpFilterDlg : public CCrossoverDlg {
    Q_OBJECT

public:
    CLpFilterDlg(CConfiguration& design, int band, int slot, IMessageBox& messages,
                 std::function<void()> changed, QWidget* parent = nullptr)
        : CCrossoverDlg(design, band, CrossoverSide::LowPass, slot, messages, std::move(changed),
                        parent) {}
};

} // namespace kv
