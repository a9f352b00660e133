#include "CliArguments.h"

#include "math/NumberFormat.h"

namespace kv {

bool CliArguments::Parse(const std::vector<std::string>& words,
                         const std::set<std::string>& valueOptions,
                         const std::set<std::string>& switches, std::string& error) {
    for (std::size_t i = 0; i < words.size(); ++i) {
        std::string word = words[i];
        if (word.size() < 2 || word[0] != '-') {
            positionals_.push_back(word);
            continue;
        }
        std::optional<std::string> inlineValue;
        if (const auto equals = word.find('=');
            word.rfind("--", 0) == 0 && equals != std::string::npos) {
            inlineValue = word.substr(equals + 1);
            word.resize(equals);
        }
        if (switches.count(word) != 0 && !inlineValue) {
            switches_.insert(word);
        } else if (valueOptions.count(word) != 0) {
            if (inlineValue) {
                values_[word] = *inlineValue;
            } else if (i + 1 < words.size()) {
                values_[word] = words[++i];
            } else {
                error = "option " + word + " needs a value";
                return false;
            }
        } else {
            error = "unknown option " + word;
            return false;
        }
    }
    return true;
}

bool CliArguments::Has(const std::string& name) const {
    return switches_.count(name) != 0 || values_.count(name) != 0;
}

std::optional<std::string> CliArguments::Value(const std::string& name) const {
    const auto found = values_.find(name);
    if (found == values_.end()) {
        return std::nullopt;
    }
    return found->second;
}

std::optional<int> CliArguments::IntValue(const std::string& name, int min, int max,
                                          std::string& error) const {
    const std::optional<std::string> text = Value(name);
    const std::optional<int> value = text ? NumberWithin(*text, min, max) : std::nullopt;
    if (text && !value) {
        error = name + " takes a whole number from " + std::to_string(min) + " to " +
                std::to_string(max);
    }
    return value;
}

std::optional<double> CliArguments::DoubleValue(const std::string& name, double min, double max,
                                                std::string& error) const {
    const std::optional<std::string> text = Value(name);
    const std::optional<double> value = text ? NumberWithin(*text, min, max) : std::nullopt;
    if (text && !value) {
        error =
            name + " takes a number from " + FormatGeneral(min, 6) + " to " + FormatGeneral(max, 6);
    }
    return value;
}

} // namespace kv
