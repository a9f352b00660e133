#include "import/ImportFormat.h"

#include "archive/LittleEndian.h"
#include "archive/PathText.h"
#include "import/DelimitedText.h"
#include "import/ImportText.h"
#include "import/VInputFile.h"

#include <array>
#include <cstdint>
#include <string_view>

namespace kv {
namespace {

// Detection looks at no more of a line than this.
constexpr std::size_t kDetectionLineLength = 4094;

struct PrefixRule {
    std::string_view prefix;
    ImportFormat format;
};

// Line-1 prefixes tried before the sensitivity rule.
constexpr std::array kMicrophonePrefixes = {
    PrefixRule{"Lsp-LAB:Compensation File", ImportFormat::CompensationFile},
    PrefixRule{"Mic correction data: Ref Sensitivity", ImportFormat::MicrophoneCorrection},
};

// Line-1 prefixes tried after it, in their order: the first match decides, so
// "Hz dBV deg" is taken by "Hz dB" before it reaches its own entry.
constexpr std::array kTitlePrefixes = {
    PrefixRule{"MDF (Microphone Data Format) File", ImportFormat::MicrophoneDataFormat},
    PrefixRule{"Freq dB Phase", ImportFormat::TitledSplColumns},
    PrefixRule{"Freq dB deg", ImportFormat::TitledSplColumns},
    PrefixRule{"Freq dB", ImportFormat::TitledSplColumns},
    PrefixRule{"Hz dB Phase", ImportFormat::TitledSplColumns},
    PrefixRule{"Hz dB deg", ImportFormat::TitledSplColumns},
    PrefixRule{"Hz dB", ImportFormat::TitledSplColumns},
    PrefixRule{"Freq Mag", ImportFormat::TitledSplColumns},
    PrefixRule{"Freq Mag Phase", ImportFormat::TitledSplColumns},
    PrefixRule{"Hz Mag", ImportFormat::TitledSplColumns},
    PrefixRule{"Hz Mag Phase", ImportFormat::TitledSplColumns},
    PrefixRule{"Hz Mag deg", ImportFormat::TitledSplColumns},
    PrefixRule{"Freq Mag deg", ImportFormat::TitledSplColumns},
    PrefixRule{"Freq [Hz] dBSPL Phase [Deg]", ImportFormat::TitledSplColumns},
    PrefixRule{"Acoustic on Axis Free Air Response", ImportFormat::SplUnderTwoTitles},
    PrefixRule{"Transfer Function Bode Plot - dB volts/volts", ImportFormat::SplUnderTwoTitles},
    PrefixRule{"Transfer Function Magnitude - dB volts/volts", ImportFormat::SplUnderTwoTitles},
    PrefixRule{"Transfer Function Mag - dB volts/volts", ImportFormat::SplUnderTwoTitles},
    PrefixRule{"Loudspeaker Raw Response Data for the Automatic Loadspeaker Equalizer Program",
               ImportFormat::SplUnderTwoTitles},
    PrefixRule{"Freq Ohm deg", ImportFormat::TitledImpedanceColumns},
    PrefixRule{"Freq Ohms deg", ImportFormat::TitledImpedanceColumns},
    PrefixRule{"Freq Ohm Phase", ImportFormat::TitledImpedanceColumns},
    PrefixRule{"Freq Ohms Phase", ImportFormat::TitledImpedanceColumns},
    PrefixRule{"Freq Ohm", ImportFormat::TitledImpedanceColumns},
    PrefixRule{"Hz Ohm deg", ImportFormat::TitledImpedanceColumns},
    PrefixRule{"Hz Ohms deg", ImportFormat::TitledImpedanceColumns},
    PrefixRule{"Hz Ohm Phase", ImportFormat::TitledImpedanceColumns},
    PrefixRule{"Hz Ohms Phase", ImportFormat::TitledImpedanceColumns},
    PrefixRule{"Hz Ohm", ImportFormat::TitledImpedanceColumns},
    PrefixRule{"Impedance: ohm, phase", ImportFormat::ImpedanceUnderTwoTitles},
    PrefixRule{"Impedance Bode Plot - ohms (eq)", ImportFormat::ImpedanceUnderTwoTitles},
    PrefixRule{"Impedance Bode Plot - ohms (equalized)", ImportFormat::ImpedanceUnderTwoTitles},
    PrefixRule{"Time[ms] Level[V]", ImportFormat::VoltageTimeSeries},
    PrefixRule{"Time[ms] Level[Pa]", ImportFormat::PressureTimeSeries},
    PrefixRule{"Hz dBV deg", ImportFormat::VoltColumns},
    PrefixRule{"Hz V deg", ImportFormat::VoltColumns},
    PrefixRule{"* LEAP", ImportFormat::StarredHeaderText},
    PrefixRule{"* LMS", ImportFormat::StarredHeaderText},
    PrefixRule{"* Lsp-LAB", ImportFormat::StarredHeaderText},
};

constexpr std::array kSecondLinePrefixes = {
    PrefixRule{"Freq dB", ImportFormat::SplUnderTwoTitles},
    PrefixRule{"Hz dB", ImportFormat::SplUnderTwoTitles},
    PrefixRule{"Freq Ohm", ImportFormat::ImpedanceUnderTwoTitles},
    PrefixRule{"Hz Ohm", ImportFormat::ImpedanceUnderTwoTitles},
};

struct ExtensionRule {
    std::string_view extension;
    ImportFormat format;
};

constexpr std::array kExtensions = {
    ExtensionRule{"WAV", ImportFormat::Wav},
    ExtensionRule{"GDT", ImportFormat::StarredHeaderText},
    ExtensionRule{"IDF", ImportFormat::Idf},
    ExtensionRule{"XOP", ImportFormat::Xop},
    ExtensionRule{"TDS", ImportFormat::TdsTx2},
    ExtensionRule{"TX2", ImportFormat::TdsTx2},
    ExtensionRule{"FRD", ImportFormat::PlainColumns},
    ExtensionRule{"FR", ImportFormat::PlainColumns},
};

template <std::size_t N>
ImportFormat MatchPrefix(const std::array<PrefixRule, N>& rules, std::string_view line) {
    for (const PrefixRule& rule : rules) {
        if (StartsWithNoCase(line, rule.prefix)) {
            return rule.format;
        }
    }
    return ImportFormat::Unknown;
}

bool NamesSensitivity(std::string_view line) {
    const std::size_t colon = line.find(':');
    return StartsWithNoCase(colon == std::string_view::npos ? line : line.substr(colon),
                            ": SENSITIVITY");
}

ImportFormat MatchFirstLine(std::string_view line) {
    ImportFormat format = MatchPrefix(kMicrophonePrefixes, line);
    if (format == ImportFormat::Unknown && NamesSensitivity(line)) {
        format = ImportFormat::MicrophoneCorrection;
    }
    return format != ImportFormat::Unknown ? format : MatchPrefix(kTitlePrefixes, line);
}

bool IsNumberCharacter(char c) {
    return (c >= '0' && c <= '9') || c == '.' || c == 'E' || c == 'e' || c == '+' || c == '-';
}

std::size_t RunLength(std::string_view line, std::size_t from, bool numberCharacters) {
    std::size_t end = from;
    while (end < line.size() && IsNumberCharacter(line[end]) == numberCharacters) {
        ++end;
    }
    return end - from;
}

// A number of at least two characters, a separator, and another such number.
bool StartsWithTwoNumbers(std::string_view line) {
    const std::size_t a = RunLength(line, 0, true);
    const std::size_t b = RunLength(line, a, false);
    const std::size_t c = RunLength(line, a + b, true);
    return a >= 2 && b >= 1 && c >= 2;
}

ImportFormat MatchExtension(std::string_view extension) {
    for (const ExtensionRule& rule : kExtensions) {
        if (EqualsNoCase(extension, rule.extension)) {
            return rule.format;
        }
    }
    return ImportFormat::Unknown;
}

// Comment lines ('*' or '#') and blank lines, then a numeric line of at least
// two columns: the text exports of most current measurement programs.
bool StartsWithCommentedColumns(VInputFile& file) {
    std::string line;
    while (file.ReadLine(line)) {
        CleanLine(line);
        if (!IsCommentOrBlankLine(line)) {
            DataLine(line);
            return IsNumericLine(line) && CountTokens(line) >= 2;
        }
    }
    return false;
}

ImportFormat DetectBinary(VInputFile& file, std::string_view extension) {
    std::array<std::uint8_t, 4> bytes{};
    file.Read(bytes.data(), bytes.size());
    const std::uint32_t magic = LoadU32(bytes.data());
    if (magic == kBinaryTimeSeriesMagic) {
        return ImportFormat::BinaryTimeSeries;
    }
    if (magic == kMlssaMagic) {
        return ImportFormat::Mlssa;
    }
    return EqualsNoCase(extension, "WAV") ? ImportFormat::Wav : ImportFormat::BinaryLevelRecords;
}

ImportFormat DetectText(VInputFile& file, std::string_view extension) {
    std::array<std::string, 3> lines;
    for (std::string& line : lines) {
        if (!file.ReadLine(line, kDetectionLineLength)) {
            return ImportFormat::Unknown;
        }
        CleanLine(line);
        NormalizeLine(line);
    }
    ImportFormat format = MatchFirstLine(lines[0]);
    if (format == ImportFormat::Unknown && StartsWithTwoNumbers(lines[0])) {
        format = ImportFormat::PlainColumns;
    }
    if (format == ImportFormat::Unknown) {
        format = MatchPrefix(kSecondLinePrefixes, lines[1]);
    }
    if (format == ImportFormat::Unknown) {
        format = MatchExtension(extension);
    }
    if (format == ImportFormat::Unknown && file.Seek(0) && StartsWithCommentedColumns(file)) {
        format = ImportFormat::CommentedColumns;
    }
    DelimitedHeader header;
    if (format == ImportFormat::Unknown && file.Seek(0) && ReadDelimitedHeader(file, header)) {
        format = ImportFormat::DelimitedColumns;
    }
    return format;
}

} // namespace

std::string FileExtension(const std::filesystem::path& fileName) {
    const std::string name = PathText(fileName.filename());
    const std::size_t dot = name.rfind('.');
    return dot == std::string::npos ? std::string() : name.substr(dot + 1);
}

ImportFormat DetectFormat(VInputFile& file, const std::string& extension, bool& binary) {
    file.Seek(0);
    binary = file.HoldsBinaryBytes();
    const ImportFormat format =
        binary ? DetectBinary(file, extension) : DetectText(file, extension);
    file.Seek(0);
    return format;
}

} // namespace kv
