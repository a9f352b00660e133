#pragma once

#include "dialogs/BandEdits.h"
#include "dialogs/LiveEditDialog.h"

#include <functional>

class QComboBox;

namespace kv {

class CBand;
class VFloatSpinButton;

// "Bass & Treble": the TAS3103's own tone stage of a band, its gains on the
// chip's 0.5 dB steps and its corner selections.
class CBassNTrebleDlg : public LiveEditDialog {
    Q_OBJECT

public:
    CBassNTrebleDlg(CBand& band, std::function<void()> changed, QWidget* parent = nullptr);

private:
    void Restore() override;
    QComboBox* CornerCombo(const QString& name, bool treble, int selection);
    void GainsChanged();
    void CornersChanged();
    void ShowGains();

    CBand& band_;
    std::function<void()> changed_;
    ToneSettings saved_;
    VFloatSpinButton* bass_ = nullptr;
    VFloatSpinButton* treble_ = nullptr;
    QComboBox* bassCorner_ = nullptr;
    QComboBox* trebleCorner_ = nullptr;
};

} // namespace kv
