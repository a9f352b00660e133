#pragma once

#include "dialogs/CFilterItemsDlg.h"
#include "model/Optimiser.h"

#include <array>

class QCheckBox;

namespace kv {

class IFileChooser;

// "Parametric EQ": the band's fourteen equalisers, shown (and stored)
// enabled first, in order of frequency, "Import filters..." that brings
// the filter list of a room-measurement program or a PC equaliser into the
// band, and "Optimise..." that fits the band to its target with the
// equalisers not marked "Keep" (the marks last as long as the dialog).
class CEqDlg : public CFilterItemsDlg {
    Q_OBJECT

public:
    CEqDlg(CConfiguration& design, int band, IMessageBox& messages, IFileChooser& files,
           std::function<void()> changed, QWidget* parent = nullptr);

private:
    // The design with the band's equalisers sorted, before the dialog takes
    // the copy that Cancel restores: Cancel keeps the sorted order.
    static CConfiguration& Sorted(CConfiguration& design, int band);
    void AddKeepBoxes();
    void ShowDesign() override;
    void ImportFilters();
    void Optimise();
    KeptEqualisers Kept() const;

    IFileChooser& files_;
    int band_;
    std::function<void()> changed_;
    std::array<QCheckBox*, kEqualisers> keep_{};
};

} // namespace kv
