#pragma once

#include <charconv>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace kv {

// The number the whole text spells, when it lies within [min, max].
template <typename Number>
std::optional<Number> NumberWithin(const std::string& text, Number min, Number max) {
    Number value{};
    const char* end = text.data() + text.size();
    const auto [last, status] = std::from_chars(text.data(), end, value);
    if (status != std::errc() || last != end || !(value >= min && value <= max)) {
        return std::nullopt;
    }
    return value;
}

// The words after the subcommand: positional arguments, options that take a
// value ("-o OUT", "--band 2", "--band=2") and switches ("--json").
class CliArguments {
public:
    // Parses against the options and switches the subcommand knows; false
    // with a message in error for anything else.
    bool Parse(const std::vector<std::string>& words, const std::set<std::string>& valueOptions,
               const std::set<std::string>& switches, std::string& error);

    const std::vector<std::string>& Positionals() const { return positionals_; }
    bool Has(const std::string& name) const;
    std::optional<std::string> Value(const std::string& name) const;
    // An integer option within [min, max]; nullopt when absent. Sets error
    // when present but not such an integer.
    std::optional<int> IntValue(const std::string& name, int min, int max,
                                std::string& error) const;
    // A number option (decimal point) within [min, max]; nullopt when
    // absent. Sets error when present but not such a number.
    std::optional<double> DoubleValue(const std::string& name, double min, double max,
                                      std::string& error) const;

private:
    std::vector<std::string> positionals_;
    std::map<std::string, std::string> values_;
    std::set<std::string> switches_;
};

} // namespace kv
