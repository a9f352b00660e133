#pragma once

#include "math/VComplexVec.h"
#include "math/VDoubleVec.h"
#include "model/FilterSettings.h"
#include "model/IArchive.h"

#include <array>
#include <cstdint>
#include <string>

namespace kv {

class CConfiguration;
class VPersistence;

inline constexpr int kBiquadsPerBand = 16;
inline constexpr int kCrossoverSlots = 2;
inline constexpr int kNotches = 6;
inline constexpr int kEqualisers = 14;
inline constexpr int kMinSmoothing = 1;
inline constexpr int kMaxSmoothing = 48;
inline constexpr double kMinBandGainDb = -122.0;
inline constexpr double kMaxBandGainDb = 24.0;
// The delay memory all bands of the TAS3103 share, in samples.
inline constexpr int kSharedDelaySamples = 2045;
// Field sizes of the stored texts, terminating 0 included.
inline constexpr int kTextFieldSize = 256;
inline constexpr int kPathFieldSize = 260;

// One output band: a fixed chain of filter slots with their settings, the
// imported SPL curve and the computed responses.
//
// The settings are plain fields so that the calculators, the image builder
// and the views can read them; every change from a dialog goes through the
// validating setters, which refuse out-of-range values (and anything that
// would overrun the band's 16 biquads), leave the band unchanged on refusal
// and mark it modified when a value really changed.
class CBand : public IArchive {
public:
    CBand() { Init(); }
    CBand(const CBand&) = delete;
    CBand& operator=(const CBand&) = delete;
    ~CBand() override = default;

    // Every field back to its default, every vector emptied, modified
    // cleared; owner and index stay.
    void Init();

    bool SetInput(int route);
    bool SetGain(double dB);
    bool SetMuted(bool muted);
    bool SetReversedPhase(bool reversed);
    bool SetDelay(double seconds);
    void GetDelayRange(double& min, double& max, double& step) const;

    bool SetBassCorner(int selection);
    bool SetTrebleCorner(int selection);
    bool SetBassGain(double dB);
    bool SetTrebleGain(double dB);
    void GetBassTrebleCorners(double& bassHz, double& trebleHz) const;

    void GetFrequencyLimits(double& min, double& max, double& step) const;

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

    // 16 minus the biquads the enabled filters need.
    int FreeBiquads() const;

    // Recomputes the band's responses on the owner's grid when the band is
    // modified, and clears the flag; false when it was not modified.
    bool Recalculate();

    // Copies of the computed responses: true when there was one to copy.
    bool GetFilterResponse(VComplexVec& out) const;
    bool GetSplResponse(VComplexVec& out) const;
    bool GetTargetResponse(VComplexVec& out) const;
    bool GetTotalResponse(VComplexVec& out) const;
    bool GetFilterImpulse(VDoubleVec& out) const;
    bool GetFilterStep(VDoubleVec& out) const;
    bool GetSplImpulse(VDoubleVec& out) const;
    bool GetSplStep(VDoubleVec& out) const;
    bool GetTargetImpulse(VDoubleVec& out) const;
    bool GetTargetStep(VDoubleVec& out) const;
    bool GetTotalImpulse(VDoubleVec& out) const;
    bool GetTotalStep(VDoubleVec& out) const;

    // Empties every computed response, so the next recalculation rebuilds
    // them all.
    void ClearResponses();

    // The display name ("Output 2 (MF)"), also kept in `name`.
    const std::string& GetName();

    // Never called on a band: bands store themselves with a version.
    bool Serialize(VPersistence& archive) override;
    // Stores the band record (always the newest layout) or loads it in the
    // layout of the given file version (1 = V101 … 5 = V205). A load fails
    // on a short read and on values the computation cannot survive.
    bool Serialize(VPersistence& archive, int version);

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
    double MaxFilterFrequency() const;
    bool SetCrossover(std::array<CrossoverSettings, kCrossoverSlots>& slots, int k,
                      const CrossoverSettings& settings);
    bool EnableCrossover(std::array<bool, kCrossoverSlots>& enabled,
                         std::array<CrossoverSettings, kCrossoverSlots>& slots, int k, bool on);
    bool SetCrossoverTarget(std::array<CrossoverSettings, kCrossoverSlots>& targets, int k,
                            const CrossoverSettings& settings);
    bool AcceptsCrossover(const CrossoverSettings& settings) const;
    template <typename T> void Store(T& field, const T& value);
    void ComputeFilterResponse(VComplexVec& response) const;
    void ComputeSplResponse(VComplexVec& response) const;
    void ComputeTargetResponse(VComplexVec& response) const;
    bool SerializeSlotPair(VPersistence& archive, int k);
    bool HoldsOnlyComputableValues() const;
};

} // namespace kv
