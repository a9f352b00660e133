#include "dialogs/RowField.h"

#include "controls/VFloatSpinButton.h"
#include "controls/VIntSpinButton.h"

#include <QString>

namespace kv {

RowField::RowField(const FieldRow& row, const FieldContext& context, QWidget* parent)
    : row_(row), context_(context) {
    const FieldBounds bounds = BoundsOf(row, context);
    if (row.decimals > 0) {
        real_ = new VFloatSpinButton(parent);
        real_->SetRange(bounds.minimum, bounds.maximum, row.step, row.decimals);
        if (row.range == FieldRange::Frequency) {
            real_->SetStepRatio(kFrequencyStepRatio);
        }
    } else {
        whole_ = new VIntSpinButton(parent);
        whole_->SetRange(static_cast<int>(bounds.minimum), static_cast<int>(bounds.maximum));
    }
    Widget()->setObjectName(QString::fromStdString(FieldObjectName(row, context)));
    Widget()->setAccessibleName(QString::fromLatin1(row.label).remove(QLatin1Char('&')));
    Show();
}

VSpinButtonBase* RowField::Widget() const {
    return real_ != nullptr ? static_cast<VSpinButtonBase*>(real_) : whole_;
}

double RowField::Value() const {
    return real_ != nullptr ? real_->Value() : whole_->Value();
}

void RowField::Show() {
    const double value = row_.read(context_);
    if (real_ != nullptr) {
        real_->SetValue(value);
    } else {
        whole_->SetValue(static_cast<int>(value));
    }
}

bool RowField::Write() const {
    return row_.write(context_, Value());
}

} // namespace kv
