#pragma once

#include "dialogs/BandEdits.h"
#include "dialogs/LiveEditDialog.h"

#include <array>
#include <functional>

class QCheckBox;
class QRadioButton;

namespace kv {

class CBand;
class VFloatSpinButton;

// "Routing & Gain": which input feeds the band, its gain, mute and polarity.
class CGainDlg : public LiveEditDialog {
    Q_OBJECT

public:
    CGainDlg(CBand& band, std::function<void()> changed, QWidget* parent = nullptr);

private:
    void Restore() override;
    void GainChanged();

    CBand& band_;
    std::function<void()> changed_;
    RoutingSettings saved_;
    std::array<QRadioButton*, 3> inputs_{};
    VFloatSpinButton* gain_ = nullptr;
    QCheckBox* muted_ = nullptr;
    QCheckBox* reversed_ = nullptr;
};

} // namespace kv
