#include "dialogs/CTargetLevels.h"

#include "controls/VFloatSpinButton.h"
#include "dialogs/DialogLayout.h"
#include "dialogs/FieldTable.h"
#include "model/CConfiguration.h"

#include <QFormLayout>

namespace kv {

CTargetLevels::CTargetLevels(CConfiguration& design, std::function<void()> redraw, QWidget* parent)
    : LiveEditDialog(parent), design_(design), redraw_(std::move(redraw)),
      saved_(design.targetLevel) {
    setObjectName(QStringLiteral("targetLevelsDialog"));
    setWindowTitle(QStringLiteral("Target Levels"));
    const FieldDescription& description = FieldsOf(FieldGroup::TargetLevel)[0];
    level_ = BuildFloatField(description, FieldContext{design.bands[0]}, this);
    auto* form = new QFormLayout;
    AddLabelledRow(*form, QString::fromLatin1(description.label), level_);
    FinishOkCancelDialog(*this, form);
    connect(level_, &VSpinButtonBase::spinChanged, this, &CTargetLevels::LevelChanged);
}

void CTargetLevels::LevelChanged() {
    design_.SetTargetLevel(level_->Value());
    level_->SetValue(design_.targetLevel);
    redraw_();
}

void CTargetLevels::Restore() {
    design_.SetTargetLevel(saved_);
    redraw_();
}

} // namespace kv
