#pragma once

#include "math/VComplexVec.h"
#include "math/VDoubleVec.h"
#include "math/VFreqVec.h"
#include "model/CBand.h"
#include "model/CResponseEngine.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>

namespace kv {

class IMessageBox;

inline constexpr int kMaxBands = 3;
inline constexpr double kDesignSampleRate = 96000.0;

// One crossover design: up to three output bands and the sums over them. The
// main window owns exactly one for the whole run and reuses it for every New
// and Load.
class CConfiguration {
public:
    CConfiguration();
    virtual ~CConfiguration() = default;
    CConfiguration(const CConfiguration&) = delete;
    CConfiguration& operator=(const CConfiguration&) = delete;

    // An empty design (numBands 0) with default bands.
    void Reset();
    bool New(int bands, double fs);
    bool SetNumBands(int n);
    bool SetSampleRate(double fs);
    bool SetTargetLevel(double dB);
    // The title as the design keeps it: at most 255 bytes, cut at a
    // character boundary.
    void SetTitle(const std::string& text);

    // The shared delay memory left for one band: 2045 samples less the
    // delays of the other used bands.
    double GetMaxDelay(int bandIndex) const;

    // Recomputes the modified bands on the grid and, when any was, the sums
    // over the used bands; true when something was recomputed. A change of
    // grid, sample rate or PIR length recomputes every used band.
    bool Recalculate(const VFreqVec* grid, double pirLength);
    // Impulse and step response of a complex response on the grid of the
    // last recalculation.
    bool ComputeTimeResponse(const VComplexVec& response, VDoubleVec& impulse, VDoubleVec& step);
    bool BuildSpectrum(VComplexVec& spectrum, int log2Size, const VDoubleVec& grid,
                       const VDoubleVec& magnitudeDb, const VDoubleVec& phase);
    CResponseEngine& Engine() { return engine_; }
    const CResponseEngine& Engine() const { return engine_; }

    // Writes the design as a V205 project file. The previous file stays
    // untouched unless the whole new one reached the disk.
    bool Save(const std::filesystem::path& path, IMessageBox& messages);
    // Reads a project file of any version into this design; a corrupt file
    // leaves an empty design. The user is told why a load failed.
    bool Load(const std::filesystem::path& path, IMessageBox& messages);

    std::string title;
    std::string fileName;
    double sampleRate = kDesignSampleRate;
    std::int32_t bitDepth = 24;
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

    LoadResult LoadFrom(VPersistence& archive);
    bool LoadHeader(VPersistence& archive, int version);
    void ClearSums();
    void RecalculateSums();

    CResponseEngine engine_;
};

} // namespace kv
