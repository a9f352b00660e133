#include "controls/VFloatSpinButton.h"

#include "archive/VString.h"
#include "import/ImportText.h"

#include <QGuiApplication>
#include <QString>
#include <algorithm>
#include <cmath>

namespace kv {
namespace {

// More decimals than a double carries would only show noise.
constexpr int kMaxPrecision = 15;

int DecimalsForStep(double step) {
    return static_cast<int>(std::lround(std::log10(1.0 / step)));
}

// Texts that start like a number but hold none keep the previous value.
bool HoldsNoNumber(const std::string& text) {
    return text.empty() || EqualsNoCase(text, "e") || text == "-" || text == ".";
}

} // namespace

VFloatSpinButton::VFloatSpinButton(QWidget* parent) : VSpinButtonBase(true, parent) {}

void VFloatSpinButton::SetRange(double minimum, double maximum, double step, int precision) {
    minimum_ = minimum;
    maximum_ = maximum;
    step_ = step > 0.0 ? step : 0.1;
    // From the step in use: the 0 or negative step given would have no
    // logarithm, and a step above 1 would ask for negative decimals.
    precision_ = std::clamp(precision < 0 ? DecimalsForStep(step_) : precision, 0, kMaxPrecision);
    FitTexts(Shown(minimum_), Shown(maximum_));
}

std::string VFloatSpinButton::Shown(double v) const {
    VString text;
    text.Format("%.*lf", precision_, v);
    return text;
}

void VFloatSpinButton::SetValue(double v) {
    if (!std::isfinite(v)) {
        v = value_;
    }
    if (v > maximum_) {
        v = maximum_;
    } else if (v < minimum_) {
        v = minimum_;
    }
    value_ = v;
    ShowText(Shown(value_));
}

double VFloatSpinButton::ReadValue() {
    std::string text = Text();
    std::replace(text.begin(), text.end(), ',', '.');
    CleanLine(text);
    SetValue(HoldsNoNumber(text) ? value_ : ParseNumber(text));
    return value_;
}

void VFloatSpinButton::Commit() {
    SetValue(ReadValue());
}

bool VFloatSpinButton::Accepts(QChar c, const QString& rest) const {
    if (!QStringLiteral("-,.eE0123456789").contains(c)) {
        return false;
    }
    if (c == u'.' || c == u',') {
        return !rest.contains(u'.') && !rest.contains(u',');
    }
    if (c == u'e' || c == u'E') {
        return !rest.contains(u'e', Qt::CaseInsensitive);
    }
    return true;
}

// Steps from the typed text, as the arrows are the user's way of saying
// "from what I see"; a typed value that the step only corrects into the
// range is a change the dialog must hear of too.
bool VFloatSpinButton::StepBy(int steps) {
    const double before = value_;
    const double current = ReadValue();
    const bool canMove = (steps < 0 && current > minimum_) || (steps > 0 && current < maximum_);
    SetValue(canMove ? Stepped(current, steps) : current);
    return value_ != before;
}

double VFloatSpinButton::Stepped(double current, int steps) const {
    const double fine = current + steps * step_;
    const bool fineStep = QGuiApplication::keyboardModifiers().testFlag(Qt::ShiftModifier);
    if (ratio_ <= 1.0 || fineStep) {
        return fine;
    }
    const double scaled = current * std::pow(ratio_, steps);
    return steps > 0 ? std::max(scaled, fine) : std::min(scaled, fine);
}

} // namespace kv
