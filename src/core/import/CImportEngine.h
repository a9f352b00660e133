#pragma once

#include "import/ImportFormat.h"
#include "math/VDoubleVec.h"

#include <array>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace kv {

class IMessageBox;
class VInputFile;

// Reads one measurement file of any layout it knows into numeric vectors: a
// frequency response (Hz, dB, radians), an impedance curve (Hz, ohm,
// radians), both, or a sampled time response. An engine serves one import;
// the caller copies what it needs before the engine goes.
//
// A file that cannot be read fails with false and no message: the caller
// knows what the import was for and says so. The one question it asks (is
// an MLSSA file an SPL curve?) goes to the owner's message box.
class CImportEngine {
public:
    CImportEngine() = default;
    CImportEngine(const CImportEngine&) = delete;
    CImportEngine& operator=(const CImportEngine&) = delete;

    bool Import(IMessageBox& owner, const std::filesystem::path& fileName);
    // The same for content already open; fileName gives the extension and
    // the name the question shows.
    bool Import(IMessageBox& owner, VInputFile& file, const std::filesystem::path& fileName);

    ImportFormat Format() const { return format_; }
    ImportKind Kind() const { return kind_; }
    bool Binary() const { return binary_; }
    const VDoubleVec& Frequencies() const { return frequencies_; }
    const VDoubleVec& Levels() const { return levels_; }
    const VDoubleVec& Phases() const { return phases_; }
    const VDoubleVec& ImpedanceMagnitudes() const { return impedanceMagnitudes_; }
    const VDoubleVec& ImpedancePhases() const { return impedancePhases_; }
    const VDoubleVec& TimeSamples() const { return timeSamples_; }
    double SampleRate() const { return sampleRate_; }
    // Microphone files only; 0 otherwise.
    double Sensitivity() const { return sensitivity_; }

private:
    static constexpr int kMaxColumns = 5;
    using Row = std::array<double, kMaxColumns>;
    // May change a row's values; false skips the line.
    using RowFilter = std::function<bool(Row&)>;

    // One column of a data line: where its values go (nowhere: the column is
    // passed over) and the factor they are multiplied by.
    struct Column {
        VDoubleVec* target;
        double scale;
    };

    void Clear();
    void ClearResult();
    bool Parse(IMessageBox& owner, VInputFile& file, const std::filesystem::path& fileName);
    bool ParseText(VInputFile& file, const std::string& extension);

    bool ParseCompensationFile(VInputFile& file);
    bool ParseMicrophoneCorrection(VInputFile& file);
    bool ParseMicrophoneDataFormat(VInputFile& file);
    bool ParseCurveColumns(VInputFile& file, int headerLines, ImportKind kind);
    bool ParseTimeSeries(VInputFile& file, double scale);
    bool ParseStarredHeaderText(VInputFile& file);
    bool ParseIdf(VInputFile& file);
    bool ParseTds(VInputFile& file);
    bool ParseVoltColumns(VInputFile& file);
    bool ParseXop(VInputFile& file);
    bool ParseCommentedColumns(VInputFile& file, bool impedanceByName);

    bool ParseBinaryLevelRecords(VInputFile& file);
    bool ParseBinaryTimeSeries(VInputFile& file);
    bool ParseMlssa(IMessageBox& owner, VInputFile& file, const std::filesystem::path& fileName);
    bool ParseWave(VInputFile& file);

    // Reads the numeric lines from the file position on into the columns'
    // targets; count is the number of points stored. False when the vectors
    // cannot be allocated.
    bool ReadColumns(VInputFile& file, const std::vector<Column>& columns, int& count,
                     const RowFilter& filter = {});
    bool ReadCurve(VInputFile& file, ImportKind kind, int ignoredColumns, int& count);
    std::vector<Column> CurveColumns(ImportKind kind, int ignoredColumns, double phaseScale);
    void ReverseIfDescending();
    void ReverseCurve();

    ImportFormat format_ = ImportFormat::Unknown;
    ImportKind kind_ = ImportKind::Nothing;
    bool binary_ = false;
    VDoubleVec frequencies_;
    VDoubleVec levels_;
    VDoubleVec phases_;
    VDoubleVec impedanceMagnitudes_;
    VDoubleVec impedancePhases_;
    VDoubleVec timeSamples_;
    double sampleRate_ = 0.0;
    double sensitivity_ = 0.0;
};

} // namespace kv
