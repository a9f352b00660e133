#pragma once

#include "math/VComplexVec.h"
#include "math/VDoubleVec.h"
#include "math/VFreqVec.h"
#include "model/CBand.h"
#include "model/CResponseEngine.h"
#include "unit/UnitLimits.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace kv {

class IMessageBox;

// What a design is set to, apart from its file: the title, the input and
// target levels and every band's settings. An undo step is a pair of them.
struct DesignSettings {
    std::string title;
    double inputGain = 0.0;
    double targetLevel = 0.0;
    std::array<BandSettings, kMaxBands> bands;

    bool operator==(const DesignSettings&) const = default;
};

// One crossover design: up to three output bands and the sums over them. The
// main window owns exactly one for the whole run and reuses it for every New
// and Load.
class CConfiguration {
public:
    CConfiguration();
    CConfiguration(const CConfiguration&) = delete;
    CConfiguration& operator=(const CConfiguration&) = delete;

    // An empty design (numBands 0) with default bands.
    void Reset();
    // A fresh design of 1 to 3 bands at one of the sample rates
    // SetSampleRate takes; false when either is refused.
    bool New(int bands, double fs);
    // 1 to 3 bands, every band back to its defaults.
    bool SetNumBands(int n);
    // Standard rates from 8 kHz to 96 kHz, rounded to whole hertz first.
    bool SetSampleRate(double fs);
    // The level in dB that filter and target curves are drawn at: -100 to
    // +200.
    bool SetTargetLevel(double dB);
    // The title as the design keeps it: at most 255 bytes, cut at a
    // character boundary.
    void SetTitle(const std::string& text);

    // The shared delay memory left for one band, in seconds: 2045 samples
    // less the delays of the other used bands.
    double GetMaxDelay(int bandIndex) const;
    // In seconds: 0, GetMaxDelay, and one sample.
    void GetDelayRange(int bandIndex, double& min, double& max, double& step) const;
    // Sets a band's delay within what the other bands leave it; false for a
    // band the design does not have or a delay out of that range.
    bool SetDelay(int bandIndex, double seconds);

    // The design's settings, and putting them back: only the bands whose
    // settings differ are recomputed by the next recalculation.
    DesignSettings Settings() const;
    void SetSettings(const DesignSettings& settings);

    // Recomputes the modified bands on the grid, with time responses
    // pirLength seconds long, and, when any was, the sums over the used
    // bands; true when something was recomputed. A change of
    // grid, sample rate or PIR length recomputes every used band.
    bool Recalculate(const VFreqVec* grid, double pirLength);
    // What the bands compute their responses with.
    CResponseEngine& Engine() { return engine_; }

    // Writes the design as a V205 project file. The previous file stays
    // untouched unless the whole new one reached the disk; the user is told
    // why a save failed.
    bool Save(const std::filesystem::path& path, IMessageBox& messages);
    // Reads a project file of any version into this design; a corrupt file
    // leaves an empty design. The user is told why a load failed.
    bool Load(const std::filesystem::path& path, IMessageBox& messages);

    // The design as a project file holds it, in memory: what Restore puts
    // back exactly (undo, recovery after a crash).
    std::vector<std::uint8_t> Snapshot();
    // Puts back a snapshot, or the bytes of a project file; false, and an
    // empty design, for bytes that are not one.
    bool Restore(const std::vector<std::uint8_t>& bytes);
    // True when the bytes load as a design: what every file written is
    // checked with before it replaces another.
    static bool IsLoadable(const std::vector<std::uint8_t>& bytes);

    std::string title;
    std::string fileName;
    double sampleRate = kDesignSampleRate;
    std::int32_t bitDepth = kDesignBitDepth;
    double inputGain = 0.0;
    std::array<CBand, kMaxBands> bands;
    std::int32_t numBands = 0;
    double targetLevel = 0.0;
    double pirLength = 0.01;
    const VFreqVec* freqGrid = nullptr;
    VComplexVec sumFilterResponse;
    VComplexVec sumTargetResponse;
    VComplexVec sumTotalResponse;
    VDoubleVec sumFilterImpulse;
    VDoubleVec sumFilterStep;
    VDoubleVec sumTargetImpulse;
    VDoubleVec sumTargetStep;
    VDoubleVec sumTotalImpulse;
    VDoubleVec sumTotalStep;

private:
    enum class LoadResult { Loaded, Unreadable, UnknownMagic, Corrupt };

    bool WriteTo(VPersistence& archive);
    // What every load ends with: no sums, the unit's sample rate.
    void FinishLoad();
    LoadResult LoadFrom(VPersistence& archive);
    bool LoadHeader(VPersistence& archive, int version);
    // Gives the used bands the names of the topology.
    void NameBands();
    // Gives every band the design's sample rate.
    void ShareSampleRate();
    void ClearSums();
    void RecalculateSums();

    CResponseEngine engine_;
};

} // namespace kv
