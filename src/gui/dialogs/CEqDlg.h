#pragma once

#include "dialogs/CFilterItemsDlg.h"

namespace kv {

class IFileChooser;

// "Parametric EQ": the band's fourteen equalisers, shown (and stored)
// enabled first, in order of frequency, and "Import filters..." that brings
// the filter list of a room-measurement program or a PC equaliser into the
// band.
class CEqDlg : public CFilterItemsDlg {
    Q_OBJECT

public:
    CEqDlg(CConfiguration& design, int band, IMessageBox& messages, IFileChooser& files,
           std::function<void()> changed, QWidget* parent = nullptr);

private:
    // The design with the band's equalisers sorted, before the dialog takes
    // the copy that Cancel restores: Cancel keeps the sorted order.
    static CConfiguration& Sorted(CConfiguration& design, int band);
    void ImportFilters();

    IFileChooser& files_;
};

} // namespace kv
