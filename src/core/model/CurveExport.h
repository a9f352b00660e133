#pragma once

#include "math/VComplexVec.h"
#include "math/VDoubleVec.h"

#include <filesystem>
#include <string>

namespace kv {

class IMessageBox;

// One line of the curve export: frequency (4 decimals below 100 Hz, 3 below
// 1 kHz, 2 below 10 kHz, 1 above), level in dB and wrapped phase in degrees,
// two spaces apart, CR LF at the end.
std::string CurveExportLine(double frequency, const Complex& value);

// Writes a response as the text file "Freq dB Phase" that measurement and
// simulation programs read, one line per frequency. The previous file stays
// untouched unless the whole new one reached the disk. On failure the user
// is told "Failed saving the curve !".
bool ExportCurve(const std::filesystem::path& path, const VDoubleVec& frequencies,
                 const VComplexVec& response, IMessageBox& messages);

} // namespace kv
