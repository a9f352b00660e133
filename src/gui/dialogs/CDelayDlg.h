#pragma once

#include "dialogs/LiveEditDialog.h"

namespace kv {

// "Alignment Delay": the band's delay in milliseconds, up to what the shared
// delay memory leaves it beside the other bands' delays, and Align, which
// finds the delay and polarity that make it sum with a neighbour as their
// targets do.
class CDelayDlg : public LiveEditDialog {
    Q_OBJECT

public:
    CDelayDlg(CConfiguration& design, int band, std::function<void()> changed,
              QWidget* parent = nullptr);

private:
    void Align(int band);
};

} // namespace kv
