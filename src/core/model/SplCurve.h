#pragma once

#include <filesystem>

namespace kv {

class CBand;
class CImportEngine;
class IMessageBox;

// Imports a measurement file as the band's SPL curve and smooths it with the
// band's setting. Only a frequency response is taken, and only as a curve the
// response computation can use: points at or below 0 Hz are dropped and the
// rest put in ascending order of frequency. A file that gives no such curve
// of at least two points leaves the band as it was and gives false; the
// caller tells the user. The import's one question goes to messages.
bool LoadSplCurve(CBand& band, const std::filesystem::path& fileName, IMessageBox& messages);
// The same for a file the engine has already imported.
bool LoadSplCurve(CBand& band, const CImportEngine& imported,
                  const std::filesystem::path& fileName);

// Sets the band's smoothing (1..48) and rebuilds splSmoothed from splRaw;
// false, and nothing changes, for a value outside that range. A curve too
// sparse for the requested smoothing is taken as it is.
bool SetSmoothing(CBand& band, int n);

// splSmoothed rebuilt from splRaw without smoothing, one value per entry of
// splFreqs.
void RebuildUnsmoothedCurve(CBand& band);

} // namespace kv
