#pragma once

#include <QDialog>
#include <functional>

namespace kv {

class CBand;
class VFloatSpinButton;

// "Alignment Delay": the band's delay in milliseconds, up to what the shared
// delay memory leaves it beside the other bands' delays.
class CDelayDlg : public QDialog {
    Q_OBJECT

public:
    CDelayDlg(CBand& band, std::function<void()> changed, QWidget* parent = nullptr);

    void reject() override;

private:
    void DelayChanged();

    CBand& band_;
    std::function<void()> changed_;
    double saved_;
    VFloatSpinButton* delay_ = nullptr;
};

} // namespace kv
