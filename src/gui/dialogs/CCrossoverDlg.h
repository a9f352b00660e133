#pragma once

#include "dialogs/CrossoverSlotEditor.h"
#include "dialogs/LiveEditDialog.h"

#include <array>

class QCheckBox;
class QComboBox;
class QGridLayout;
class QGroupBox;

namespace kv {

class CBand;
class IMessageBox;
class VFloatSpinButton;
class VIntSpinButton;

// The high-pass and low-pass dialogs: the target, the filter and its custom
// tuning of one crossover slot, edited live. The editing is the slot
// editor's; the dialog shows its view.
class CCrossoverDlg : public LiveEditDialog {
    Q_OBJECT

public:
protected:
    CCrossoverDlg(CBand& band, CrossoverSide side, int slot, IMessageBox& messages,
                  std::function<void()> changed, QWidget* parent);

private:
    void Restore() override;
    QGroupBox* BuildTarget(const CBand& band, bool highPass);
    QGroupBox* BuildFilter(const CBand& band, bool highPass);
    QGroupBox* BuildTuning(const CBand& band, bool highPass);
    QComboBox* TypeCombo(const QString& name, bool withCustom);
    CrossoverView ReadView();
    void ShowView(const CrossoverView& view);
    // A change of any field, type or the enable box: the editor acts on the
    // view as shown, then the dialog shows what it left.
    void Handle(void (CrossoverSlotEditor::*handler)(CrossoverView&));

    CrossoverSlotEditor editor_;
    QComboBox* targetType_ = nullptr;
    VFloatSpinButton* targetFreq_ = nullptr;
    VIntSpinButton* targetOrder_ = nullptr;
    QComboBox* filterType_ = nullptr;
    VFloatSpinButton* filterFreq_ = nullptr;
    VIntSpinButton* filterOrder_ = nullptr;
    QCheckBox* enabled_ = nullptr;
    std::array<VFloatSpinButton*, 2 * kCrossoverSections> tuning_{};
};

} // namespace kv
