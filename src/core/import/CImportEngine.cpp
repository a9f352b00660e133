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
#include <charconv>
#include <climits>
#include <cmath>
#include <complex>
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
    format_ = DetectFormat(file, FileExtension(fileName), binary_);
    if (format_ == ImportFormat::Unknown) {
        return false;
    }
    // Only delimited text names its level columns.
    if (!options.levelColumn.empty() && format_ != ImportFormat::DelimitedColumns) {
        return false;
    }
    // A file that fails half-way leaves nothing that could pass for a result.
    if (!Parse(owner, file, fileName, options)) {
        ClearResult();
        return false;
    }
    return true;
}

bool CImportEngine::HasLevelColumn(std::string_view name) const {
    return std::any_of(levelColumns_.begin(), levelColumns_.end(),
                       [name](const std::string& column) { return EqualsNoCase(column, name); });
}

void CImportEngine::Clear() {
    format_ = ImportFormat::Unknown;
    binary_ = false;
    levelColumns_.clear();
    ClearResult();
}

void CImportEngine::ClearResult() {
    kind_ = ImportKind::Nothing;
    for (VDoubleVec* vector : {&frequencies_, &levels_, &phases_, &impedanceMagnitudes_,
                               &impedancePhases_, &timeSamples_}) {
        vector->SetSize(0);
    }
    sampleRate_ = 0.0;
    sensitivity_ = 0.0;
    levelColumn_.clear();
}

bool CImportEngine::Parse(IMessageBox& owner, VInputFile& file,
                          const std::filesystem::path& fileName, const ImportOptions& options) {
    switch (format_) {
    case ImportFormat::BinaryLevelRecords:
        return ParseBinaryLevelRecords(file);
    case ImportFormat::BinaryTimeSeries:
        return ParseBinaryTimeSeries(file);
    case ImportFormat::Mlssa:
        return ParseMlssa(owner, file, fileName);
    case ImportFormat::Wav:
        return ParseWave(file);
    default:
        return ParseText(file, FileExtension(fileName), options);
    }
}

bool CImportEngine::ParseText(VInputFile& file, const std::string& extension,
                              const ImportOptions& options) {
    // Every measurement program writes impedance into .zma files; layouts
    // that do not state their unit take it from there.
    const bool impedanceByName = EqualsNoCase(extension, "zma");
    switch (format_) {
    case ImportFormat::CompensationFile:
        return ParseCompensationFile(file);
    case ImportFormat::MicrophoneCorrection:
        return ParseMicrophoneCorrection(file);
    case ImportFormat::MicrophoneDataFormat:
        return ParseMicrophoneDataFormat(file);
    case ImportFormat::PlainColumns:
        return ParseCurveColumns(
            file, 0, impedanceByName ? ImportKind::Impedance : ImportKind::FrequencyResponse);
    case ImportFormat::TitledSplColumns:
        return ParseCurveColumns(file, 1, ImportKind::FrequencyResponse);
    case ImportFormat::SplUnderTwoTitles:
        return ParseCurveColumns(file, 2, ImportKind::FrequencyResponse);
    case ImportFormat::TitledImpedanceColumns:
        return ParseCurveColumns(file, 1, ImportKind::Impedance);
    case ImportFormat::ImpedanceUnderTwoTitles:
        return ParseCurveColumns(file, 2, ImportKind::Impedance);
    case ImportFormat::VoltageTimeSeries:
        return ParseTimeSeries(file, 1.0);
    case ImportFormat::PressureTimeSeries:
        return ParseTimeSeries(file, kPascalToTwentyMicropascal);
    case ImportFormat::StarredHeaderText:
        return ParseStarredHeaderText(file);
    case ImportFormat::Idf:
        return ParseIdf(file);
    case ImportFormat::TdsTx2:
        return ParseTds(file);
    case ImportFormat::VoltColumns:
        return ParseVoltColumns(file);
    case ImportFormat::Xop:
        return ParseXop(file);
    case ImportFormat::CommentedColumns:
        return ParseCommentedColumns(file, impedanceByName);
    case ImportFormat::DelimitedColumns:
        return ParseDelimitedColumns(file, options.levelColumn);
    default:
        return false;
    }
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
    for (VDoubleVec* vector :
         {&frequencies_, &levels_, &phases_, &impedanceMagnitudes_, &impedancePhases_}) {
        vector->Reverse(0, -1);
    }
}

void CImportEngine::ReverseIfDescending() {
    const int n = frequencies_.GetSize();
    if (n >= 2 && frequencies_[0] > frequencies_[n - 1]) {
        ReverseCurve();
    }
}

bool CImportEngine::ParseCurveColumns(VInputFile& file, int headerLines, ImportKind kind) {
    int count = 0;
    if (!SkipLines(file, headerLines) || !ReadCurve(file, kind, 0, count)) {
        return false;
    }
    ReverseIfDescending();
    return true;
}

bool CImportEngine::ParseCompensationFile(VInputFile& file) {
    std::vector<std::string> header;
    if (!ReadLines(file, 4, header)) {
        return false;
    }
    const std::string version = CleanNormalized(header[0]);
    kind_ = ImportKind::FrequencyResponse;
    int count = 0;
    if (StartsWithNoCase(version, "Lsp-LAB:Compensation File v0.10")) {
        return ReadColumns(file, {{&frequencies_, 1.0}, {&levels_, 1.0}}, count) &&
               phases_.SetSize(count);
    }
    const bool radians = StartsWithNoCase(version, "Lsp-LAB:Compensation File v0.11") ||
                         StartsWithNoCase(version, "Lsp-LAB:Compensation File v0.12");
    return ReadColumns(file, CurveColumns(kind_, 0, radians ? 1.0 : kDegreesToRadians), count);
}

bool CImportEngine::ParseMicrophoneCorrection(VInputFile& file) {
    std::vector<std::string> header;
    int count = 0;
    if (!ReadLines(file, 1, header) || !ReadCurve(file, ImportKind::FrequencyResponse, 0, count)) {
        return false;
    }
    sensitivity_ = ValueAfterEquals(header[0]) * kMillivoltsPerVolt;
    return true;
}

bool CImportEngine::ParseMicrophoneDataFormat(VInputFile& file) {
    std::vector<std::string> header;
    int count = 0;
    if (!ReadLines(file, 9, header) || !ReadCurve(file, ImportKind::FrequencyResponse, 1, count)) {
        return false;
    }
    const double referenceLevel = ValueAfterEquals(header[5]);
    const double sensitivityLevel = ValueAfterEquals(header[6]);
    const double sensitivity =
        DbToGain(sensitivityLevel) / (kReferencePressure * std::pow(10.0, referenceLevel / 20.0));
    sensitivity_ = std::isfinite(sensitivity) ? sensitivity : 0.0;
    return true;
}

bool CImportEngine::ParseTimeSeries(VInputFile& file, double scale) {
    VDoubleVec times;
    int count = 0;
    if (!SkipLines(file, 1) || !ReadColumns(file, {{&times, 1.0}, {&timeSamples_, scale}}, count) ||
        count < 2) {
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
    kind_ = ImportKind::TimeResponse;
    return true;
}

bool CImportEngine::ParseStarredHeaderText(VInputFile& file) {
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

bool CImportEngine::ParseIdf(VInputFile& file) {
    std::vector<std::string> header;
    if (!ReadLines(file, 7, header)) {
        return false;
    }
    std::string kindLine = header[2];
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

bool CImportEngine::ParseTds(VInputFile& file) {
    std::vector<std::string> header;
    if (!ReadLines(file, 5, header) ||
        !StartsWithNoCase(CleanNormalized(header[2]), "# FREQ MAGNITUDE PHASE")) {
        return false;
    }
    int count = 0;
    return ReadCurve(file, ImportKind::FrequencyResponse, 1, count) && count > 1;
}

bool CImportEngine::ParseVoltColumns(VInputFile& file) {
    // Only "Hz V deg" reaches this layout ("Hz dBV deg" is taken as titled
    // dB columns first), so the second column is always a voltage. 0 Hz
    // lines are dropped, and a voltage of 0 or below is a level as low as any
    // the program shows rather than minus infinity.
    const RowFilter levelFromVolts = [](Row& row) {
        row[1] = MagnitudeToDb(row[1]);
        return row[0] != 0.0;
    };
    kind_ = ImportKind::FrequencyResponse;
    int count = 0;
    if (!SkipLines(file, 1) ||
        !ReadColumns(file, CurveColumns(kind_, 0, kDegreesToRadians), count, levelFromVolts) ||
        count < 2) {
        return false;
    }
    if (count >= 4 && frequencies_[count - 2] > frequencies_[count - 1]) {
        ReverseCurve();
    }
    return true;
}

bool CImportEngine::ParseXop(VInputFile& file) {
    kind_ = ImportKind::Both;
    int count = 0;
    return SkipLines(file, 1) &&
           ReadColumns(file,
                       {{&frequencies_, 1.0},
                        {&impedanceMagnitudes_, 1.0},
                        {&impedancePhases_, kDegreesToRadians},
                        {&levels_, 1.0},
                        {&phases_, kDegreesToRadians}},
                       count) &&
           count > 1;
}

bool CImportEngine::ParseCommentedColumns(VInputFile& file, bool impedanceByName) {
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
        headerKind = impedanceByName ? ImportKind::Impedance : ImportKind::FrequencyResponse;
    }
    int count = 0;
    if (!file.Seek(dataStart) || !ReadCurve(file, headerKind, 0, count) || count < 2) {
        return false;
    }
    ReverseIfDescending();
    return true;
}

bool CImportEngine::ParseDelimitedColumns(VInputFile& file, std::string_view wantedLevel) {
    DelimitedHeader header;
    if (!ReadDelimitedHeader(file, header)) {
        return false;
    }
    levelColumns_ = LevelColumnNames(header);
    const std::optional<ChosenColumns> chosen = ChooseColumns(header, wantedLevel);
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

bool CImportEngine::ParseBinaryLevelRecords(VInputFile& file) {
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
    kind_ = ImportKind::FrequencyResponse;
    return true;
}

bool CImportEngine::ParseBinaryTimeSeries(VInputFile& file) {
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
    kind_ = ImportKind::TimeResponse;
    return true;
}

bool CImportEngine::ParseMlssa(IMessageBox& owner, VInputFile& file,
                               const std::filesystem::path& fileName) {
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
    const std::string name = PathText(fileName.filename());
    const bool spl = owner.Ask("Is the MLSSA file \"" + name + "\" a SPL curve ? ", "Import Engine",
                               IMessageBox::Buttons::YesNo,
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

bool CImportEngine::ParseWave(VInputFile& file) {
    VWaveReader reader;
    if (!reader.ReadHeader(file) || !reader.ReadSamples(file, timeSamples_)) {
        return false;
    }
    sampleRate_ = reader.SampleRate();
    kind_ = ImportKind::TimeResponse;
    return true;
}

} // namespace kv
