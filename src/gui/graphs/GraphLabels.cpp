#include "graphs/GraphLabels.h"

#include <cmath>
#include <cstdio>

namespace kv {
namespace {

std::string Format(const char* format, double value) {
    char text[64] = {};
    std::snprintf(text, sizeof text, format, value);
    return text;
}

// A value that prints as zero at the chosen precision reads as zero, not as
// "-0.00".
std::string WithoutNegativeZero(std::string text) {
    const bool onlyZeros = text.find_first_not_of("-0.") == std::string::npos;
    if (onlyZeros && !text.empty() && text.front() == '-') {
        text.erase(0, 1);
    }
    return text;
}

std::string TrimmedDecimals(const char* format, double value) {
    std::string text = Format(format, value);
    if (text.find('.') != std::string::npos) {
        text.erase(text.find_last_not_of('0') + 1);
        if (text.back() == '.') {
            text.pop_back();
        }
    }
    return WithoutNegativeZero(text);
}

// Below this a time value axis tick is a rounding error off zero.
constexpr double kTimeValueZero = 1e-12;

} // namespace

std::string FrequencyLabelText(double hz) {
    if (hz < 0.1) {
        return Format("%.2f", hz);
    }
    if (hz < 1.0) {
        return Format("%.1f", hz);
    }
    if (hz < 1000.0) {
        return Format("%.0f", hz);
    }
    if (hz < 1000000.0) {
        return TrimmedDecimals("%.1f", hz / 1000.0) + "K";
    }
    return TrimmedDecimals("%.1f", hz / 1000000.0) + "M";
}

std::string ValueLabelText(double value, LabelStyle style) {
    const double magnitude = std::abs(value);
    if (style == LabelStyle::Plain) {
        return TrimmedDecimals("%.4f", value);
    }
    if (magnitude < 0.0001) {
        return Format("%g", magnitude < 1e-9 ? 0.0 : value);
    }
    if (magnitude < 1000.0) {
        return TrimmedDecimals("%.4f", value);
    }
    if (magnitude < 1000000.0) {
        return TrimmedDecimals("%.4f", value / 1000.0) + "K";
    }
    return TrimmedDecimals("%.4f", value / 1000000.0) + "M";
}

std::string TimeValueLabelText(double value) {
    const double magnitude = std::abs(value);
    if (magnitude < kTimeValueZero) {
        return "0";
    }
    if (magnitude >= 1000.0) {
        return WithoutNegativeZero(Format("%.0f", value / 1000.0)) + "k";
    }
    if (magnitude <= 0.00001) {
        return TrimmedDecimals("%.4f", value * 1000000.0) + kMicroSign;
    }
    if (magnitude <= 0.01) {
        return TrimmedDecimals("%.4f", value * 1000.0) + "m";
    }
    return TrimmedDecimals("%.4f", value);
}

std::string ReadoutFrequencyText(double hz) {
    return hz < 1000.0 ? Format("%.1f Hz", hz) : Format("%.2f kHz", hz / 1000.0);
}

std::string TimeLabelText(double value) {
    return TrimmedDecimals("%.2f", value);
}

} // namespace kv
