#pragma once

#include "dialogs/LiveEditDialog.h"

#include <functional>

namespace kv {

class CConfiguration;
class VFloatSpinButton;

// "Target Levels": the level the filter and target curves are drawn at. It
// changes no response, so a change only redraws.
class CTargetLevels : public LiveEditDialog {
    Q_OBJECT

public:
    CTargetLevels(CConfiguration& design, std::function<void()> redraw, QWidget* parent = nullptr);

private:
    void Restore() override;
    void LevelChanged();

    CConfiguration& design_;
    std::function<void()> redraw_;
    double saved_;
    VFloatSpinButton* level_ = nullptr;
};

} // namespace kv
