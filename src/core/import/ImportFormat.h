#pragma once

#include <filesystem>
#include <string>

namespace kv {

class VInputFile;

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

inline constexpr unsigned kBinaryTimeSeriesMagic = 0xFFFFABCDu;
inline constexpr unsigned kMlssaMagic = 0xFFFFBCDEu;

// The text after the last '.' of the file's name (empty without one).
std::string FileExtension(const std::filesystem::path& fileName);

// Recognises the layout of the file from its content and the extension; the
// file is left at its start. binary tells whether the file holds bytes that
// text never does.
ImportFormat DetectFormat(VInputFile& file, const std::string& extension, bool& binary);

} // namespace kv
