#pragma once

#include "dialogs/LiveEditDialog.h"
#include "session/CrossoverSlotEditor.h"

#include <array>

class QCheckBox;
class QComboBox;
class QGroupBox;

namespace kv {

// The high-pass and low-pass dialogs: the target, the filter and its custom
// tuning of one crossover slot, edited live. The editing is the slot
// editor's; the dialog shows what the band holds.
class CCrossoverDlg : public LiveEditDialog {
    Q_OBJECT

public:
protected:
    CCrossoverDlg(CConfiguration& design, int band, CrossoverSide side, int slot,
                  IMessageBox& messages, std::function<void()> changed, QWidget* parent);

private:
    void WriteField(const RowField& field) override;
    void ShowDesign() override;
    QGroupBox* BuildTarget();
    QGroupBox* BuildFilter();
    QGroupBox* BuildTuning();
    QComboBox* TypeCombo(const QString& name, bool withCustom);

    CrossoverSlotEditor editor_;
    QComboBox* targetType_ = nullptr;
    QComboBox* filterType_ = nullptr;
    RowField* filterOrder_ = nullptr;
    QCheckBox* enabled_ = nullptr;
    std::array<RowField*, 2 * kCrossoverSections> tuning_{};
};

} // namespace kv
