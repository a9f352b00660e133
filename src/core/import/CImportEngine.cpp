#include "import/CImportEngine.h"

#include "archive/LittleEndian.h"
#include "archive/PathText.h"
#include "import/DelimitedText.h"
#include "import/ImportText.h"
#include "import/VInputFile.h"
#include "import/VWaveReader.h"
#include "math/ResponseCurves.h"
#include "ui/IMessageBox.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <climits>
#include <cmath>
#include <complex>
#include <functional>
#include <string_view>

namespace kv {
namespace {

constexpr double kDegreesToRadians = 0.017453292519943295;
constexpr double kPascalToTwentyMicropascal = 50000.0;
constexpr double kMillivoltsPerVolt = 0.001;
constexpr double kReferencePressure = 2e-5;
constexpr std::size_t kLevelRecordBytes = 8;
constexpr std::size_t kTimeSeriesHeaderBytes = 14;
constexpr std::size_t kMlssaHeaderBytes = 12;
constexpr std::size_t kMlssaPointBytes = 8;
// Where the impedance scale lies in the trailer after the MLSSA points.
constexpr std::uint64_t kMlssaScaleOffset = 235;

bool ReadLines(VInputFile& file, int count, std::vector<std::string>& lines) {
    lines.assign(static_cast<std::size_t>(count), std::string());
    for (std::string& line : lines) {
        if (!file.ReadLine(line)) {
            return false;
        }
    }
    return true;
}

bool SkipLines(VInputFile& file, int count) {
    std::vector<std::string> lines;
    return ReadLines(file, count, lines);
}

std::string CleanNormalized(std::string line) {
    CleanLine(line);
    NormalizeLine(line);
    return line;
}

// The lines from the position on that pass the test; the position is kept.
std::uint64_t CountLines(VInputFile& file, bool (*counted)(std::string_view line)) {
    const std::uint64_t start = file.Tell();
    std::uint64_t count = 0;
    std::string line;
    while (file.ReadLine(line)) {
        count += counted(line) ? 1 : 0;
    }
    file.Seek(start);
    return count;
}

bool HoldsText(std::string_view line) {
    return CountTokens(line) > 0;
}

// A phase column empty throughout is no phase at all (0); one that holds
// phases makes the rows without one incomplete, and they are dropped.
void SettlePhases(VDoubleVec& frequencies, VDoubleVec& magnitudes, VDoubleVec& phases) {
    const auto isNumber = [](double x) { return std::isfinite(x); };
    if (std::none_of(phases.begin(), phases.end(), isNumber)) {
        std::fill(phases.begin(), phases.end(), 0.0);
        return;
    }
    int kept = 0;
    for (int i = 0; i < phases.GetSize(); ++i) {
        if (isNumber(phases[i])) {
            frequencies[kept] = frequencies[i];
            magnitudes[kept] = magnitudes[i];
            phases[kept] = phases[i];
            ++kept;
        }
    }
    for (VDoubleVec* vector : {&frequencies, &magnitudes, &phases}) {
        vector->SetSize(kept);
    }
}

// The kind a column-header comment names ("* Freq(Hz) Z(Ohms) Phase"):
// impedance when it speaks of ohms, else a frequency response; nothing when
// the comment is not a column header.
ImportKind ColumnHeaderKind(std::string_view comment) {
    const std::size_t start = comment.find_first_not_of("*# \t");
    if (start == std::string_view::npos) {
        return ImportKind::Nothing;
    }
    const std::string_view text = comment.substr(start);
    if (!StartsWithNoCase(text, "freq") && !StartsWithNoCase(text, "hz")) {
        return ImportKind::Nothing;
    }
    for (std::size_t i = 0; i + 3 <= text.size(); ++i) {
        if (StartsWithNoCase(text.substr(i), "ohm")) {
            return ImportKind::Impedance;
        }
    }
    return ImportKind::FrequencyResponse;
}

bool IsPositiveFinite(double x) {
    return x > 0.0 && std::isfinite(x);
}

// Detection looks at no more of a line than this.
constexpr std::size_t kDetectionLineLength = 4094;

bool NamesSensitivity(std::string_view line) {
    const std::size_t colon = line.find(':');
    return StartsWithNoCase(colon == std::string_view::npos ? line : line.substr(colon),
                            ": SENSITIVITY");
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

// Files of kinds users pick by mistake, told apart by the bytes they start
// with (at an offset) or by their first line, so that the refusal can say
// what the file is.
struct ForeignMarker {
    std::size_t offset;
    std::string_view bytes;
    const char* what;
};
constexpr ForeignMarker kForeignMarkers[] = {
    {0, "\x89PNG", "a PNG picture"},
    {0, "\xFF\xD8\xFF", "a JPEG picture"},
    {0, "GIF8", "a GIF picture"},
    {0, "%PDF", "a PDF document"},
    {0, "PK\x03\x04", "a compressed archive or an office document"},
    // A design starts with the length of its version text, then the text.
    {4, "KESTRELV_", "a Kestrelvane design"},
};
constexpr std::size_t kForeignMarkerBytes = 16;

struct ForeignFirstLine {
    std::string_view start;
    const char* what;
};
constexpr ForeignFirstLine kForeignFirstLines[] = {
    {"Filter Settings file", "a list of equaliser filters"},
    {"Preamp:", "a list of equaliser filters"},
    {"Filter:", "a list of equaliser filters"},
    {"Filter 1:", "a list of equaliser filters"},
};

const char* ForeignKindOfStart(VInputFile& file) {
    std::array<std::uint8_t, kForeignMarkerBytes> head{};
    const std::size_t size = file.Read(head.data(), head.size());
    for (const ForeignMarker& marker : kForeignMarkers) {
        if (marker.offset + marker.bytes.size() <= size &&
            std::equal(marker.bytes.begin(), marker.bytes.end(), head.begin() + marker.offset,
                       [](char a, std::uint8_t b) { return static_cast<std::uint8_t>(a) == b; })) {
            return marker.what;
        }
    }
    return nullptr;
}

const char* ForeignKindOfFirstLine(std::string_view line) {
    for (const ForeignFirstLine& kind : kForeignFirstLines) {
        if (StartsWithNoCase(line, kind.start)) {
            return kind.what;
        }
    }
    return nullptr;
}

// Whether any line of the file holds a number where data would be.
bool HoldsNumbers(VInputFile& file) {
    std::string line;
    while (file.ReadLine(line)) {
        CleanLine(line);
        DataLine(line);
        if (IsNumericLine(line)) {
            return true;
        }
    }
    return false;
}

std::string Quoted(std::string_view text) {
    return "\"" + std::string(text) + "\"";
}

} // namespace

bool CImportEngine::Import(IMessageBox& owner, const std::filesystem::path& fileName,
                           const ImportOptions& options) {
    Clear();
    VInputFile file;
    return file.Open(fileName) && Import(owner, file, fileName, options);
}

bool CImportEngine::Import(IMessageBox& owner, VInputFile& file,
                           const std::filesystem::path& fileName, const ImportOptions& options) {
    Clear();
    const std::string extension = FileExtension(fileName);
    const ImportDetection detection = Detect(file, extension);
    format_ = detection.format;
    binary_ = detection.binary;
    reason_ = detection.reason;
    const FormatRow* row = RowOf(format_);
    if (row == nullptr) {
        return false;
    }
    // Only delimited text names its level columns.
    if (!options.levelColumn.empty() && format_ != ImportFormat::DelimitedColumns) {
        reason_ += ", which names no level columns";
        return false;
    }
    ParseInput input{owner, file, fileName, options, EqualsNoCase(extension, "zma")};
    groupDelayColumn_ = !binary_ && StatesGroupDelay(file);
    // A file that fails half-way leaves nothing that could pass for a result.
    if (!(this->*row->parse)(input, *row)) {
        ClearResult();
        // Binary level records are what the engine makes of any other binary
        // data; when that fails, the file is of no kind it knows.
        if (format_ == ImportFormat::BinaryLevelRecords) {
            format_ = ImportFormat::Unknown;
            reason_ = "it is a binary file of no kind the program knows";
        } else {
            reason_ += ", but its data could not be read";
        }
        return false;
    }
    SettlePhaseContent();
    return true;
}

// The header lines before the first numeric line, a bounded number of them.
bool CImportEngine::StatesGroupDelay(VInputFile& file) {
    constexpr int kMaxHeaderLines = 64;
    const std::uint64_t start = file.Tell();
    std::string line;
    bool states = false;
    for (int i = 0; i < kMaxHeaderLines && !states && file.ReadLine(line) && !IsNumericLine(line);
         ++i) {
        std::transform(line.begin(), line.end(), line.begin(),
                       [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        states = line.find("group delay") != std::string::npos;
    }
    file.Seek(start);
    return states;
}

void CImportEngine::SettlePhaseContent() {
    const int n = frequencies_.GetSize();
    if (kind_ == ImportKind::TimeResponse) {
        phaseHeld_ = PhaseContent::Phase;
    } else if (groupDelays_.GetSize() == n && n > 0 && phases_.SetSize(n)) {
        phases_.Fill(0.0);
        const bool any = std::any_of(groupDelays_.begin(), groupDelays_.end(),
                                     [](double seconds) { return seconds != 0.0; });
        phaseHeld_ = any ? PhaseContent::GroupDelay : PhaseContent::None;
    } else {
        const bool varies = std::adjacent_find(phases_.begin(), phases_.end(),
                                               std::not_equal_to<>()) != phases_.end();
        phaseHeld_ = varies ? PhaseContent::Phase : PhaseContent::None;
    }
}

bool CImportEngine::HasLevelColumn(std::string_view name) const {
    return std::any_of(levelColumns_.begin(), levelColumns_.end(),
                       [name](const std::string& column) { return EqualsNoCase(column, name); });
}

void CImportEngine::Clear() {
    format_ = ImportFormat::Unknown;
    binary_ = false;
    levelColumns_.clear();
    reason_.clear();
    ClearResult();
}

void CImportEngine::ClearResult() {
    kind_ = ImportKind::Nothing;
    for (VDoubleVec* vector : {&frequencies_, &levels_, &phases_, &impedanceMagnitudes_,
                               &impedancePhases_, &timeSamples_, &groupDelays_}) {
        vector->SetSize(0);
    }
    phaseHeld_ = PhaseContent::None;
    sampleRate_ = 0.0;
    sensitivity_ = 0.0;
    levelColumn_.clear();
}

// clang-format off
const std::vector<CImportEngine::FormatRow>& CImportEngine::Formats() {
    using E = CImportEngine;
    using S = Stage;
    using F = ImportFormat;
    using K = ImportKind;
    static const std::vector<FormatRow> rows = {
        {F::CompensationFile, "a compensation file",
         {{S::FirstLineEarly, "Lsp-LAB:Compensation File"}},
         &E::ParseCompensationFile, 4, K::FrequencyResponse},
        {F::MicrophoneCorrection, "a microphone correction",
         {{S::FirstLineEarly, "Mic correction data: Ref Sensitivity"}, {S::Sensitivity}},
         &E::ParseMicrophoneCorrection, 1, K::FrequencyResponse},
        {F::MicrophoneDataFormat, "a microphone data file",
         {{S::FirstLine, "MDF (Microphone Data Format) File"}},
         &E::ParseMicrophoneDataFormat, 9, K::FrequencyResponse},
        {F::TitledSplColumns, "a frequency response under a title line",
         {{S::FirstLine, "Freq dB Phase"}, {S::FirstLine, "Freq dB deg"}, {S::FirstLine, "Freq dB"},
          {S::FirstLine, "Hz dB Phase"}, {S::FirstLine, "Hz dB deg"}, {S::FirstLine, "Hz dB"},
          {S::FirstLine, "Freq Mag"}, {S::FirstLine, "Freq Mag Phase"}, {S::FirstLine, "Hz Mag"},
          {S::FirstLine, "Hz Mag Phase"}, {S::FirstLine, "Hz Mag deg"}, {S::FirstLine, "Freq Mag deg"},
          {S::FirstLine, "Freq [Hz] dBSPL Phase [Deg]"}},
         &E::ParseCurveColumns, 1, K::FrequencyResponse},
        {F::SplUnderTwoTitles, "a frequency response under two title lines",
         {{S::FirstLine, "Acoustic on Axis Free Air Response"},
          {S::FirstLine, "Transfer Function Bode Plot - dB volts/volts"},
          {S::FirstLine, "Transfer Function Magnitude - dB volts/volts"},
          {S::FirstLine, "Transfer Function Mag - dB volts/volts"},
          {S::FirstLine, "Loudspeaker Raw Response Data for the Automatic Loadspeaker Equalizer Program"},
          {S::SecondLine, "Freq dB"}, {S::SecondLine, "Hz dB"}},
         &E::ParseCurveColumns, 2, K::FrequencyResponse},
        {F::TitledImpedanceColumns, "an impedance curve under a title line",
         {{S::FirstLine, "Freq Ohm deg"}, {S::FirstLine, "Freq Ohms deg"}, {S::FirstLine, "Freq Ohm Phase"},
          {S::FirstLine, "Freq Ohms Phase"}, {S::FirstLine, "Freq Ohm"}, {S::FirstLine, "Hz Ohm deg"},
          {S::FirstLine, "Hz Ohms deg"}, {S::FirstLine, "Hz Ohm Phase"}, {S::FirstLine, "Hz Ohms Phase"},
          {S::FirstLine, "Hz Ohm"}},
         &E::ParseCurveColumns, 1, K::Impedance},
        {F::ImpedanceUnderTwoTitles, "an impedance curve under two title lines",
         {{S::FirstLine, "Impedance: ohm, phase"}, {S::FirstLine, "Impedance Bode Plot - ohms (eq)"},
          {S::FirstLine, "Impedance Bode Plot - ohms (equalized)"},
          {S::SecondLine, "Freq Ohm"}, {S::SecondLine, "Hz Ohm"}},
         &E::ParseCurveColumns, 2, K::Impedance},
        {F::VoltageTimeSeries, "a time series in volts",
         {{S::FirstLine, "Time[ms] Level[V]"}}, &E::ParseTimeSeries, 1, K::TimeResponse, 1.0},
        {F::PressureTimeSeries, "a time series in pascals",
         {{S::FirstLine, "Time[ms] Level[Pa]"}}, &E::ParseTimeSeries, 1, K::TimeResponse,
         kPascalToTwentyMicropascal},
        // Only "Hz V deg" ever reaches this layout: "Hz dBV deg" is taken as
        // titled dB columns first.
        {F::VoltColumns, "a response in volts",
         {{S::FirstLine, "Hz dBV deg"}, {S::FirstLine, "Hz V deg"}},
         &E::ParseVoltColumns, 1, K::FrequencyResponse},
        {F::StarredHeaderText, "a text with a starred header",
         {{S::FirstLine, "* LEAP"}, {S::FirstLine, "* LMS"}, {S::FirstLine, "* Lsp-LAB"},
          {S::Extension, "GDT"}},
         &E::ParseStarredHeaderText},
        {F::PlainColumns, "plain frequency columns",
         {{S::TwoNumbers}, {S::Extension, "FRD"}, {S::Extension, "FR"}},
         &E::ParsePlainColumns},
        {F::Idf, "an IDF file", {{S::Extension, "IDF"}}, &E::ParseIdf, 7},
        {F::TdsTx2, "a TDS file", {{S::Extension, "TDS"}, {S::Extension, "TX2"}}, &E::ParseTds, 5},
        {F::Xop, "an XOP file", {{S::Extension, "XOP"}}, &E::ParseXop, 1, K::Both},
        {F::CommentedColumns, "columns after comment lines", {{S::CommentedColumns}},
         &E::ParseCommentedColumns},
        {F::DelimitedColumns, "a table with named columns", {{S::DelimitedHeader}},
         &E::ParseDelimitedColumns},
        {F::BinaryTimeSeries, "a binary time series", {{S::BinaryMagic, {}, kBinaryTimeSeriesMagic}},
         &E::ParseBinaryTimeSeries, 0, K::TimeResponse},
        {F::Mlssa, "an MLSSA file", {{S::BinaryMagic, {}, kMlssaMagic}}, &E::ParseMlssa},
        {F::Wav, "a WAV file", {{S::BinaryExtension, "WAV"}, {S::Extension, "WAV"}},
         &E::ParseWave, 0, K::TimeResponse},
        {F::BinaryLevelRecords, "binary level records", {{S::BinaryAny}},
         &E::ParseBinaryLevelRecords, 0, K::FrequencyResponse},
    };
    return rows;
}
// clang-format on

const CImportEngine::FormatRow* CImportEngine::RowOf(ImportFormat format) {
    for (const FormatRow& row : Formats()) {
        if (row.format == format) {
            return &row;
        }
    }
    return nullptr;
}

CImportEngine::Match CImportEngine::FirstMatch(Stage stage, const RuleTest& fits) {
    for (const FormatRow& row : Formats()) {
        for (const Recognition& rule : row.recognitions) {
            if (rule.stage == stage && fits(rule)) {
                return {&row, &rule};
            }
        }
    }
    return {};
}

ImportDetection CImportEngine::Recognised(const Match& match, const std::string& extension,
                                          bool binary) {
    std::string why;
    switch (match.rule->stage) {
    case Stage::BinaryMagic:
        why = "it starts with the marker of one";
        break;
    case Stage::BinaryExtension:
    case Stage::Extension:
        why = "its name ends in ." + extension;
        break;
    case Stage::BinaryAny:
        why = "it holds binary data that starts with no known marker";
        break;
    case Stage::FirstLineEarly:
    case Stage::FirstLine:
        why = "its first line starts with " + Quoted(match.rule->text);
        break;
    case Stage::Sensitivity:
        why = "its first line names a microphone's sensitivity";
        break;
    case Stage::TwoNumbers:
        why = "its first line holds two numbers";
        break;
    case Stage::SecondLine:
        why = "its second line starts with " + Quoted(match.rule->text);
        break;
    case Stage::CommentedColumns:
        why = "comment lines are followed by columns of numbers";
        break;
    case Stage::DelimitedHeader:
        why = "a header line names its columns";
        break;
    }
    return {match.row->format, binary, std::string(match.row->name) + ": " + why};
}

ImportDetection CImportEngine::Detect(VInputFile& file, const std::string& extension) {
    file.Seek(0);
    const bool binary = file.HoldsBinaryBytes();
    const char* foreign = ForeignKindOfStart(file);
    file.Seek(0);
    const ImportDetection detection =
        foreign != nullptr
            ? ImportDetection{ImportFormat::Unknown, binary, std::string("it is ") + foreign}
        : binary ? DetectBinary(file, extension)
                 : DetectText(file, extension);
    file.Seek(0);
    return detection;
}

ImportDetection CImportEngine::DetectBinary(VInputFile& file, const std::string& extension) {
    std::array<std::uint8_t, 4> bytes{};
    file.Read(bytes.data(), bytes.size());
    const std::uint32_t magic = LoadU32(bytes.data());
    Match match = FirstMatch(Stage::BinaryMagic,
                             [magic](const Recognition& rule) { return rule.magic == magic; });
    if (match.row == nullptr) {
        match = FirstMatch(Stage::BinaryExtension, [&extension](const Recognition& rule) {
            return EqualsNoCase(extension, rule.text);
        });
    }
    if (match.row == nullptr) {
        match = FirstMatch(Stage::BinaryAny, [](const Recognition&) { return true; });
    }
    return Recognised(match, extension, true);
}

ImportDetection CImportEngine::DetectText(VInputFile& file, const std::string& extension) {
    std::array<std::string, 3> lines;
    for (std::string& line : lines) {
        if (!file.ReadLine(line, kDetectionLineLength)) {
            return Unrecognised(file, lines[0], "it has fewer than three lines");
        }
        CleanLine(line);
        NormalizeLine(line);
    }
    const std::vector<std::pair<Stage, RuleTest>> stages = {
        {Stage::FirstLineEarly,
         [&](const Recognition& rule) { return StartsWithNoCase(lines[0], rule.text); }},
        {Stage::Sensitivity, [&](const Recognition&) { return NamesSensitivity(lines[0]); }},
        {Stage::FirstLine,
         [&](const Recognition& rule) { return StartsWithNoCase(lines[0], rule.text); }},
        {Stage::TwoNumbers, [&](const Recognition&) { return StartsWithTwoNumbers(lines[0]); }},
        {Stage::SecondLine,
         [&](const Recognition& rule) { return StartsWithNoCase(lines[1], rule.text); }},
        {Stage::Extension,
         [&](const Recognition& rule) { return EqualsNoCase(extension, rule.text); }},
        {Stage::CommentedColumns,
         [&](const Recognition&) { return file.Seek(0) && StartsWithCommentedColumns(file); }},
        {Stage::DelimitedHeader,
         [&](const Recognition&) {
             DelimitedHeader header;
             return file.Seek(0) && ReadDelimitedHeader(file, header);
         }},
    };
    for (const auto& [stage, fits] : stages) {
        const Match match = FirstMatch(stage, fits);
        if (match.row != nullptr) {
            return Recognised(match, extension, false);
        }
    }
    return Unrecognised(file, lines[0], "no layout the program knows fits its first lines");
}

// A text no layout fits: what it is when the program can tell, else why.
ImportDetection CImportEngine::Unrecognised(VInputFile& file, std::string_view firstLine,
                                            const char* why) {
    if (const char* foreign = ForeignKindOfFirstLine(firstLine)) {
        return {ImportFormat::Unknown, false, std::string("it is ") + foreign};
    }
    if (file.Seek(0) && !HoldsNumbers(file)) {
        return {ImportFormat::Unknown, false, "it holds no numbers"};
    }
    return {ImportFormat::Unknown, false, why};
}

bool CImportEngine::ReadColumns(VInputFile& file, const std::vector<Column>& columns, int& count,
                                const RowFilter& filter) {
    const LineParser parse = [&columns, &filter](std::string& line, Row& row) {
        DataLine(line);
        if (!IsNumericLine(line)) {
            return false;
        }
        std::string_view rest = line;
        bool usable = true;
        for (std::size_t k = 0; k < columns.size(); ++k) {
            const std::string_view token = NextToken(rest);
            if (columns[k].target != nullptr) {
                row[k] = ParseNumber(token);
                usable = usable && std::isfinite(row[k]);
            }
        }
        return usable && (!filter || filter(row));
    };
    return ReadRows(file, CountLines(file, IsNumericLine), columns, parse, count);
}

bool CImportEngine::ReadRows(VInputFile& file, std::uint64_t lines,
                             const std::vector<Column>& columns, const LineParser& parse,
                             int& count) {
    if (lines > static_cast<std::uint64_t>(INT_MAX)) {
        return false;
    }
    const int capacity = static_cast<int>(lines);
    for (const Column& column : columns) {
        if (column.target != nullptr && !column.target->SetSize(capacity)) {
            return false;
        }
    }
    count = 0;
    std::string line;
    Row row{};
    while (count < capacity && file.ReadLine(line)) {
        if (!parse(line, row)) {
            continue;
        }
        for (std::size_t k = 0; k < columns.size(); ++k) {
            if (columns[k].target != nullptr) {
                (*columns[k].target)[count] = row[k] * columns[k].scale;
            }
        }
        ++count;
    }
    for (const Column& column : columns) {
        if (column.target != nullptr) {
            column.target->SetSize(count);
        }
    }
    return true;
}

std::vector<CImportEngine::Column> CImportEngine::CurveColumns(ImportKind kind, int ignoredColumns,
                                                               double phaseScale) {
    std::vector<Column> columns(static_cast<std::size_t>(ignoredColumns), Column{nullptr, 0.0});
    columns.push_back({&frequencies_, 1.0});
    if (kind == ImportKind::Impedance) {
        columns.push_back({&impedanceMagnitudes_, 1.0});
        columns.push_back({&impedancePhases_, phaseScale});
    } else if (groupDelayColumn_) {
        columns.push_back({&levels_, 1.0});
        columns.push_back({&groupDelays_, 1.0});
    } else {
        columns.push_back({&levels_, 1.0});
        columns.push_back({&phases_, phaseScale});
    }
    return columns;
}

bool CImportEngine::ReadCurve(VInputFile& file, ImportKind kind, int ignoredColumns, int& count) {
    kind_ = kind;
    return ReadColumns(file, CurveColumns(kind, ignoredColumns, kDegreesToRadians), count);
}

void CImportEngine::ReverseCurve() {
    for (VDoubleVec* vector : {&frequencies_, &levels_, &phases_, &impedanceMagnitudes_,
                               &impedancePhases_, &groupDelays_}) {
        vector->Reverse(0, -1);
    }
}

void CImportEngine::ReverseIfDescending() {
    const int n = frequencies_.GetSize();
    if (n >= 2 && frequencies_[0] > frequencies_[n - 1]) {
        ReverseCurve();
    }
}

bool CImportEngine::ParseCurveColumns(ParseInput& input, const FormatRow& row) {
    int count = 0;
    if (!SkipLines(input.file, row.headerLines) || !ReadCurve(input.file, row.kind, 0, count)) {
        return false;
    }
    ReverseIfDescending();
    return true;
}

// Columns without a title say nothing of their unit but through the
// file's name.
bool CImportEngine::ParsePlainColumns(ParseInput& input, const FormatRow& row) {
    FormatRow plain = row;
    plain.kind = input.impedanceByName ? ImportKind::Impedance : ImportKind::FrequencyResponse;
    return ParseCurveColumns(input, plain);
}

// The first header line names the version, which decides the phase unit.
bool CImportEngine::ParseCompensationFile(ParseInput& input, const FormatRow& row) {
    VInputFile& file = input.file;
    std::vector<std::string> header;
    if (!ReadLines(file, row.headerLines, header)) {
        return false;
    }
    const std::string version = CleanNormalized(header[0]);
    kind_ = row.kind;
    int count = 0;
    if (StartsWithNoCase(version, "Lsp-LAB:Compensation File v0.10")) {
        return ReadColumns(file, {{&frequencies_, 1.0}, {&levels_, 1.0}}, count) &&
               phases_.SetSize(count);
    }
    const bool radians = StartsWithNoCase(version, "Lsp-LAB:Compensation File v0.11") ||
                         StartsWithNoCase(version, "Lsp-LAB:Compensation File v0.12");
    return ReadColumns(file, CurveColumns(kind_, 0, radians ? 1.0 : kDegreesToRadians), count);
}

// The header line gives the sensitivity in mV after its "=".
bool CImportEngine::ParseMicrophoneCorrection(ParseInput& input, const FormatRow& row) {
    std::vector<std::string> header;
    int count = 0;
    if (!ReadLines(input.file, row.headerLines, header) ||
        !ReadCurve(input.file, row.kind, 0, count)) {
        return false;
    }
    sensitivity_ = ValueAfterEquals(header[0]) * kMillivoltsPerVolt;
    return true;
}

bool CImportEngine::ParseMicrophoneDataFormat(ParseInput& input, const FormatRow& row) {
    // The header lines that give the reference level and the sensitivity
    // level, each after its "=".
    constexpr std::size_t kReferenceLevelLine = 5;
    constexpr std::size_t kSensitivityLevelLine = 6;
    std::vector<std::string> header;
    int count = 0;
    if (!ReadLines(input.file, row.headerLines, header) ||
        !ReadCurve(input.file, row.kind, 1, count)) {
        return false;
    }
    const double referenceLevel = ValueAfterEquals(header[kReferenceLevelLine]);
    const double sensitivityLevel = ValueAfterEquals(header[kSensitivityLevelLine]);
    const double sensitivity =
        DbToGain(sensitivityLevel) / (kReferencePressure * std::pow(10.0, referenceLevel / 20.0));
    sensitivity_ = std::isfinite(sensitivity) ? sensitivity : 0.0;
    return true;
}

bool CImportEngine::ParseTimeSeries(ParseInput& input, const FormatRow& row) {
    VInputFile& file = input.file;
    VDoubleVec times;
    int count = 0;
    if (!SkipLines(file, row.headerLines) ||
        !ReadColumns(file, {{&times, 1.0}, {&timeSamples_, row.scale}}, count) || count < 2) {
        return false;
    }
    // A sample interval that is not a positive number would give an
    // infinite or negative sample rate.
    const double interval = times[1] - times[0];
    const double rate = std::round(100.0 * 1000.0 / interval) / 100.0;
    if (!IsPositiveFinite(interval) || !IsPositiveFinite(rate)) {
        return false;
    }
    sampleRate_ = rate;
    kind_ = row.kind;
    return true;
}

bool CImportEngine::ParseStarredHeaderText(ParseInput& input, const FormatRow&) {
    VInputFile& file = input.file;
    static constexpr std::array<std::string_view, 3> kSplUnits = {"* Frequency Hz dB", "* Hz dB",
                                                                  "* DataUnits= Hz dBSPL Deg"};
    static constexpr std::array<std::string_view, 2> kImpedanceUnits = {"* Frequency Hz Ohm",
                                                                        "* Hz Ohm"};
    const auto startsWithAny = [](std::string_view line, const auto& prefixes) {
        for (std::string_view prefix : prefixes) {
            if (StartsWithNoCase(line, prefix)) {
                return true;
            }
        }
        return false;
    };
    std::string line;
    ImportKind kind = ImportKind::Nothing;
    while (kind == ImportKind::Nothing) {
        if (!file.ReadLine(line)) {
            return false;
        }
        line = CleanNormalized(line);
        if (startsWithAny(line, kSplUnits)) {
            kind = ImportKind::FrequencyResponse;
        } else if (startsWithAny(line, kImpedanceUnits)) {
            kind = ImportKind::Impedance;
        }
    }
    int count = 0;
    return ReadCurve(file, kind, 0, count) && count > 1;
}

bool CImportEngine::ParseIdf(ParseInput& input, const FormatRow& row) {
    // The header line whose number says what the columns hold: 1 impedance,
    // 2 a frequency response.
    constexpr std::size_t kKindLine = 2;
    VInputFile& file = input.file;
    std::vector<std::string> header;
    if (!ReadLines(file, row.headerLines, header)) {
        return false;
    }
    std::string kindLine = header[kKindLine];
    CleanLine(kindLine);
    int code = 0;
    std::from_chars(kindLine.data(), kindLine.data() + kindLine.size(), code);
    if (code != 1 && code != 2) {
        return false;
    }
    int count = 0;
    return ReadCurve(file, code == 1 ? ImportKind::Impedance : ImportKind::FrequencyResponse, 0,
                     count) &&
           count > 1;
}

bool CImportEngine::ParseTds(ParseInput& input, const FormatRow& row) {
    // The header line that must title the columns.
    constexpr std::size_t kColumnTitleLine = 2;
    VInputFile& file = input.file;
    std::vector<std::string> header;
    if (!ReadLines(file, row.headerLines, header) ||
        !StartsWithNoCase(CleanNormalized(header[kColumnTitleLine]), "# FREQ MAGNITUDE PHASE")) {
        return false;
    }
    int count = 0;
    return ReadCurve(file, ImportKind::FrequencyResponse, 1, count) && count > 1;
}

bool CImportEngine::ParseVoltColumns(ParseInput& input, const FormatRow& row) {
    // The second column is a voltage. 0 Hz lines are dropped, and a voltage
    // of 0 or below is a level as low as any the program shows rather than
    // minus infinity.
    VInputFile& file = input.file;
    const RowFilter levelFromVolts = [](Row& row) {
        row[1] = MagnitudeToDb(row[1]);
        return row[0] != 0.0;
    };
    kind_ = row.kind;
    int count = 0;
    if (!SkipLines(file, row.headerLines) ||
        !ReadColumns(file, CurveColumns(kind_, 0, kDegreesToRadians), count, levelFromVolts) ||
        count < 2) {
        return false;
    }
    if (count >= 4 && frequencies_[count - 2] > frequencies_[count - 1]) {
        ReverseCurve();
    }
    return true;
}

bool CImportEngine::ParseXop(ParseInput& input, const FormatRow& row) {
    VInputFile& file = input.file;
    kind_ = row.kind;
    int count = 0;
    return SkipLines(file, row.headerLines) &&
           ReadColumns(file,
                       {{&frequencies_, 1.0},
                        {&impedanceMagnitudes_, 1.0},
                        {&impedancePhases_, kDegreesToRadians},
                        {&levels_, 1.0},
                        {&phases_, kDegreesToRadians}},
                       count) &&
           count > 1;
}

bool CImportEngine::ParseCommentedColumns(ParseInput& input, const FormatRow&) {
    VInputFile& file = input.file;
    ImportKind headerKind = ImportKind::Nothing;
    std::string line;
    std::uint64_t dataStart = file.Tell();
    while (file.ReadLine(line)) {
        CleanLine(line);
        if (!IsCommentOrBlankLine(line)) {
            break;
        }
        const ImportKind kind = ColumnHeaderKind(line);
        headerKind = kind != ImportKind::Nothing ? kind : headerKind;
        dataStart = file.Tell();
    }
    if (headerKind == ImportKind::Nothing) {
        headerKind = input.impedanceByName ? ImportKind::Impedance : ImportKind::FrequencyResponse;
    }
    int count = 0;
    if (!file.Seek(dataStart) || !ReadCurve(file, headerKind, 0, count) || count < 2) {
        return false;
    }
    ReverseIfDescending();
    return true;
}

bool CImportEngine::ParseDelimitedColumns(ParseInput& input, const FormatRow&) {
    VInputFile& file = input.file;
    DelimitedHeader header;
    if (!ReadDelimitedHeader(file, header)) {
        return false;
    }
    levelColumns_ = LevelColumnNames(header);
    const std::optional<ChosenColumns> chosen = ChooseColumns(header, input.options.levelColumn);
    if (!chosen) {
        return false;
    }
    const bool impedance = chosen->kind == ImportKind::Impedance;
    VDoubleVec& magnitudes = impedance ? impedanceMagnitudes_ : levels_;
    VDoubleVec& phases = impedance ? impedancePhases_ : phases_;
    const LineParser parse = [&header, &chosen](std::string& line, Row& row) {
        const std::optional<DelimitedRow> values = ReadDelimitedRow(line, header, *chosen);
        if (values) {
            row = {values->frequency, values->magnitude, values->phase};
        }
        return values.has_value();
    };
    int count = 0;
    if (!ReadRows(file, CountLines(file, HoldsText),
                  {{&frequencies_, 1.0}, {&magnitudes, 1.0}, {&phases, kDegreesToRadians}}, parse,
                  count)) {
        return false;
    }
    SettlePhases(frequencies_, magnitudes, phases);
    if (frequencies_.GetSize() < 2) {
        return false;
    }
    kind_ = chosen->kind;
    levelColumn_ = impedance ? std::string() : header.names[chosen->magnitude];
    ReverseIfDescending();
    return true;
}

bool CImportEngine::ParseBinaryLevelRecords(ParseInput& input, const FormatRow& row) {
    VInputFile& file = input.file;
    const std::uint64_t records = file.Size() / kLevelRecordBytes;
    if (records > static_cast<std::uint64_t>(INT_MAX)) {
        return false;
    }
    const int n = static_cast<int>(records);
    if (!frequencies_.SetSize(n) || !levels_.SetSize(n) || !phases_.SetSize(n)) {
        return false;
    }
    std::array<std::uint8_t, kLevelRecordBytes> record{};
    for (int i = 0; i < n; ++i) {
        if (!file.ReadExact(record.data(), record.size())) {
            return false;
        }
        const double level = LoadF32(record.data());
        const double frequency = LoadF32(record.data() + 4);
        if (!std::isfinite(level) || !IsPositiveFinite(frequency) ||
            (i > 0 && frequency < frequencies_[i - 1])) {
            return false;
        }
        levels_[i] = level;
        frequencies_[i] = frequency;
    }
    kind_ = row.kind;
    return true;
}

bool CImportEngine::ParseBinaryTimeSeries(ParseInput& input, const FormatRow& row) {
    VInputFile& file = input.file;
    std::array<std::uint8_t, kTimeSeriesHeaderBytes> header{};
    if (!file.ReadExact(header.data(), header.size())) {
        return false;
    }
    const double intervalMs = LoadF32(header.data() + 6);
    const std::int32_t count = LoadI32(header.data() + 10);
    const double rate = 1000.0 / intervalMs;
    if (count < 1 || static_cast<std::uint64_t>(count) * 4 > file.Remaining() ||
        !IsPositiveFinite(intervalMs) || !IsPositiveFinite(rate) || !timeSamples_.SetSize(count)) {
        return false;
    }
    std::array<std::uint8_t, 4> sample{};
    for (double& value : timeSamples_) {
        if (!file.ReadExact(sample.data(), sample.size())) {
            return false;
        }
        value = LoadF32(sample.data());
    }
    sampleRate_ = rate;
    kind_ = row.kind;
    return true;
}

bool CImportEngine::ParseMlssa(ParseInput& input, const FormatRow&) {
    VInputFile& file = input.file;
    std::array<std::uint8_t, kMlssaHeaderBytes> header{};
    if (!file.ReadExact(header.data(), header.size())) {
        return false;
    }
    const double stepKhz = LoadF32(header.data() + 4);
    const std::int32_t n = LoadI32(header.data() + 8);
    const std::uint64_t pointBytes = static_cast<std::uint64_t>(n) * kMlssaPointBytes;
    if (n < 2 || pointBytes > file.Remaining() || !IsPositiveFinite(stepKhz)) {
        return false;
    }
    const std::string name = PathText(input.fileName.filename());
    const bool spl = input.owner.Ask("Is the MLSSA file \"" + name + "\" a SPL curve ? ",
                                     "Import Engine", IMessageBox::Buttons::YesNo,
                                     IMessageBox::Icon::Question) == IMessageBox::Answer::Yes;
    double scale = 1.0;
    if (!spl) {
        std::array<std::uint8_t, 2> scaleBytes{};
        if (!file.Seek(kMlssaHeaderBytes + pointBytes + kMlssaScaleOffset) ||
            !file.ReadExact(scaleBytes.data(), scaleBytes.size()) ||
            !file.Seek(kMlssaHeaderBytes)) {
            return false;
        }
        scale = LoadI16(scaleBytes.data());
    }
    kind_ = spl ? ImportKind::FrequencyResponse : ImportKind::Impedance;
    VDoubleVec& magnitudes = spl ? levels_ : impedanceMagnitudes_;
    VDoubleVec& phases = spl ? phases_ : impedancePhases_;
    if (!frequencies_.SetSize(n - 1) || !magnitudes.SetSize(n - 1) || !phases.SetSize(n - 1)) {
        return false;
    }
    std::array<std::uint8_t, kMlssaPointBytes> point{};
    for (int k = 0; k < n; ++k) {
        if (!file.ReadExact(point.data(), point.size())) {
            return false;
        }
        const std::complex<double> z(LoadF32(point.data()), LoadF32(point.data() + 4));
        if (!std::isfinite(z.real()) || !std::isfinite(z.imag())) {
            return false;
        }
        if (k == 0) {
            continue;
        }
        frequencies_[k - 1] = k * stepKhz * 1000.0;
        magnitudes[k - 1] = spl ? MagnitudeToDb(std::abs(z)) : scale * std::abs(z);
        phases[k - 1] = std::arg(z);
    }
    return true;
}

bool CImportEngine::ParseWave(ParseInput& input, const FormatRow& row) {
    VWaveReader reader;
    if (!reader.ReadHeader(input.file) || !reader.ReadSamples(input.file, timeSamples_)) {
        return false;
    }
    sampleRate_ = reader.SampleRate();
    kind_ = row.kind;
    return true;
}

} // namespace kv
