#pragma once

#include "filters/BiquadCalc.h"
#include "filters/FilterSettings.h"
#include "math/VComplexVec.h"
#include "math/VDoubleVec.h"
#include "unit/UnitLimits.h"

#include <array>
#include <cstdint>
#include <string>

namespace kv {

class CConfiguration;
class VPersistence;

// The ranges of the single-section filters (notches, all-pass, shelves,
// equalisers); their highest frequency is CBand::MaxFilterFrequency.
inline constexpr double kMinFilterFrequency = 1.0;
inline constexpr double kMinFilterQ = 0.001;
inline constexpr double kMaxFilterQ = 25.0;
inline constexpr double kMaxEqGainDb = 20.0;
inline constexpr int kMinSmoothing = 1;
inline constexpr int kMaxSmoothing = 48;
// Field sizes of the stored texts, terminating 0 included.
inline constexpr int kTextFieldSize = 256;
inline constexpr int kPathFieldSize = 260;

// The second-order sections (and a first-order one for an odd order) a
// crossover filter of the given order takes.
int BiquadsForOrder(int order);

// The corner frequency in Hz of a bass or treble corner selection (1 to 5;
// others are taken as the nearest) at a sample rate.
double ToneCornerHz(bool treble, int selection, double sampleRate);

// One output band: a fixed chain of filter slots with their settings, the
// imported SPL curve and the computed responses.
//
// The settings are plain fields so that the calculators, the image builder
// and the views can read them; every change from a dialog goes through the
// validating setters, which refuse out-of-range values (and anything that
// would overrun the band's 16 biquads), leave the band unchanged on refusal
// and mark it modified when a value really changed.
class CBand {
public:
    CBand() { Init(); }
    CBand(const CBand&) = delete;
    CBand& operator=(const CBand&) = delete;

    // Every field back to its default, every vector emptied, modified
    // cleared; owner and index stay.
    void Init();

    // Every setter returns false, and changes nothing, for a value it
    // refuses.

    // 0 input A, 1 input B, 2 both.
    bool SetInput(int route);
    // -122 to +24 dB.
    bool SetGain(double dB);
    bool SetMuted(bool muted);
    bool SetReversedPhase(bool reversed);
    // Seconds within GetDelayRange, stored as a whole number of samples.
    bool SetDelay(double seconds);
    // In seconds: 0, what the shared delay memory leaves this band, and one
    // sample.
    void GetDelayRange(double& min, double& max, double& step) const;

    // Corner selections 1 to 5, gains -18 to +18 dB.
    bool SetBassCorner(int selection);
    bool SetTrebleCorner(int selection);
    bool SetBassGain(double dB);
    bool SetTrebleGain(double dB);
    // The corner frequencies in Hz of the selected corners at the band's
    // sample rate.
    void GetBassTrebleCorners(double& bassHz, double& trebleHz) const;

    // The range and step in Hz of a crossover frequency: 0.1 Hz to just
    // under half the sample rate.
    void GetFrequencyLimits(double& min, double& max, double& step) const;
    // The highest frequency in Hz any filter takes: just under half the
    // sample rate.
    double MaxFilterFrequency() const;

    // Crossover slots k = 0 and 1. A realised filter is refused when its
    // order lies outside 1..8, its frequency outside GetFrequencyLimits, or
    // its sections would not fit into the free biquads were the slot
    // enabled; enabling is refused when they do not fit. Targets cost no
    // biquads.
    bool GetHighPass(int k, CrossoverSettings& settings) const;
    bool SetHighPass(int k, const CrossoverSettings& settings);
    bool EnableHighPass(int k, bool on);
    bool GetHighPassTarget(int k, CrossoverSettings& settings) const;
    bool SetHighPassTarget(int k, const CrossoverSettings& settings);
    bool GetLowPass(int k, CrossoverSettings& settings) const;
    bool SetLowPass(int k, const CrossoverSettings& settings);
    bool EnableLowPass(int k, bool on);
    bool GetLowPassTarget(int k, CrossoverSettings& settings) const;
    bool SetLowPassTarget(int k, const CrossoverSettings& settings);
    // Puts a slot back exactly as the band held it before (a dialog's
    // Cancel), without the budget check: a filter stored while its slot was
    // off may no longer fit since, and must still come back as it was.
    void RestoreHighPass(int k, const CrossoverSlot& slot);
    void RestoreLowPass(int k, const CrossoverSlot& slot);

    // The single-section filters: frequencies from 1 Hz to just under half
    // the sample rate, Q 0.001 to 25, gains -20 to +20 dB. Each getter
    // returns whether the filter is enabled. A notch that is off is refused
    // when no biquad is free; the others leave the budget to the caller.
    bool GetNotch(int k, double& freq, double& q) const;
    bool SetNotch(int k, double freq, double q, bool enabled);
    bool GetAllPass(double& freq, double& q) const;
    bool SetAllPass(double freq, double q, bool enabled);
    bool GetLowShelf(double& dB, double& freq) const;
    bool SetLowShelf(double dB, double freq, bool enabled);
    bool GetHighShelf(double& dB, double& freq) const;
    bool SetHighShelf(double dB, double freq, bool enabled);
    bool GetPeq(int k, double& dB, double& freq, double& q) const;
    bool SetPeq(int k, double dB, double freq, double q, bool enabled);

    // The driver's measured curve: frequencies in Hz, ascending and above
    // 0, one complex value each, as read from fileName; smoothed with the
    // band's setting. Refused for fewer than two points, sizes that differ,
    // and any frequency or value that is not finite.
    bool SetSplCurve(const VDoubleVec& frequencies, const VComplexVec& values,
                     const std::string& fileName);

    SectionFilters GetSectionFilters() const;
    // Puts the one-section filters back exactly as the band held them (a
    // dialog's Cancel), without the budget check that would refuse to switch
    // one on before another is switched off.
    void RestoreSectionFilters(const SectionFilters& filters);

    // 16 minus the biquads the enabled filters need.
    int FreeBiquads() const;

    // Recomputes the band's responses on the owner's grid when the band is
    // modified, and clears the flag; false when it was not modified.
    bool Recalculate();

    // Empties every computed response, so the next recalculation rebuilds
    // them all.
    void ClearResponses();

    // The display name ("Output 2 (MF)") that the design's topology gave the
    // band; kept as it was while the design has no bands.
    const std::string& GetName() const { return name; }
    // The level the unit plays the band at, in dB: its gain, or the mute
    // level when muted.
    double OutputLevelDb() const { return muted ? kMutedLevelDb : gain; }

    // Stores the band record (always the newest layout) or loads it in the
    // layout of the given file version (1 = V101 … 5 = V205). A load fails
    // on a short read and on values the computation cannot survive.
    bool Serialize(VPersistence& archive, int version);

    // The design's sample rate in Hz; 96 kHz for a band without a design.
    double SampleRate() const;

    bool modified = false;
    std::int32_t input = 0;
    double gain = 0.0;
    bool muted = false;
    bool reversedPhase = false;
    double delay = 0.0;
    std::int32_t bassCorner = 5;
    double bassGain = 0.0;
    std::int32_t trebleCorner = 5;
    double trebleGain = 0.0;
    std::array<bool, kCrossoverSlots> hpEnabled{};
    std::array<CrossoverSettings, kCrossoverSlots> hpFilter{};
    std::array<CrossoverSettings, kCrossoverSlots> hpTarget{};
    std::array<bool, kCrossoverSlots> lpEnabled{};
    std::array<CrossoverSettings, kCrossoverSlots> lpFilter{};
    std::array<CrossoverSettings, kCrossoverSlots> lpTarget{};
    std::array<NotchSettings, kNotches> notch{};
    AllPassSettings allPass{};
    ShelfSettings lowShelf{};
    ShelfSettings highShelf{};
    std::array<PeqSettings, kEqualisers> peq{};
    std::string splFileName;
    std::int32_t splSmoothing = kMaxSmoothing;
    VDoubleVec splFreqs;
    VComplexVec splRaw;
    VComplexVec splSmoothed;
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
    CConfiguration* owner = nullptr;
    std::int32_t index = 0;
    std::string name;

private:
    bool SetCrossover(std::array<CrossoverSettings, kCrossoverSlots>& slots, int k,
                      const CrossoverSettings& settings);
    bool EnableCrossover(std::array<bool, kCrossoverSlots>& enabled,
                         std::array<CrossoverSettings, kCrossoverSlots>& slots, int k, bool on);
    bool SetCrossoverTarget(std::array<CrossoverSettings, kCrossoverSlots>& targets, int k,
                            const CrossoverSettings& settings);
    void RestoreCrossover(std::array<bool, kCrossoverSlots>& enabled,
                          std::array<CrossoverSettings, kCrossoverSlots>& filters,
                          std::array<CrossoverSettings, kCrossoverSlots>& targets, int k,
                          const CrossoverSlot& slot);
    bool AcceptsCrossover(const CrossoverSettings& settings) const;
    template <typename T> void Store(T& field, const T& value);
    void ComputeFilterResponse(VComplexVec& response, BiquadList& sections) const;
    void ComputeSplResponse(VComplexVec& response) const;
    void ComputeTargetResponse(VComplexVec& response) const;
    bool SerializeSlotPair(VPersistence& archive, int k);
    bool HoldsOnlyComputableValues() const;
};

} // namespace kv
