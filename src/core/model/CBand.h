#pragma once

#include "filters/BiquadCalc.h"
#include "math/VComplexVec.h"
#include "math/VDoubleVec.h"
#include "model/BandSettings.h"

#include <string>

namespace kv {

class CResponseEngine;

// One output band: its settings and the responses computed from them.
class CBand : public BandSettings {
public:
    CBand() = default;
    CBand(const CBand&) = delete;
    CBand& operator=(const CBand&) = delete;

    // Every setting back to its default, every response emptied, modified
    // cleared; the name and the sample rate stay.
    void Init();

    // Puts settings in place of the band's own (a dialog's Cancel, an undo
    // step); the band counts as modified when they differ.
    void SetSettings(const BandSettings& settings);
    const BandSettings& Settings() const { return *this; }

    // Recomputes the band's responses on the grid with the engine (prepared
    // for that grid) when the band is modified, and clears the flag; false
    // when it was not modified.
    bool Recalculate(CResponseEngine& engine, const VDoubleVec& grid);

    // Empties every computed response, so the next recalculation rebuilds
    // them all.
    void ClearResponses();

    // The display name ("Output 2 (MF)") that the design's topology gave the
    // band; kept as it was while the design has no bands.
    const std::string& GetName() const { return name; }

    VComplexVec filterResponse;
    // The filter response as the TAS3103 plays it (ComputeHardwareResponse),
    // one value per grid point, computed with filterResponse from the same
    // sections, even for a design the hardware check refuses; it has no time
    // responses. MaxHardwareDeviationDb compares the two.
    VComplexVec hardwareResponse;
    VComplexVec splResponse;
    VComplexVec targetResponse;
    VComplexVec totalResponse;
    VDoubleVec filterImpulse;
    VDoubleVec filterStep;
    VDoubleVec splImpulse;
    VDoubleVec splStep;
    VDoubleVec targetImpulse;
    VDoubleVec targetStep;
    VDoubleVec totalImpulse;
    VDoubleVec totalStep;
    std::string name;

private:
    void ComputeFilterResponse(const CResponseEngine& engine, const VDoubleVec& grid,
                               VComplexVec& response, BiquadList& sections) const;
    void ComputeSplResponse(const CResponseEngine& engine, const VDoubleVec& grid,
                            VComplexVec& response) const;
    void ComputeTargetResponse(const CResponseEngine& engine, VComplexVec& response) const;
};

} // namespace kv
