#pragma once

#include "controls/VSpinButtonBase.h"

namespace kv {

// A spin field for a real value with a step and a fixed number of decimals.
// Text that holds no number, or one that is not finite, leaves the previous
// value; any other number is clamped into the range.
class VFloatSpinButton : public VSpinButtonBase {
    Q_OBJECT

public:
    explicit VFloatSpinButton(QWidget* parent = nullptr);

    // A step not above 0 becomes 0.1; a negative precision becomes the
    // decimals the step needs (0.01: 2, 0.05: 1).
    void SetRange(double minimum, double maximum, double step, int precision);
    // With a ratio above 1, a step multiplies the value by it (divides, down)
    // and the step given to SetRange becomes the fine step taken with Shift;
    // a step always moves the value by at least that fine step.
    void SetStepRatio(double ratio) { ratio_ = ratio; }
    // Clamps v into the range, stores and shows it. A v that is not finite
    // keeps the previous value.
    void SetValue(double v);
    // Takes the value from the text, stores and shows it; returns the stored value.
    double ReadValue();
    double Value() const { return value_; }

protected:
    void Commit() override;
    bool Accepts(QChar c, const QString& rest) const override;
    bool StepBy(int steps) override;

private:
    // Where steps (negative: down) take the value from current.
    double Stepped(double current, int steps) const;
    // v as the field shows it, with the field's decimals.
    std::string Shown(double v) const;

    double value_ = 0.0;
    double maximum_ = 1.0;
    double minimum_ = 0.0;
    double step_ = 1.0;
    double ratio_ = 1.0;
    int precision_ = 0;
};

} // namespace kv
