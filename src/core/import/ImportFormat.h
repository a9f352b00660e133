#pragma once

#include <filesystem>
#include <string>

namespace kv {

// The measurement-file layouts the import engine reads. The numbers are the
// format codes users and scripts see; 7 and 17 were never used.
enum class ImportFormat {
    Unknown = -1,
    CompensationFile = 0,
    MicrophoneCorrection = 1,
    MicrophoneDataFormat = 2,
    BinaryLevelRecords = 3,
    PlainColumns = 4,
    TitledSplColumns = 5,
    SplUnderTwoTitles = 6,
    TitledImpedanceColumns = 8,
    ImpedanceUnderTwoTitles = 9,
    VoltageTimeSeries = 10,
    PressureTimeSeries = 11,
    StarredHeaderText = 12,
    Idf = 13,
    TdsTx2 = 14,
    VoltColumns = 15,
    Xop = 16,
    BinaryTimeSeries = 18,
    Mlssa = 19,
    Wav = 20,
    CommentedColumns = 21,
    DelimitedColumns = 22,
};

// What an imported file holds; the numbers are the kind codes users and
// scripts see.
enum class ImportKind {
    Nothing = 0,
    FrequencyResponse = 1,
    Impedance = 2,
    Both = 3,
    TimeResponse = 4,
};

// What stands in a frequency response's phase column: a phase; a group
// delay in seconds, which a file says so of in its header ("Group Delay
// (sec)"); or nothing, for a file without the column or with one that is
// zero, or the same, everywhere.
enum class PhaseContent { Phase, GroupDelay, None };

inline constexpr unsigned kBinaryTimeSeriesMagic = 0xFFFFABCDu;
inline constexpr unsigned kMlssaMagic = 0xFFFFBCDEu;

// What a file's first bytes and lines make of it: its layout (Unknown when
// none fits), whether it holds bytes that text never does, and why, in
// words that follow the file's name ("titled SPL columns: its first line
// starts with "Freq dB"").
struct ImportDetection {
    ImportFormat format = ImportFormat::Unknown;
    bool binary = false;
    std::string reason;
};

// The text after the last '.' of the file's name (empty without one).
std::string FileExtension(const std::filesystem::path& fileName);

} // namespace kv
