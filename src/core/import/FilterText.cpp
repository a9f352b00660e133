#include "import/FilterText.h"

#include "archive/FileProblems.h"
#include "import/ImportText.h"
#include "import/VInputFile.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace kv {
namespace {

constexpr std::string_view kSettingsFileTitle = "Filter Settings file";
constexpr std::string_view kFilterCommand = "Filter";

struct TypeCode {
    std::string_view code;
    FilterTextType type;
};

constexpr std::array kTypeCodes = {
    TypeCode{"PK", FilterTextType::Peaking},     TypeCode{"PEQ", FilterTextType::Peaking},
    TypeCode{"Modal", FilterTextType::Modal},    TypeCode{"NO", FilterTextType::Notch},
    TypeCode{"LS", FilterTextType::LowShelf},    TypeCode{"HS", FilterTextType::HighShelf},
    TypeCode{"LSC", FilterTextType::LowShelfQ},  TypeCode{"LSQ", FilterTextType::LowShelfQ},
    TypeCode{"HSC", FilterTextType::HighShelfQ}, TypeCode{"HSQ", FilterTextType::HighShelfQ},
    TypeCode{"AP", FilterTextType::AllPass},     TypeCode{"LP", FilterTextType::Other},
    TypeCode{"HP", FilterTextType::Other},       TypeCode{"LP1", FilterTextType::Other},
    TypeCode{"HP1", FilterTextType::Other},      TypeCode{"LPQ", FilterTextType::Other},
    TypeCode{"HPQ", FilterTextType::Other},      TypeCode{"BP", FilterTextType::Other},
    TypeCode{"IIR", FilterTextType::Other},
};

// A room-measurement export holds filters among lines of text about the
// measurement ("Dated: ..."), which are not commands.
enum class Dialect { FilterSettings, EqualiserConfig };

bool IsUpper(char c) {
    return c >= 'A' && c <= 'Z';
}

bool IsAlphanumeric(char c) {
    return IsUpper(c) || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
}

FilterTextType TypeOfCode(std::string_view code) {
    for (const TypeCode& entry : kTypeCodes) {
        if (EqualsNoCase(code, entry.code)) {
            return entry.type;
        }
    }
    return FilterTextType::Unknown;
}

bool IsShelf(FilterTextType type) {
    return type == FilterTextType::LowShelf || type == FilterTextType::HighShelf ||
           type == FilterTextType::LowShelfQ || type == FilterTextType::HighShelfQ;
}

// The parameters of a filter line, token by token; the first problem ends
// the reading.
class FilterLineReader {
public:
    FilterLineReader(std::vector<std::string_view> tokens, FilterTextFilter& filter)
        : tokens_(std::move(tokens)), filter_(filter) {}

    // Reads from the token first, the one after the type code; a shelf's
    // slope may come before the parameters.
    void Read(std::size_t first) {
        next_ = first;
        if (IsShelf(filter_.type) && next_ < tokens_.size() && IsNumericLine(tokens_[next_])) {
            Quantity(filter_.slope, "slope", "dB");
        }
        while (filter_.problem.empty() && next_ < tokens_.size()) {
            Parameter(tokens_[next_++]);
        }
    }

private:
    void Parameter(std::string_view keyword) {
        if (EqualsNoCase(keyword, "Fc")) {
            Quantity(filter_.frequency, "Fc", "Hz");
        } else if (EqualsNoCase(keyword, "Gain")) {
            Quantity(filter_.gain, "Gain", "dB");
        } else if (EqualsNoCase(keyword, "Q")) {
            Quantity(filter_.q, "Q", "");
        } else if (EqualsNoCase(keyword, "BW")) {
            if (Expect("Oct", "BW")) {
                Quantity(filter_.bandwidth, "BW", "");
            }
        } else if (EqualsNoCase(keyword, "T60")) {
            Skip("target");
            Quantity(filter_.decayTime, "T60", "ms");
        } else {
            Fail("unknown parameter \"" + std::string(keyword) + "\"");
        }
    }

    // A number, its unit either glued to it ("63Hz") or the next token.
    bool Quantity(std::optional<double>& slot, std::string_view name, std::string_view unit) {
        if (slot) {
            return Fail(std::string(name) + " is given twice");
        }
        if (next_ >= tokens_.size()) {
            return Fail(std::string(name) + " has no value");
        }
        const std::string_view token = tokens_[next_++];
        const std::size_t split =
            unit.empty() ? std::string_view::npos : token.find_first_not_of("+-.,0123456789eE");
        const std::string_view suffix =
            split == std::string_view::npos ? std::string_view() : token.substr(split);
        const std::optional<double> value = ParseWholeNumber(token.substr(0, split));
        if (!value) {
            return Fail(std::string(name) + " \"" + std::string(token) + "\" is not a number");
        }
        if (!suffix.empty() && !EqualsNoCase(suffix, unit)) {
            return Fail(std::string(name) + " \"" + std::string(token) + "\" is not in " +
                        std::string(unit));
        }
        if (suffix.empty() && !unit.empty()) {
            Skip(unit);
        }
        slot = *value;
        return true;
    }

    bool Expect(std::string_view word, std::string_view after) {
        return Skip(word) ||
               Fail(std::string(after) + " is not followed by \"" + std::string(word) + "\"");
    }

    bool Skip(std::string_view word) {
        if (next_ < tokens_.size() && EqualsNoCase(tokens_[next_], word)) {
            ++next_;
            return true;
        }
        return false;
    }

    bool Fail(std::string problem) {
        filter_.problem = std::move(problem);
        return false;
    }

    std::vector<std::string_view> tokens_;
    FilterTextFilter& filter_;
    std::size_t next_ = 0;
};

std::vector<std::string_view> Tokens(std::string_view text) {
    std::vector<std::string_view> tokens;
    while (!text.empty()) {
        tokens.push_back(NextToken(text));
    }
    return tokens;
}

// What a line is: its command name and the text after the colon.
struct CommandLine {
    std::string_view name;
    std::string_view body;
};

// "Name: ..." with a capitalised name of letters and digits; "Filter" may
// carry a number ("Filter 12:").
std::optional<CommandLine> SplitCommand(std::string_view line) {
    const std::size_t colon = line.find(':');
    if (colon == std::string_view::npos || colon == 0 || !IsUpper(line.front())) {
        return std::nullopt;
    }
    const std::string_view name = line.substr(0, colon);
    const std::string_view body = line.substr(colon + 1);
    if (name.starts_with(kFilterCommand) &&
        name.find_first_not_of(" \t0123456789", kFilterCommand.size()) == std::string_view::npos) {
        return CommandLine{kFilterCommand, body};
    }
    if (!std::all_of(name.begin(), name.end(), IsAlphanumeric)) {
        return std::nullopt;
    }
    return CommandLine{name, body};
}

class FilterTextReader {
public:
    explicit FilterTextReader(FilterText& text) : text_(text) {}

    bool Read(VInputFile& file, std::string& error) {
        std::string line;
        std::optional<Dialect> dialect;
        for (int number = 1; file.ReadLine(line, kMaxFilterTextLine + 1); ++number) {
            if (number == 1) {
                DropByteOrderMark(line);
            }
            const bool tooLong = line.size() > kMaxFilterTextLine;
            CleanLine(line);
            if (line.empty()) {
                continue;
            }
            if (!dialect) {
                dialect = EqualsNoCase(line, kSettingsFileTitle) ? Dialect::FilterSettings
                                                                 : Dialect::EqualiserConfig;
            }
            if (!Line(line, number, tooLong, *dialect)) {
                error = "The file holds more than " + std::to_string(kMaxFilterTextEntries) +
                        " filters and commands: it is no filter list.";
                return false;
            }
        }
        if (text_.filters.empty()) {
            error = switchedOff_ ? "Every filter of the file is switched off."
                                 : "The file holds no filters.";
            return false;
        }
        return true;
    }

private:
    // False when the line is one entry too many.
    bool Line(std::string_view line, int number, bool tooLong, Dialect dialect) {
        if (line.front() == '#') {
            return true;
        }
        const std::optional<CommandLine> command = SplitCommand(line);
        if (!command || (dialect == Dialect::FilterSettings && command->name != kFilterCommand)) {
            return true;
        }
        if (text_.filters.size() + text_.commands.size() >= kMaxFilterTextEntries) {
            return false;
        }
        if (command->name == kFilterCommand) {
            FilterLine(command->body, number, tooLong);
        } else {
            std::string argument(command->body);
            CleanLine(argument);
            text_.commands.push_back({number, std::string(command->name), argument});
        }
        return true;
    }

    void FilterLine(std::string_view body, int number, bool tooLong) {
        std::vector<std::string_view> tokens = Tokens(body);
        FilterTextFilter filter;
        filter.line = number;
        if (tooLong) {
            filter.problem =
                "the line is longer than " + std::to_string(kMaxFilterTextLine) + " characters";
        } else if (tokens.empty() || !(EqualsNoCase(tokens[0], "ON") || IsOff(tokens[0]))) {
            filter.problem = "the filter is neither ON nor OFF";
        } else if (IsOff(tokens[0])) {
            switchedOff_ = true;
            return;
        } else if (tokens.size() < 2) {
            filter.problem = "the filter has no type";
        } else if (EqualsNoCase(tokens[1], "None")) {
            return;
        } else {
            filter.code = tokens[1];
            filter.type = TypeOfCode(tokens[1]);
            if (filter.type != FilterTextType::Other && filter.type != FilterTextType::Unknown) {
                FilterLineReader(std::move(tokens), filter).Read(2);
            }
        }
        text_.filters.push_back(std::move(filter));
    }

    static bool IsOff(std::string_view state) { return EqualsNoCase(state, "OFF"); }

    FilterText& text_;
    bool switchedOff_ = false;
};

} // namespace

bool ReadFilterText(VInputFile& file, FilterText& text, std::string& error) {
    text = FilterText{};
    if (file.Size() > kMaxFilterTextBytes) {
        error = "The file is larger than a filter list can be (" +
                std::to_string(kMaxFilterTextBytes >> 20) + " MB).";
        return false;
    }
    if (file.HoldsBinaryBytes()) {
        error = "The file holds bytes that are not text: it is no filter list.";
        return false;
    }
    FilterTextReader reader(text);
    if (!reader.Read(file, error)) {
        text = FilterText{};
        return false;
    }
    return true;
}

bool ReadFilterText(const std::filesystem::path& path, FilterText& text, std::string& error) {
    VInputFile file;
    if (!file.Open(path)) {
        text = FilterText{};
        error = kCannotOpenFile;
        return false;
    }
    return ReadFilterText(file, text, error);
}

} // namespace kv
