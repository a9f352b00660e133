#include "dialogs/CTargetLevels.h"

#include "dialogs/DialogLayout.h"

#include <QFormLayout>

namespace kv {

CTargetLevels::CTargetLevels(CConfiguration& design, std::function<void()> changed, QWidget* parent)
    : LiveEditDialog(design, std::move(changed), parent) {
    setObjectName(QStringLiteral("targetLevelsDialog"));
    setWindowTitle(QStringLiteral("Target Levels"));
    auto* form = new QFormLayout;
    AddLabelledField(*form, "targetLevel", {design});
    FinishOkCancelDialog(*this, form);
}

} // namespace kv
