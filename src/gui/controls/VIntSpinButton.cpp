#include "controls/VIntSpinButton.h"

#include "import/ImportText.h"

#include <QString>
#include <algorithm>
#include <cstdint>
#include <limits>
#include <string_view>

namespace kv {
namespace {

// Far outside the int range, yet far from overflowing while digits are added.
constexpr std::int64_t kSaturated = std::int64_t{1} << 40;

// The leading integer of text: an optional sign and the digits up to the
// first other character; 0 without digits.
std::int64_t LeadingInteger(std::string_view text) {
    const bool negative = text.starts_with('-');
    if (negative || text.starts_with('+')) {
        text.remove_prefix(1);
    }
    std::int64_t magnitude = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') {
            break;
        }
        magnitude = std::min(magnitude * 10 + (c - '0'), kSaturated);
    }
    return negative ? -magnitude : magnitude;
}

} // namespace

VIntSpinButton::VIntSpinButton(QWidget* parent) : VSpinButtonBase(false, parent) {}

void VIntSpinButton::SetRange(int minimum, int maximum) {
    minimum_ = minimum;
    maximum_ = maximum;
    value_ = minimum > std::numeric_limits<int>::min() ? minimum - 1 : minimum;
    FitTexts(std::to_string(minimum), std::to_string(maximum));
}

void VIntSpinButton::SetValue(int v) {
    if (v < minimum_) {
        v = minimum_;
    } else if (v > maximum_) {
        v = maximum_;
    }
    value_ = v;
    ShowText(std::to_string(value_));
}

int VIntSpinButton::ReadValue() {
    std::string text = Text();
    CleanLine(text);
    const std::int64_t typed = LeadingInteger(text);
    if (typed < minimum_) {
        SetValue(minimum_);
        return minimum_;
    }
    if (typed > maximum_) {
        SetValue(maximum_);
        return maximum_;
    }
    return static_cast<int>(typed);
}

void VIntSpinButton::Commit() {
    SetValue(ReadValue());
}

bool VIntSpinButton::Accepts(QChar c, const QString&) const {
    return (c >= u'0' && c <= u'9') || (c == u'-' && minimum_ < 0);
}

// Steps from the stored value, not from the text.
bool VIntSpinButton::StepBy(int steps) {
    const int before = value_;
    std::int64_t next = value_;
    if ((steps < 0 && value_ > minimum_) || (steps > 0 && value_ < maximum_)) {
        next += steps;
    }
    SetValue(static_cast<int>(std::clamp<std::int64_t>(next, std::numeric_limits<int>::min(),
                                                       std::numeric_limits<int>::max())));
    return value_ != before;
}

} // namespace kv
