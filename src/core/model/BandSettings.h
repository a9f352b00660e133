#pragma once

#include "filters/FilterSettings.h"
#include "math/VComplexVec.h"
#include "math/VDoubleVec.h"
#include "unit/UnitLimits.h"

#include <array>
#include <cstdint>
#include <string>

namespace kv {

class VPersistence;

// The input that feeds a band: the unit's input A, its input B, or their
// mean. The stored values are the file's.
enum class InputRoute : std::int32_t { A = 0, B = 1, Both = 2 };

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

// Everything a band is set to: routing, gain, mute, polarity, delay, bass
// and treble, the crossover slots, notches, all-pass, shelves, equalisers
// and the driver's measured curve. A value: a dialog's Cancel and an undo
// step are a copy of it.
//
// The fields are plain so that the calculators, the image builder, the file
// and the views can read them; every edit goes through the validating
// setters, which refuse out-of-range values (and anything that would overrun
// the band's 16 biquads), leave the settings unchanged on refusal and mark
// them modified when a value really changed.
class BandSettings {
public:
    BandSettings();

    // Every setter returns false, and changes nothing, for a value it
    // refuses.

    bool SetInput(InputRoute route);
    // -122 to +24 dB.
    bool SetGain(double dB);
    bool SetMuted(bool muted);
    bool SetReversedPhase(bool reversed);
    // Seconds from 0 to maxSeconds (what the delay memory the bands share
    // leaves this one), stored as a whole number of samples.
    bool SetDelay(double seconds, double maxSeconds);

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

    // Crossover slots k = 0 and 1 of either side. A realised filter is
    // refused when its order lies outside 1..8, its frequency outside
    // GetFrequencyLimits, or its sections would not fit into the free
    // biquads were the slot enabled; enabling is refused when they do not
    // fit. Targets cost no biquads.
    bool GetCrossover(CrossoverSide side, int k, CrossoverSettings& settings) const;
    bool SetCrossover(CrossoverSide side, int k, const CrossoverSettings& settings);
    bool EnableCrossover(CrossoverSide side, int k, bool on);
    bool CrossoverEnabled(CrossoverSide side, int k) const;
    bool GetCrossoverTarget(CrossoverSide side, int k, CrossoverSettings& settings) const;
    bool SetCrossoverTarget(CrossoverSide side, int k, const CrossoverSettings& settings);
    // The same for one side by name.
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
    // Sets the smoothing (1..48) and rebuilds splSmoothed from splRaw. A
    // curve too sparse for the requested smoothing is taken as it is.
    bool SetSmoothing(int n);

    // 16 minus the biquads the enabled filters need.
    int FreeBiquads() const;

    // The level the unit plays the band at, in dB: its gain, or the mute
    // level when muted.
    double OutputLevelDb() const { return muted ? kMutedLevelDb : gain; }

    // The design's sample rate in Hz, which the frequency limits and the
    // filters follow; the configuration keeps it the same in all its bands.
    double SampleRate() const { return sampleRate_; }
    void UseSampleRate(double fs) { sampleRate_ = fs; }

    // Stores the band record (always the newest layout) or loads it in the
    // layout of the given file version (1 = V101 … 5 = V205). A load fails
    // on a short read and on values the computation cannot survive.
    bool Serialize(VPersistence& archive, int version);

    // The same settings: every stored value and the curve. Whether the
    // responses were computed from them yet (modified) does not count.
    bool operator==(const BandSettings& other) const;

    // Set when a setter changed a value, cleared when the band's responses
    // have been computed from them.
    bool modified = false;
    InputRoute input = InputRoute::A;
    double gain = 0.0;
    bool muted = false;
    bool reversedPhase = false;
    double delay = 0.0;
    std::int32_t bassCorner = kMaxToneCorner;
    double bassGain = 0.0;
    std::int32_t trebleCorner = kMaxToneCorner;
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
    // splRaw after smoothing; derived, never stored.
    VComplexVec splSmoothed;

private:
    using SlotFlags = std::array<bool, kCrossoverSlots>;
    using SlotSettings = std::array<CrossoverSettings, kCrossoverSlots>;

    SlotFlags& EnabledOf(CrossoverSide side);
    const SlotFlags& EnabledOf(CrossoverSide side) const;
    SlotSettings& FiltersOf(CrossoverSide side);
    const SlotSettings& FiltersOf(CrossoverSide side) const;
    SlotSettings& TargetsOf(CrossoverSide side);
    const SlotSettings& TargetsOf(CrossoverSide side) const;
    bool AcceptsCrossover(const CrossoverSettings& settings) const;
    template <typename T> void Store(T& field, const T& value);
    bool SerializeSlotPair(VPersistence& archive, int k);
    bool HoldsOnlyComputableValues() const;
    // splSmoothed from splRaw without smoothing, one value per entry of
    // splFreqs.
    void RebuildUnsmoothedCurve();

    double sampleRate_ = kDesignSampleRate;
};

} // namespace kv
