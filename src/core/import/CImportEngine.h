#pragma once

#include "import/ImportFormat.h"
#include "math/VDoubleVec.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kv {

class IMessageBox;
class VInputFile;

// What the caller asks of one import.
struct ImportOptions {
    // The header name of the level column to read from delimited text that
    // has several (compared without regard to case); empty for the first. A
    // file without a level column of this name fails.
    std::string levelColumn;
};

// Reads one measurement file of any layout it knows into numeric vectors: a
// frequency response (Hz, dB, radians), an impedance curve (Hz, ohm,
// radians), both, or a sampled time response. An engine serves one import;
// the caller copies what it needs before the engine goes.
//
// A file that cannot be read fails with false and no message: the caller
// knows what the import was for and says so, and Reason() tells why. The one
// question it asks (is an MLSSA file an SPL curve?) goes to the owner's
// message box.
//
// The layouts are one table: each row names its format, the rules that
// recognise it (tried stage by stage, and within a stage in the table's
// order), its parser and what the parser needs (header lines, kind, scale).
//
// Delimited text may hold several level columns (on- and off-axis curves):
// the first is read unless ImportOptions names another. A front end that
// lets the user choose imports once, lists LevelColumns() with LevelColumn()
// selected, and imports again with the chosen name in ImportOptions.
class CImportEngine {
public:
    CImportEngine() = default;
    CImportEngine(const CImportEngine&) = delete;
    CImportEngine& operator=(const CImportEngine&) = delete;

    bool Import(IMessageBox& owner, const std::filesystem::path& fileName,
                const ImportOptions& options = {});
    // The same for content already open; fileName gives the extension and
    // the name the question shows.
    bool Import(IMessageBox& owner, VInputFile& file, const std::filesystem::path& fileName,
                const ImportOptions& options = {});

    // What a file's first bytes and lines make of it, without reading it.
    static ImportDetection Detect(VInputFile& file, const std::string& extension);

    ImportFormat Format() const { return format_; }
    // Why the file was read as it was ("titled SPL columns: its first line
    // starts with "Freq dB""), or why it could not be read ("it is a PNG
    // picture"); empty when the file could not be opened.
    const std::string& Reason() const { return reason_; }
    ImportKind Kind() const { return kind_; }
    bool Binary() const { return binary_; }
    const VDoubleVec& Frequencies() const { return frequencies_; }
    const VDoubleVec& Levels() const { return levels_; }
    const VDoubleVec& Phases() const { return phases_; }
    // What the phase column of a frequency response held. For a group
    // delay, GroupDelays() has it in seconds and Phases() is 0; a time
    // response has the phase its transform gives.
    PhaseContent PhaseHeld() const { return phaseHeld_; }
    const VDoubleVec& GroupDelays() const { return groupDelays_; }
    const VDoubleVec& ImpedanceMagnitudes() const { return impedanceMagnitudes_; }
    const VDoubleVec& ImpedancePhases() const { return impedancePhases_; }
    const VDoubleVec& TimeSamples() const { return timeSamples_; }
    double SampleRate() const { return sampleRate_; }
    // Microphone files only; 0 otherwise.
    double Sensitivity() const { return sensitivity_; }
    // The header names of the file's level columns in their order (delimited
    // text only, else none); kept when the import fails, so that a caller
    // can say which names the file offers.
    const std::vector<std::string>& LevelColumns() const { return levelColumns_; }
    // The name of the level column read; empty when none was.
    const std::string& LevelColumn() const { return levelColumn_; }
    // Whether LevelColumns() holds the name as ImportOptions compares it.
    bool HasLevelColumn(std::string_view name) const;

private:
    static constexpr int kMaxColumns = 5;
    using Row = std::array<double, kMaxColumns>;
    // May change a row's values; false skips the line.
    using RowFilter = std::function<bool(Row&)>;
    // Turns a line into a row, one value per column; false skips the line.
    using LineParser = std::function<bool(std::string& line, Row& row)>;

    // One column of a data line: where its values go (nowhere: the column is
    // passed over) and the factor they are multiplied by.
    struct Column {
        VDoubleVec* target;
        double scale;
    };

    // What a parser reads from.
    struct ParseInput {
        IMessageBox& owner;
        VInputFile& file;
        const std::filesystem::path& fileName;
        const ImportOptions& options;
        // Every measurement program writes impedance into .zma files;
        // layouts that do not state their unit take it from there.
        bool impedanceByName;
    };
    struct FormatRow;
    using Parser = bool (CImportEngine::*)(ParseInput& input, const FormatRow& row);

    // How a layout is recognised: the stages in the order they are tried.
    enum class Stage {
        BinaryMagic,
        BinaryExtension,
        BinaryAny,
        FirstLineEarly,
        Sensitivity,
        FirstLine,
        TwoNumbers,
        SecondLine,
        Extension,
        CommentedColumns,
        DelimitedHeader,
    };
    struct Recognition {
        Stage stage;
        // A line's prefix or an extension.
        std::string_view text = {};
        std::uint32_t magic = 0;
    };

    // One layout: its format code and name, the rules that recognise it,
    // its parser, and its lines before the data, the kind of curve its
    // columns hold and the factor its samples take.
    struct FormatRow {
        ImportFormat format;
        const char* name;
        std::vector<Recognition> recognitions;
        Parser parse;
        int headerLines = 0;
        ImportKind kind = ImportKind::Nothing;
        double scale = 1.0;
    };
    static const std::vector<FormatRow>& Formats();
    static const FormatRow* RowOf(ImportFormat format);
    // The row whose rule of the stage fits first, and the rule.
    struct Match {
        const FormatRow* row = nullptr;
        const Recognition* rule = nullptr;
    };
    using RuleTest = std::function<bool(const Recognition& rule)>;
    static Match FirstMatch(Stage stage, const RuleTest& fits);
    static ImportDetection DetectBinary(VInputFile& file, const std::string& extension);
    static ImportDetection DetectText(VInputFile& file, const std::string& extension);
    static ImportDetection Recognised(const Match& match, const std::string& extension,
                                      bool binary);
    static ImportDetection Unrecognised(VInputFile& file, std::string_view firstLine,
                                        const char* why);

    void Clear();
    void ClearResult();

    bool ParseCompensationFile(ParseInput& input, const FormatRow& row);
    bool ParseMicrophoneCorrection(ParseInput& input, const FormatRow& row);
    bool ParseMicrophoneDataFormat(ParseInput& input, const FormatRow& row);
    bool ParseCurveColumns(ParseInput& input, const FormatRow& row);
    bool ParsePlainColumns(ParseInput& input, const FormatRow& row);
    bool ParseTimeSeries(ParseInput& input, const FormatRow& row);
    bool ParseStarredHeaderText(ParseInput& input, const FormatRow& row);
    bool ParseIdf(ParseInput& input, const FormatRow& row);
    bool ParseTds(ParseInput& input, const FormatRow& row);
    bool ParseVoltColumns(ParseInput& input, const FormatRow& row);
    bool ParseXop(ParseInput& input, const FormatRow& row);
    bool ParseCommentedColumns(ParseInput& input, const FormatRow& row);
    bool ParseDelimitedColumns(ParseInput& input, const FormatRow& row);
    bool ParseBinaryLevelRecords(ParseInput& input, const FormatRow& row);
    bool ParseBinaryTimeSeries(ParseInput& input, const FormatRow& row);
    bool ParseMlssa(ParseInput& input, const FormatRow& row);
    bool ParseWave(ParseInput& input, const FormatRow& row);

    // Reads the numeric lines from the file position on into the columns'
    // targets; count is the number of points stored. False when the vectors
    // cannot be allocated.
    bool ReadColumns(VInputFile& file, const std::vector<Column>& columns, int& count,
                     const RowFilter& filter = {});
    // The same for the rows that parse makes of the next lines, of which
    // there are at most lines.
    bool ReadRows(VInputFile& file, std::uint64_t lines, const std::vector<Column>& columns,
                  const LineParser& parse, int& count);
    bool ReadCurve(VInputFile& file, ImportKind kind, int ignoredColumns, int& count);
    std::vector<Column> CurveColumns(ImportKind kind, int ignoredColumns, double phaseScale);
    void ReverseIfDescending();
    void ReverseCurve();
    // Whether the text before the data says the third column is a group
    // delay; the file position is kept.
    static bool StatesGroupDelay(VInputFile& file);
    // Sets PhaseHeld() from what the parser read.
    void SettlePhaseContent();

    ImportFormat format_ = ImportFormat::Unknown;
    ImportKind kind_ = ImportKind::Nothing;
    bool binary_ = false;
    VDoubleVec frequencies_;
    VDoubleVec levels_;
    VDoubleVec phases_;
    VDoubleVec impedanceMagnitudes_;
    VDoubleVec impedancePhases_;
    VDoubleVec timeSamples_;
    VDoubleVec groupDelays_;
    // Set before parsing: the phase column holds a group delay.
    bool groupDelayColumn_ = false;
    PhaseContent phaseHeld_ = PhaseContent::None;
    double sampleRate_ = 0.0;
    double sensitivity_ = 0.0;
    std::vector<std::string> levelColumns_;
    std::string levelColumn_;
    std::string reason_;
};

} // namespace kv
