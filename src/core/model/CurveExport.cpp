#include "model/CurveExport.h"

#include "archive/FileProblems.h"
#include "archive/VSafeFile.h"
#include "math/NumberFormat.h"
#include "math/ResponseCurves.h"
#include "ui/IMessageBox.h"

namespace kv {
namespace {

constexpr const char* kHeader = "Freq      dB         Phase\r\n";

int FrequencyDecimals(double frequency) {
    if (frequency < 100.0) {
        return 4;
    }
    if (frequency < 1000.0) {
        return 3;
    }
    return frequency < 10000.0 ? 2 : 1;
}

bool WriteCurve(VSafeFile& file, const VDoubleVec& frequencies, const VComplexVec& response) {
    if (!file.Write(std::string(kHeader))) {
        return false;
    }
    const int n = std::min(frequencies.GetSize(), response.GetSize());
    for (int i = 0; i < n; ++i) {
        if (!file.Write(CurveExportLine(frequencies[i], response[i]))) {
            return false;
        }
    }
    return file.Commit();
}

} // namespace

std::string CurveExportLine(double frequency, const Complex& value) {
    return FormatFixed(frequency, FrequencyDecimals(frequency)) + "  " +
           FormatFixed(MagnitudeToDb(Magnitude(value)), 2) + "  " +
           FormatFixed(Phase(value) * kRadiansToDegrees, 2) + "\r\n";
}

bool ExportCurve(const std::filesystem::path& path, const VDoubleVec& frequencies,
                 const VComplexVec& response, IMessageBox& messages) {
    VSafeFile file;
    if (!file.Open(path) || !WriteCurve(file, frequencies, response)) {
        messages.ShowError(
            WithReason("Failed saving the curve !", WhyNotWritten(path, file.Error())));
        return false;
    }
    return true;
}

} // namespace kv
