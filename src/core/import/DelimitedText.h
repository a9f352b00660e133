#pragma once

#include "import/ImportFormat.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kv {

class VInputFile;

// Delimited text with a header line that names the columns, as spreadsheets,
// curve digitisers and design programs export curves: comma, semicolon or
// tab between the cells, double quotes around a cell that holds the
// delimiter.

// What a column holds, as its header name tells.
enum class ColumnRole {
    Other,
    Frequency,
    Level,
    Phase,
    Impedance,
};

// Headers wider than this are not curve exports.
inline constexpr std::size_t kMaxDelimitedColumns = 256;
// Nor are header lines longer than this (in bytes).
inline constexpr std::size_t kMaxDelimitedHeaderLength = 4094;

struct DelimitedHeader {
    char delimiter = ',';
    // Without their quotes and surrounding blanks.
    std::vector<std::string> names;
    std::vector<ColumnRole> roles;
};

// The columns one import reads, as indices into the header: the frequency,
// the level or impedance magnitude, and its phase (nullopt when it has none).
struct ChosenColumns {
    ImportKind kind = ImportKind::Nothing;
    std::size_t frequency = 0;
    std::size_t magnitude = 0;
    std::optional<std::size_t> phase;
};

// The role a name gives its column: the first of its words (runs of
// letters, without regard to case) that names a role decides. A word names
// a role when it begins with freq, hz (frequency), spl, db, level, mag
// (level), phase, deg (phase), impedance or ohm (impedance), or is the
// single letter f (frequency) or z (impedance).
ColumnRole RoleOfName(std::string_view name);

// The cells of a line split at the delimiter where it is not inside double
// quotes, with their quotes and surrounding blanks removed; at most
// maxCells, the last of them then holding the rest of the line.
std::vector<std::string> SplitCells(std::string_view line, char delimiter, std::size_t maxCells);

// A cell as a finite number when all of it is one; nullopt for an empty cell
// or any other text. A decimal comma is read only where the delimiter is not
// a comma.
std::optional<double> CellNumber(std::string_view cell, char delimiter);

// Reads from the file's position past blank and comment lines (and a UTF-8
// byte-order mark) to the first other line. True when that line is a header
// of at most kMaxDelimitedColumns cells naming a frequency column and a level
// or impedance column; the file is then at the line after it.
bool ReadDelimitedHeader(VInputFile& file, DelimitedHeader& header);

// The names of the header's level columns, in their order.
std::vector<std::string> LevelColumnNames(const DelimitedHeader& header);

// The columns to read: the first frequency column, and the level column
// named wantedLevel (compared without regard to case; the first level column
// when it is empty) or, without level columns, the first impedance column.
// Each magnitude column takes the first phase column that follows it before
// the next level or impedance column. Nullopt when the header has no level
// column of the wanted name.
std::optional<ChosenColumns> ChooseColumns(const DelimitedHeader& header,
                                           std::string_view wantedLevel);

// One row's values in the chosen columns, the phase in degrees (NaN for an
// empty phase cell).
struct DelimitedRow {
    double frequency;
    double magnitude;
    double phase;
};

// The row a line gives; nullopt when its frequency or magnitude cell holds
// no number, its phase cell holds something else than a number, or it has
// more cells than the header and they are not empty.
std::optional<DelimitedRow> ReadDelimitedRow(std::string_view line, const DelimitedHeader& header,
                                             const ChosenColumns& columns);

} // namespace kv
