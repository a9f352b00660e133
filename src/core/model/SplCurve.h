#pragma once

#include "model/ImpulseGate.h"
#include "model/SplPhase.h"

#include <filesystem>
#include <string>

namespace kv {

class BandSettings;
class CImportEngine;
class IMessageBox;

// What the user is told when a file gives a band no curve.
inline constexpr const char* kSplImportFailed = "Failed to import the SPL curve!";

// The message for a file that gave a band no curve: kSplImportFailed and,
// under it, what the file is and why it cannot be a driver's response
// (an impedance curve, a picture, no numbers, a gate that found nothing).
std::string SplImportFailure(const CImportEngine& imported, const std::filesystem::path& fileName,
                             const GateReport& report);

// Imports a measurement file as the band's SPL curve and smooths it with the
// band's setting. A frequency response is taken, or a time response through
// the default gate, and only as a curve the response computation can use: points at or below 0 Hz
// are dropped and the rest put in ascending order of frequency. A file that gives no such curve of
// at least two points leaves the band as it was and gives false; the caller tells the user. The
// import's one question goes to messages.
bool LoadSplCurve(BandSettings& band, const std::filesystem::path& fileName, IMessageBox& messages);
// The same for a file the engine has already imported. A time response (a
// WAV file, a time series) becomes a curve through the gate (see
// ImpulseGate.h); report, when given, receives what the gate did with it.
// The curve's phase is made as phase asks (SplPhase.h): by default the
// file's own, or the minimum phase of a curve that has none; phaseReport,
// when given, receives what it became when the curve was loaded.
bool LoadSplCurve(BandSettings& band, const CImportEngine& imported,
                  const std::filesystem::path& fileName, const ImpulseGate& gate = {},
                  GateReport* report = nullptr, const SplPhase& phase = {},
                  PhaseReport* phaseReport = nullptr);
// The same with a gating that the caller keeps: the SPL Curve dialog calls
// this with its engine and gating whenever the user changes the gate or the
// phase.
bool LoadSplCurve(BandSettings& band, const CImportEngine& imported,
                  const std::filesystem::path& fileName, ImpulseGating& gating,
                  const ImpulseGate& gate, GateReport* report = nullptr, const SplPhase& phase = {},
                  PhaseReport* phaseReport = nullptr);

} // namespace kv
