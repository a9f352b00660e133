#pragma once

#include "dialogs/CFilterItemsDlg.h"

namespace kv {

class IFileChooser;
struct FilterImportPlan;

// "Parametric EQ": the band's fourteen equalisers, shown (and stored)
// enabled first, in order of frequency, and "Import filters..." that brings
// the filter list of a room-measurement program or a PC equaliser into the
// band.
class CEqDlg : public CFilterItemsDlg {
    Q_OBJECT

public:
    CEqDlg(CBand& band, IMessageBox& messages, IFileChooser& files, std::function<void()> changed,
           QWidget* parent = nullptr);

private:
    // The band with its equalisers sorted, before the dialog takes the copy
    // that Cancel restores: Cancel keeps the sorted order.
    static CBand& Sorted(CBand& band);
    // The user chooses a filter list; what fits is imported when nothing
    // else is in it, or when the user agrees after reading what does not.
    void ImportFilters();
    bool ConfirmImport(const FilterImportPlan& plan);

    CBand& band_;
    IMessageBox& messages_;
    IFileChooser& files_;
    std::function<void()> changed_;
};

} // namespace kv
