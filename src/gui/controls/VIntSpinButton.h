#pragma once

#include "controls/VSpinButtonBase.h"

namespace kv {

// A spin field for an integer that steps by 1 (10 with Page Up/Down). Text
// outside the range is replaced by the bound it violates.
class VIntSpinButton : public VSpinButtonBase {
    Q_OBJECT

public:
    explicit VIntSpinButton(QWidget* parent = nullptr);

    // Also leaves the value at minimum - 1, so that the next SetValue is a
    // change whatever it sets.
    void SetRange(int minimum, int maximum);
    // Clamps v into the range, stores and shows it.
    void SetValue(int v);
    // The number typed when it lies within the range (not stored); otherwise
    // the violated bound, which is stored and shown.
    int ReadValue();
    int Value() const { return value_; }

protected:
    void Commit() override;
    bool Accepts(QChar c, const QString& rest) const override;
    bool StepBy(int steps) override;

private:
    int value_ = 0;
    int maximum_ = 100;
    int minimum_ = 0;
};

} // namespace kv
