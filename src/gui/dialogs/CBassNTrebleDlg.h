#pragma once

#include "dialogs/LiveEditDialog.h"

class QComboBox;

namespace kv {

// "Bass & Treble": the TAS3103's own tone stage of a band, its gains on the
// chip's 0.5 dB steps and its corner selections.
class CBassNTrebleDlg : public LiveEditDialog {
    Q_OBJECT

public:
    CBassNTrebleDlg(CConfiguration& design, int band, std::function<void()> changed,
                    QWidget* parent = nullptr);

private:
    QComboBox* CornerCombo(const QString& name, bool treble, int selection);
    void CornersChanged();

    CBand& band_;
    QComboBox* bassCorner_ = nullptr;
    QComboBox* trebleCorner_ = nullptr;
};

} // namespace kv
