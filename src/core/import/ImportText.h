#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace kv {

// Text handling shared by the measurement-file parsers. Blanks are all
// characters with codes up to 32 (control characters included).

// Removes leading and trailing blanks.
void CleanLine(std::string& line);

// Removes the UTF-8 byte-order mark that editors on some platforms put
// before a file's first line.
void DropByteOrderMark(std::string& firstLine);

// The next token of rest, which is advanced past it and the blanks after it.
// A token that begins with a double quote runs to the next double quote (or
// the end of the line); the quotes are not part of it.
std::string_view NextToken(std::string_view& rest);
int CountTokens(std::string_view line);

// The line's tokens joined by single blanks.
void NormalizeLine(std::string& line);

// A line prepared for reading columns: cleaned, and when it holds both '.'
// and ',' the commas become blanks (comma-separated columns with decimal
// points); otherwise commas stay decimal commas.
void DataLine(std::string& line);

// Whether the line, after leading blanks, starts like a number: '+', '-',
// '.', ',' or a digit.
bool IsNumericLine(std::string_view line);

// An empty line, or a comment: a line (cleaned) that starts with '*' or '#'.
bool IsCommentOrBlankLine(std::string_view cleanLine);

// The leading decimal number of a token, with ',' read as '.'; 0 when the
// token does not start with one. Independent of the C locale. Infinities and
// NaN are returned as such (also for an exponent too large for a double) so
// that the caller can refuse them; a value too small for a double is 0.
double ParseNumber(std::string_view token);
// The token as a finite number when all of it is one (',' read as '.', at
// most 255 characters); nullopt otherwise.
std::optional<double> ParseWholeNumber(std::string_view token);

// The number after the first '=' of the line (after whatever precedes its
// first sign, point, comma or digit); 0 without '=' or a finite number.
double ValueAfterEquals(std::string_view line);

// The text with its control characters (DEL included) as blanks: a name or
// title read from a file, safe on one line of a terminal, dialog or file.
std::string PrintableText(std::string text);

// Prefix comparison without regard to the case of ASCII letters.
bool StartsWithNoCase(std::string_view text, std::string_view prefix);
bool EqualsNoCase(std::string_view a, std::string_view b);

} // namespace kv
