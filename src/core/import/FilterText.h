#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace kv {

class VInputFile;

// The filter types of the plain-text filter lists that room-measurement
// programs export ("Filter Settings file") and that PC equalisers read as
// their configuration.
enum class FilterTextType {
    Peaking,    // PK, PEQ
    Modal,      // a peaking filter set on a room mode, with a decay-time aim
    Notch,      // NO
    LowShelf,   // LS, also with a slope ("LS 6dB")
    HighShelf,  // HS
    LowShelfQ,  // LSC, LSQ: a low shelf with a Q or slope of its own
    HighShelfQ, // HSC, HSQ
    AllPass,    // AP
    Other,      // a type of these lists that is no single filter of ours: LP, HP, BP, IIR, ...
    Unknown,    // a code none of the lists uses
};

// One switched-on filter line. A parameter the line does not give stays
// empty.
struct FilterTextFilter {
    int line = 0;
    // The type code as the file writes it.
    std::string code;
    FilterTextType type = FilterTextType::Unknown;
    std::optional<double> frequency; // Fc in Hz
    std::optional<double> gain;      // dB
    std::optional<double> q;
    std::optional<double> bandwidth; // "BW Oct", in octaves
    std::optional<double> slope;     // dB, written after a shelf's code
    std::optional<double> decayTime; // "T60 target", ms
    // Why the line cannot be read as a filter; empty when it can.
    std::string problem;
};

// A command line of an equaliser configuration other than a filter
// ("Preamp: -3 dB", "Channel: L").
struct FilterTextCommand {
    int line = 0;
    std::string name;
    // The rest of the line after the colon, without the blanks around it.
    std::string argument;
};

// Everything of a filter list that can change a sound, in file order.
struct FilterText {
    std::vector<FilterTextFilter> filters;
    std::vector<FilterTextCommand> commands;
};

// The bounds of what a filter list may hold: far above any real list, low
// enough that no file can make the reader or the messages about it large.
inline constexpr std::uint64_t kMaxFilterTextBytes = 1 << 20;
inline constexpr std::size_t kMaxFilterTextLine = 1024;
inline constexpr std::size_t kMaxFilterTextEntries = 1000;

// Reads a filter list. A file that starts with the line "Filter Settings
// file" is a room-measurement export, of which only the "Filter N:" lines
// count; any other file is an equaliser configuration, whose commands
// ("Name: ...", the name case-sensitive and capitalised) are kept, while '#'
// comments and every other line are text. Filters that are OFF and "None"
// placeholders are skipped. Numbers may have a decimal comma; a UTF-8
// byte-order mark and CR LF line ends are taken. False, with a message for
// the user in error, for a file that cannot be read or is no filter list:
// binary bytes, more than kMaxFilterTextBytes or kMaxFilterTextEntries, or
// no switched-on filter.
bool ReadFilterText(VInputFile& file, FilterText& text, std::string& error);
bool ReadFilterText(const std::filesystem::path& path, FilterText& text, std::string& error);

} // namespace kv
