#pragma once

#include "dialogs/LiveEditDialog.h"

namespace kv {

// "Alignment Delay": the band's delay in milliseconds, up to what the shared
// delay memory leaves it beside the other bands' delays.
class CDelayDlg : public LiveEditDialog {
    Q_OBJECT

public:
    CDelayDlg(CConfiguration& design, int band, std::function<void()> changed,
              QWidget* parent = nullptr);
};

} // namespace kv
