#include "import/DelimitedText.h"

#include "import/ImportText.h"
#include "import/VInputFile.h"

#include <algorithm>
#include <array>
#include <limits>
#include <utility>

namespace kv {
namespace {

// The delimiters in the order that settles a tie.
constexpr std::array kDelimiters = {'\t', ';', ','};

struct RoleName {
    std::string_view start;
    ColumnRole role;
};

constexpr std::array kRoleNames = {
    RoleName{"freq", ColumnRole::Frequency},      RoleName{"hz", ColumnRole::Frequency},
    RoleName{"spl", ColumnRole::Level},           RoleName{"db", ColumnRole::Level},
    RoleName{"level", ColumnRole::Level},         RoleName{"mag", ColumnRole::Level},
    RoleName{"phase", ColumnRole::Phase},         RoleName{"deg", ColumnRole::Phase},
    RoleName{"impedance", ColumnRole::Impedance}, RoleName{"ohm", ColumnRole::Impedance},
};

constexpr std::array kRoleLetters = {
    RoleName{"f", ColumnRole::Frequency},
    RoleName{"z", ColumnRole::Impedance},
};

bool IsLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool IsCellBlank(char c, char delimiter) {
    return static_cast<unsigned char>(c) <= 32 && c != delimiter;
}

ColumnRole RoleOfWord(std::string_view word) {
    for (const RoleName& name : kRoleNames) {
        if (StartsWithNoCase(word, name.start)) {
            return name.role;
        }
    }
    for (const RoleName& letter : kRoleLetters) {
        if (EqualsNoCase(word, letter.start)) {
            return letter.role;
        }
    }
    return ColumnRole::Other;
}

// One cell from pos on, quotes resolved ("" inside quotes is one quote);
// the position after its delimiter, or npos when the line ends with it.
std::size_t ReadCell(std::string_view line, std::size_t pos, char delimiter, std::string& cell) {
    while (pos < line.size() && IsCellBlank(line[pos], delimiter)) {
        ++pos;
    }
    if (pos < line.size() && line[pos] == '"') {
        for (++pos; pos < line.size(); ++pos) {
            if (line[pos] == '"' && !(pos + 1 < line.size() && line[pos + 1] == '"')) {
                ++pos;
                break;
            }
            cell += line[pos];
            pos += line[pos] == '"' ? 1 : 0;
        }
    }
    const std::size_t end = std::min(line.find(delimiter, pos), line.size());
    cell.append(line.substr(pos, end - pos));
    return end < line.size() ? end + 1 : std::string_view::npos;
}

std::string Trimmed(std::string text) {
    CleanLine(text);
    return text;
}

// The delimiter that splits the header into the most cells; 0 when none
// splits it at all.
char HeaderDelimiter(std::string_view line) {
    char best = 0;
    std::size_t bestCells = 1;
    for (const char delimiter : kDelimiters) {
        const std::size_t cells = SplitCells(line, delimiter, kMaxDelimitedColumns + 1).size();
        if (cells > bestCells) {
            best = delimiter;
            bestCells = cells;
        }
    }
    return best;
}

// The first line that is neither blank nor a comment, cleaned and without
// a byte-order mark; false when there is none or it is too long for a
// header.
bool ReadHeaderLine(VInputFile& file, std::string& line) {
    bool first = true;
    do {
        if (!file.ReadLine(line, kMaxDelimitedHeaderLength + 1)) {
            return false;
        }
        if (first) {
            DropByteOrderMark(line);
        }
        first = false;
        CleanLine(line);
    } while (IsCommentOrBlankLine(line));
    return line.size() <= kMaxDelimitedHeaderLength;
}

std::optional<std::size_t> FirstOfRole(const DelimitedHeader& header, ColumnRole role) {
    const auto found = std::find(header.roles.begin(), header.roles.end(), role);
    if (found == header.roles.end()) {
        return std::nullopt;
    }
    return static_cast<std::size_t>(found - header.roles.begin());
}

std::optional<std::size_t> WantedLevelColumn(const DelimitedHeader& header,
                                             std::string_view wanted) {
    for (std::size_t i = 0; i < header.roles.size(); ++i) {
        if (header.roles[i] == ColumnRole::Level &&
            (wanted.empty() || EqualsNoCase(header.names[i], wanted))) {
            return i;
        }
    }
    return std::nullopt;
}

// The first phase column after the magnitude column and before the next
// one.
std::optional<std::size_t> PhaseAfter(const DelimitedHeader& header, std::size_t magnitude) {
    for (std::size_t i = magnitude + 1; i < header.roles.size(); ++i) {
        const ColumnRole role = header.roles[i];
        if (role == ColumnRole::Phase) {
            return i;
        }
        if (role == ColumnRole::Level || role == ColumnRole::Impedance) {
            break;
        }
    }
    return std::nullopt;
}

} // namespace

ColumnRole RoleOfName(std::string_view name) {
    std::size_t pos = 0;
    while (pos < name.size()) {
        const auto first =
            std::find_if(name.begin() + static_cast<std::ptrdiff_t>(pos), name.end(), IsLetter);
        const auto last = std::find_if_not(first, name.end(), IsLetter);
        const ColumnRole role =
            RoleOfWord(name.substr(static_cast<std::size_t>(first - name.begin()),
                                   static_cast<std::size_t>(last - first)));
        if (role != ColumnRole::Other) {
            return role;
        }
        pos = static_cast<std::size_t>(last - name.begin());
    }
    return ColumnRole::Other;
}

std::vector<std::string> SplitCells(std::string_view line, char delimiter, std::size_t maxCells) {
    std::vector<std::string> cells;
    std::size_t pos = 0;
    while (cells.size() + 1 < maxCells) {
        std::string cell;
        pos = ReadCell(line, pos, delimiter, cell);
        cells.push_back(Trimmed(std::move(cell)));
        if (pos == std::string_view::npos) {
            return cells;
        }
    }
    cells.push_back(Trimmed(std::string(line.substr(pos))));
    return cells;
}

std::optional<double> CellNumber(std::string_view cell, char delimiter) {
    if (delimiter == ',' && cell.find(',') != std::string_view::npos) {
        return std::nullopt;
    }
    return ParseWholeNumber(cell);
}

bool ReadDelimitedHeader(VInputFile& file, DelimitedHeader& header) {
    std::string line;
    if (!ReadHeaderLine(file, line)) {
        return false;
    }
    header.delimiter = HeaderDelimiter(line);
    if (header.delimiter == 0) {
        return false;
    }
    std::vector<std::string> cells = SplitCells(line, header.delimiter, kMaxDelimitedColumns + 1);
    if (cells.size() > kMaxDelimitedColumns) {
        return false;
    }
    header.names.clear();
    header.roles.clear();
    for (std::string& cell : cells) {
        header.roles.push_back(RoleOfName(cell));
        header.names.push_back(PrintableText(std::move(cell)));
    }
    return ChooseColumns(header, {}).has_value();
}

std::vector<std::string> LevelColumnNames(const DelimitedHeader& header) {
    std::vector<std::string> names;
    for (std::size_t i = 0; i < header.roles.size(); ++i) {
        if (header.roles[i] == ColumnRole::Level) {
            names.push_back(header.names[i]);
        }
    }
    return names;
}

std::optional<ChosenColumns> ChooseColumns(const DelimitedHeader& header,
                                           std::string_view wantedLevel) {
    const std::optional<std::size_t> frequency = FirstOfRole(header, ColumnRole::Frequency);
    std::optional<std::size_t> magnitude = WantedLevelColumn(header, wantedLevel);
    ImportKind kind = ImportKind::FrequencyResponse;
    if (!magnitude && wantedLevel.empty()) {
        magnitude = FirstOfRole(header, ColumnRole::Impedance);
        kind = ImportKind::Impedance;
    }
    if (!frequency || !magnitude) {
        return std::nullopt;
    }
    return ChosenColumns{kind, *frequency, *magnitude, PhaseAfter(header, *magnitude)};
}

std::optional<DelimitedRow> ReadDelimitedRow(std::string_view line, const DelimitedHeader& header,
                                             const ChosenColumns& columns) {
    const std::vector<std::string> cells =
        SplitCells(line, header.delimiter, kMaxDelimitedColumns + 1);
    const auto cellNumber = [&cells, &header](std::size_t column) {
        return column < cells.size() ? CellNumber(cells[column], header.delimiter) : std::nullopt;
    };
    const std::optional<double> frequency = cellNumber(columns.frequency);
    const std::optional<double> magnitude = cellNumber(columns.magnitude);
    const bool extraCells = std::any_of(
        cells.begin() + static_cast<std::ptrdiff_t>(std::min(cells.size(), header.names.size())),
        cells.end(), [](const std::string& cell) { return !cell.empty(); });
    if (!frequency || !magnitude || extraCells) {
        return std::nullopt;
    }
    DelimitedRow row{*frequency, *magnitude, std::numeric_limits<double>::quiet_NaN()};
    if (columns.phase && *columns.phase < cells.size() && !cells[*columns.phase].empty()) {
        const std::optional<double> phase = cellNumber(*columns.phase);
        if (!phase) {
            return std::nullopt;
        }
        row.phase = *phase;
    }
    return row;
}

} // namespace kv
