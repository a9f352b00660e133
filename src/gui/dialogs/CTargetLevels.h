#pragma once

#include "dialogs/LiveEditDialog.h"

namespace kv {

// "Target Levels": the level the filter and target curves are drawn at. It
// changes no response, only how the curves are drawn.
class CTargetLevels : public LiveEditDialog {
    Q_OBJECT

public:
    CTargetLevels(CConfiguration& design, std::function<void()> changed, QWidget* parent = nullptr);
};

} // namespace kv
