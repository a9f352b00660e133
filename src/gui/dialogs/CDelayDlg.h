#pragma once

#include "dialogs/LiveEditDialog.h"

#include <functional>

namespace kv {

class CBand;
class VFloatSpinButton;

// "Alignment Delay": the band's delay in milliseconds, up to what the shared
// delay memory leaves it beside the other bands' delays.
class CDelayDlg : public LiveEditDialog {
    Q_OBJECT

public:
    CDelayDlg(CBand& band, std::function<void()> changed, QWidget* parent = nullptr);

private:
    void Restore() override;
    void DelayChanged();

    CBand& band_;
    std::function<void()> changed_;
    double saved_;
    VFloatSpinButton* delay_ = nullptr;
};

} // namespace kv
