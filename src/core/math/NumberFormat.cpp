#include "math/NumberFormat.h"

#include <array>
#include <charconv>

namespace kv {
namespace {

// Enough for any double in fixed notation with up to 30 decimals.
using Buffer = std::array<char, 512>;

} // namespace

std::string FormatFixed(double value, int decimals) {
    Buffer text{};
    const auto [end, error] = std::to_chars(text.data(), text.data() + text.size(), value,
                                            std::chars_format::fixed, decimals);
    return error == std::errc() ? std::string(text.data(), end) : std::string();
}

std::string FormatGeneral(double value, int significantDigits) {
    Buffer text{};
    const auto [end, error] = std::to_chars(text.data(), text.data() + text.size(), value,
                                            std::chars_format::general, significantDigits);
    return error == std::errc() ? std::string(text.data(), end) : std::string();
}

std::string FormatShortest(double value) {
    Buffer text{};
    const auto [end, error] = std::to_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() ? std::string(text.data(), end) : std::string();
}

} // namespace kv
