#include "import/ImportText.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <limits>
#include <optional>
#include <system_error>

namespace kv {
namespace {

constexpr std::size_t kMaxNumberLength = 255;

bool IsBlank(char c) {
    return static_cast<unsigned char>(c) <= 32;
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

char LowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string_view SkipBlanks(std::string_view text) {
    const auto first = std::find_if_not(text.begin(), text.end(), IsBlank);
    return text.substr(static_cast<std::size_t>(first - text.begin()));
}

// A conversion out of the double range: towards 0 when the decimal exponent
// is negative or nothing but zeros precede the point, else towards infinity.
double OutOfRange(std::string_view number, bool negative) {
    const std::size_t exponent = number.find_first_of("eE");
    const std::string_view mantissa = number.substr(0, exponent);
    const bool negativeExponent =
        exponent != std::string_view::npos && number.substr(exponent + 1).starts_with('-');
    const std::string_view integerPart = mantissa.substr(0, mantissa.find('.'));
    const bool tiny =
        negativeExponent || integerPart.find_first_not_of("-0") == std::string_view::npos;
    const double magnitude = tiny ? 0.0 : std::numeric_limits<double>::infinity();
    return negative ? -magnitude : magnitude;
}

// The leading number of a token and the count of its characters that it
// spans (0 when the token does not start with one).
struct LeadingNumber {
    double value;
    std::size_t length;
};

LeadingNumber ConvertLeadingNumber(std::string_view token) {
    std::array<char, kMaxNumberLength> text{};
    const std::size_t length = std::min(token.size(), text.size());
    std::replace_copy(token.begin(), token.begin() + static_cast<std::ptrdiff_t>(length),
                      text.begin(), ',', '.');
    const char* first = text.data();
    const char* const end = text.data() + length;
    // The library conversion takes '-' but not '+'.
    if (first != end && *first == '+') {
        ++first;
        if (first != end && (*first == '+' || *first == '-')) {
            return {0.0, 0};
        }
    }
    double value = 0.0;
    const auto [stop, error] = std::from_chars(first, end, value);
    const auto spanned = static_cast<std::size_t>(stop - text.data());
    if (error == std::errc::result_out_of_range) {
        return {OutOfRange({first, static_cast<std::size_t>(stop - first)}, *first == '-'),
                spanned};
    }
    return error == std::errc() ? LeadingNumber{value, spanned} : LeadingNumber{0.0, 0};
}

} // namespace

void CleanLine(std::string& line) {
    const auto last = std::find_if_not(line.rbegin(), line.rend(), IsBlank);
    line.erase(static_cast<std::size_t>(line.rend() - last));
    const auto first = std::find_if_not(line.begin(), line.end(), IsBlank);
    line.erase(line.begin(), first);
}

void DropByteOrderMark(std::string& firstLine) {
    constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
    if (firstLine.starts_with(kByteOrderMark)) {
        firstLine.erase(0, kByteOrderMark.size());
    }
}

std::string_view NextToken(std::string_view& rest) {
    rest = SkipBlanks(rest);
    std::string_view token;
    if (rest.starts_with('"')) {
        const std::size_t close = rest.find('"', 1);
        token =
            rest.substr(1, close == std::string_view::npos ? std::string_view::npos : close - 1);
        rest = close == std::string_view::npos ? std::string_view() : rest.substr(close + 1);
    } else {
        const auto end = std::find_if(rest.begin(), rest.end(), IsBlank);
        token = rest.substr(0, static_cast<std::size_t>(end - rest.begin()));
        rest = rest.substr(token.size());
    }
    rest = SkipBlanks(rest);
    return token;
}

int CountTokens(std::string_view line) {
    int count = 0;
    for (std::string_view rest = SkipBlanks(line); !rest.empty(); ++count) {
        NextToken(rest);
    }
    return count;
}

void NormalizeLine(std::string& line) {
    std::string joined;
    for (std::string_view rest = SkipBlanks(line); !rest.empty();) {
        if (!joined.empty()) {
            joined += ' ';
        }
        joined += NextToken(rest);
    }
    line.swap(joined);
}

void DataLine(std::string& line) {
    CleanLine(line);
    if (line.find('.') != std::string::npos && line.find(',') != std::string::npos) {
        std::replace(line.begin(), line.end(), ',', ' ');
    }
}

bool IsNumericLine(std::string_view line) {
    const std::string_view text = SkipBlanks(line);
    if (text.empty()) {
        return false;
    }
    const char c = text.front();
    return c == '+' || c == '-' || c == '.' || c == ',' || IsDigit(c);
}

bool IsCommentOrBlankLine(std::string_view cleanLine) {
    return cleanLine.empty() || cleanLine.front() == '*' || cleanLine.front() == '#';
}

double ParseNumber(std::string_view token) {
    return ConvertLeadingNumber(token).value;
}

std::optional<double> ParseWholeNumber(std::string_view token) {
    const LeadingNumber number = ConvertLeadingNumber(token);
    if (token.empty() || number.length != token.size() || !std::isfinite(number.value)) {
        return std::nullopt;
    }
    return number.value;
}

double ValueAfterEquals(std::string_view line) {
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos) {
        return 0.0;
    }
    const std::string_view after = line.substr(equals + 1);
    const std::size_t start = after.find_first_of("+-.,0123456789");
    if (start == std::string_view::npos) {
        return 0.0;
    }
    std::string_view rest = after.substr(start);
    const double value = ParseNumber(NextToken(rest));
    return std::isfinite(value) ? value : 0.0;
}

std::string PrintableText(std::string text) {
    std::replace_if(
        text.begin(), text.end(),
        [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7F; }, ' ');
    return text;
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && EqualsNoCase(text.substr(0, prefix.size()), prefix);
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](char x, char y) { return LowerAscii(x) == LowerAscii(y); });
}

} // namespace kv
