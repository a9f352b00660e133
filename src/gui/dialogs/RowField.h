#pragma once

#include "session/FieldTable.h"

class QWidget;

namespace kv {

class VFloatSpinButton;
class VIntSpinButton;
class VSpinButtonBase;

// The spin field of one row of the field table: it takes the row's range,
// step, decimals and names, shows what the row reads and writes what the
// user enters through the row. A row without decimals is a whole-number
// field.
class RowField {
public:
    RowField(const FieldRow& row, const FieldContext& context, QWidget* parent);

    const FieldRow& Row() const { return row_; }
    const FieldContext& Context() const { return context_; }
    VSpinButtonBase* Widget() const;
    double Value() const;

    // Shows what the row reads now.
    void Show();
    // Writes the field's value through the row; false when it is refused.
    bool Write() const;

private:
    const FieldRow& row_;
    FieldContext context_;
    VFloatSpinButton* real_ = nullptr;
    VIntSpinButton* whole_ = nullptr;
};

} // namespace kv
