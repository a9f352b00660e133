#include "model/CBand.h"

#include "archive/ArchiveItems.h"
#include "math/ResponseCurves.h"
#include "math/Rounding.h"
#include "model/BandCalculators.h"
#include "model/CConfiguration.h"
#include "model/SplCurve.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

namespace kv {
namespace {

constexpr double kMaxFrequencyFactor = 0.4989;
constexpr double kMinCrossoverFrequency = 0.1;
constexpr double kFrequencyStep = 0.1;
constexpr int kMaxRoute = 2;
// The band held by a file of the oldest layouts knows only one notch; the
// other five come with these settings.
constexpr double kLegacyNotchQ = 25.0;
constexpr double kLegacyNotchFrequencyStep = 1000.0;
constexpr int kLegacyEqualisers = 8;
constexpr int kFileVersionWithTwoSlotPairs = 2;
constexpr int kFileVersionWithSixNotches = 3;
constexpr int kFileVersionWithPolarity = 4;
constexpr int kFileVersionWithAllEqualisers = 5;

// NaN fails every range.
bool InRange(double x, double lo, double hi) {
    return x >= lo && x <= hi;
}

bool ValidSlot(int k, int count) {
    return k >= 0 && k < count;
}

bool AllFinite(const CrossoverSettings& s) {
    bool finite = std::isfinite(s.freq);
    for (int j = 0; j < kCrossoverSections; ++j) {
        finite = finite && std::isfinite(s.freqOfs[j]) && std::isfinite(s.q[j]);
    }
    return finite;
}

bool Computable(const CrossoverSettings& s) {
    return s.order >= kMinCrossoverOrder && s.order <= kMaxCrossoverOrder && AllFinite(s);
}

bool CopySlot(const std::array<CrossoverSettings, kCrossoverSlots>& slots, int k,
              CrossoverSettings& settings) {
    if (!ValidSlot(k, kCrossoverSlots)) {
        return false;
    }
    settings = slots[static_cast<std::size_t>(k)];
    return true;
}

// The value at f of a curve, interpolated in ln f between the first
// frequency above f and the one before it, and held constant beyond the
// curve's ends. Ascending frequencies (every imported curve) are searched by
// bisection. lnF and lnFreqs are the logarithms of f and freqs.
Complex SplValueAt(double f, double lnF, const VDoubleVec& freqs,
                   const std::vector<double>& lnFreqs, const VComplexVec& values, bool ascending) {
    const int c = freqs.GetSize();
    const auto above =
        ascending ? std::upper_bound(freqs.begin(), freqs.end(), f)
                  : std::find_if(freqs.begin(), freqs.end(), [f](double x) { return x > f; });
    const int i = static_cast<int>(above - freqs.begin());
    if (i == 0) {
        return values[0];
    }
    if (i == c) {
        return values[c - 1];
    }
    const auto at = static_cast<std::size_t>(i);
    return InterpolateAtLogs(lnF, values[i - 1], lnFreqs[at - 1], values[i], lnFreqs[at]);
}

} // namespace

double ToneCornerHz(bool treble, int selection, double sampleRate) {
    static constexpr double kBassCorners[] = {1000.0, 2000.0 / 3.0, 500.0, 1000.0 / 3.0,
                                              500.0 / 3.0};
    static constexpr double kTrebleCorners[] = {24000.0, 16000.0, 12000.0, 8000.0, 4000.0};
    const auto entry =
        static_cast<std::size_t>(std::clamp(selection, kMinToneCorner, kMaxToneCorner) - 1);
    return sampleRate / 64000.0 * (treble ? kTrebleCorners[entry] : kBassCorners[entry]);
}

int BiquadsForOrder(int order) {
    return (order + 1) / 2;
}

void CBand::Init() {
    modified = false;
    input = 0;
    gain = 0.0;
    muted = false;
    reversedPhase = false;
    delay = 0.0;
    bassCorner = kMaxToneCorner;
    bassGain = 0.0;
    trebleCorner = kMaxToneCorner;
    trebleGain = 0.0;
    hpEnabled.fill(false);
    hpFilter.fill(CrossoverSettings{});
    hpTarget.fill(CrossoverSettings{});
    lpEnabled.fill(false);
    lpFilter.fill(CrossoverSettings{});
    lpTarget.fill(CrossoverSettings{});
    for (int k = 0; k < kNotches; ++k) {
        notch[k] = NotchSettings{125.0 * std::pow(2.0, k), 4.0, false};
    }
    allPass = AllPassSettings{};
    lowShelf = ShelfSettings{};
    highShelf = ShelfSettings{};
    // Half-octave steps from 125/√2 Hz up to 8000 Hz.
    for (int k = 0; k < kEqualisers; ++k) {
        peq[k] = PeqSettings{0.0, 125.0 * std::pow(2.0, (k - 1) / 2.0), 1.0, false};
    }
    splFileName.clear();
    splSmoothing = kMaxSmoothing;
    splFreqs.SetSize(0);
    splRaw.SetSize(0);
    splSmoothed.SetSize(0);
    ClearResponses();
}

void CBand::ClearResponses() {
    for (VComplexVec* v :
         {&filterResponse, &hardwareResponse, &splResponse, &targetResponse, &totalResponse}) {
        v->SetSize(0);
    }
    for (VDoubleVec* v : {&filterImpulse, &filterStep, &splImpulse, &splStep, &targetImpulse,
                          &targetStep, &totalImpulse, &totalStep}) {
        v->SetSize(0);
    }
}

double CBand::SampleRate() const {
    return owner != nullptr ? owner->sampleRate : kDesignSampleRate;
}

double CBand::MaxFilterFrequency() const {
    return SampleRate() * kMaxFrequencyFactor;
}

template <typename T> void CBand::Store(T& field, const T& value) {
    modified = modified || !(field == value);
    field = value;
}

bool CBand::SetInput(int route) {
    if (route < 0 || route > kMaxRoute) {
        return false;
    }
    input = route;
    return true;
}

bool CBand::SetGain(double dB) {
    if (!InRange(dB, kMinBandGainDb, kMaxBandGainDb)) {
        return false;
    }
    Store(gain, dB);
    return true;
}

bool CBand::SetMuted(bool on) {
    Store(muted, on);
    return true;
}

bool CBand::SetReversedPhase(bool reversed) {
    Store(reversedPhase, reversed);
    return true;
}

void CBand::GetDelayRange(double& min, double& max, double& step) const {
    min = 0.0;
    max = owner != nullptr ? owner->GetMaxDelay(index) : kSharedDelaySamples / SampleRate();
    step = 1.0 / SampleRate();
}

bool CBand::SetDelay(double seconds) {
    double min = 0.0;
    double max = 0.0;
    double step = 0.0;
    GetDelayRange(min, max, step);
    if (!InRange(seconds, min, max)) {
        return false;
    }
    const double fs = SampleRate();
    Store(delay, static_cast<double>(RoundHalfAway(fs * seconds)) / fs);
    return true;
}

bool CBand::SetBassCorner(int selection) {
    if (selection < kMinToneCorner || selection > kMaxToneCorner) {
        return false;
    }
    Store(bassCorner, static_cast<std::int32_t>(selection));
    return true;
}

bool CBand::SetTrebleCorner(int selection) {
    if (selection < kMinToneCorner || selection > kMaxToneCorner) {
        return false;
    }
    Store(trebleCorner, static_cast<std::int32_t>(selection));
    return true;
}

bool CBand::SetBassGain(double dB) {
    if (!InRange(dB, -kMaxToneGainDb, kMaxToneGainDb)) {
        return false;
    }
    Store(bassGain, dB);
    return true;
}

bool CBand::SetTrebleGain(double dB) {
    if (!InRange(dB, -kMaxToneGainDb, kMaxToneGainDb)) {
        return false;
    }
    Store(trebleGain, dB);
    return true;
}

void CBand::GetBassTrebleCorners(double& bassHz, double& trebleHz) const {
    bassHz = ToneCornerHz(false, bassCorner, SampleRate());
    trebleHz = ToneCornerHz(true, trebleCorner, SampleRate());
}

void CBand::GetFrequencyLimits(double& min, double& max, double& step) const {
    min = kMinCrossoverFrequency;
    max = MaxFilterFrequency();
    step = kFrequencyStep;
}

bool CBand::AcceptsCrossover(const CrossoverSettings& s) const {
    return s.order >= kMinCrossoverOrder && s.order <= kMaxCrossoverOrder &&
           InRange(s.freq, kMinCrossoverFrequency, MaxFilterFrequency());
}

bool CBand::SetCrossover(std::array<CrossoverSettings, kCrossoverSlots>& slots, int k,
                         const CrossoverSettings& settings) {
    if (!ValidSlot(k, kCrossoverSlots) || !AcceptsCrossover(settings)) {
        return false;
    }
    // The slot's own sections count as free: the settings are stored only if
    // the slot could be enabled with them.
    const std::int32_t previousOrder = slots[k].order;
    slots[k].order = 0;
    const bool fits = FreeBiquads() >= BiquadsForOrder(settings.order);
    slots[k].order = previousOrder;
    if (!fits) {
        return false;
    }
    slots[k] = settings;
    modified = true;
    return true;
}

bool CBand::EnableCrossover(std::array<bool, kCrossoverSlots>& enabled,
                            std::array<CrossoverSettings, kCrossoverSlots>& slots, int k, bool on) {
    if (!ValidSlot(k, kCrossoverSlots)) {
        return false;
    }
    if (enabled[k] == on) {
        return true;
    }
    if (on) {
        enabled[k] = true;
        const CrossoverSettings current = slots[k];
        if (!SetCrossover(slots, k, current)) {
            enabled[k] = false;
            return false;
        }
    }
    enabled[k] = on;
    modified = true;
    return true;
}

bool CBand::SetCrossoverTarget(std::array<CrossoverSettings, kCrossoverSlots>& targets, int k,
                               const CrossoverSettings& settings) {
    if (!ValidSlot(k, kCrossoverSlots) || !AcceptsCrossover(settings)) {
        return false;
    }
    targets[k] = settings;
    modified = true;
    return true;
}

bool CBand::GetHighPass(int k, CrossoverSettings& settings) const {
    return CopySlot(hpFilter, k, settings);
}

bool CBand::SetHighPass(int k, const CrossoverSettings& settings) {
    return SetCrossover(hpFilter, k, settings);
}

void CBand::RestoreCrossover(std::array<bool, kCrossoverSlots>& enabled,
                             std::array<CrossoverSettings, kCrossoverSlots>& filters,
                             std::array<CrossoverSettings, kCrossoverSlots>& targets, int k,
                             const CrossoverSlot& slot) {
    if (!ValidSlot(k, kCrossoverSlots)) {
        return;
    }
    targets[k] = slot.target;
    filters[k] = slot.filter;
    enabled[k] = slot.enabled;
    modified = true;
}

void CBand::RestoreHighPass(int k, const CrossoverSlot& slot) {
    RestoreCrossover(hpEnabled, hpFilter, hpTarget, k, slot);
}

void CBand::RestoreLowPass(int k, const CrossoverSlot& slot) {
    RestoreCrossover(lpEnabled, lpFilter, lpTarget, k, slot);
}

bool CBand::EnableHighPass(int k, bool on) {
    return EnableCrossover(hpEnabled, hpFilter, k, on);
}

bool CBand::GetHighPassTarget(int k, CrossoverSettings& settings) const {
    return CopySlot(hpTarget, k, settings);
}

bool CBand::SetHighPassTarget(int k, const CrossoverSettings& settings) {
    return SetCrossoverTarget(hpTarget, k, settings);
}

bool CBand::GetLowPass(int k, CrossoverSettings& settings) const {
    return CopySlot(lpFilter, k, settings);
}

bool CBand::SetLowPass(int k, const CrossoverSettings& settings) {
    return SetCrossover(lpFilter, k, settings);
}

bool CBand::EnableLowPass(int k, bool on) {
    return EnableCrossover(lpEnabled, lpFilter, k, on);
}

bool CBand::GetLowPassTarget(int k, CrossoverSettings& settings) const {
    return CopySlot(lpTarget, k, settings);
}

bool CBand::SetLowPassTarget(int k, const CrossoverSettings& settings) {
    return SetCrossoverTarget(lpTarget, k, settings);
}

bool CBand::GetNotch(int k, double& freq, double& q) const {
    if (!ValidSlot(k, kNotches)) {
        return false;
    }
    freq = notch[k].freq;
    q = notch[k].q;
    return notch[k].enabled;
}

bool CBand::SetNotch(int k, double freq, double q, bool enabled) {
    if (!ValidSlot(k, kNotches) || !InRange(freq, kMinFilterFrequency, MaxFilterFrequency()) ||
        !InRange(q, kMinFilterQ, kMaxFilterQ)) {
        return false;
    }
    if (!notch[k].enabled && FreeBiquads() == 0) {
        return false;
    }
    Store(notch[k], NotchSettings{freq, q, enabled});
    return true;
}

bool CBand::GetAllPass(double& freq, double& q) const {
    freq = allPass.freq;
    q = allPass.q;
    return allPass.enabled;
}

bool CBand::SetAllPass(double freq, double q, bool enabled) {
    if (!InRange(freq, kMinFilterFrequency, MaxFilterFrequency()) ||
        !InRange(q, kMinFilterQ, kMaxFilterQ)) {
        return false;
    }
    Store(allPass, AllPassSettings{freq, q, enabled});
    return true;
}

bool CBand::GetLowShelf(double& dB, double& freq) const {
    dB = lowShelf.gain;
    freq = lowShelf.freq;
    return lowShelf.enabled;
}

bool CBand::SetLowShelf(double dB, double freq, bool enabled) {
    if (!InRange(dB, -kMaxEqGainDb, kMaxEqGainDb) ||
        !InRange(freq, kMinFilterFrequency, MaxFilterFrequency())) {
        return false;
    }
    Store(lowShelf, ShelfSettings{dB, freq, enabled});
    return true;
}

bool CBand::GetHighShelf(double& dB, double& freq) const {
    dB = highShelf.gain;
    freq = highShelf.freq;
    return highShelf.enabled;
}

bool CBand::SetHighShelf(double dB, double freq, bool enabled) {
    if (!InRange(dB, -kMaxEqGainDb, kMaxEqGainDb) ||
        !InRange(freq, kMinFilterFrequency, MaxFilterFrequency())) {
        return false;
    }
    Store(highShelf, ShelfSettings{dB, freq, enabled});
    return true;
}

bool CBand::GetPeq(int k, double& dB, double& freq, double& q) const {
    if (!ValidSlot(k, kEqualisers)) {
        return false;
    }
    dB = peq[k].gain;
    freq = peq[k].freq;
    q = peq[k].q;
    return peq[k].enabled;
}

bool CBand::SetPeq(int k, double dB, double freq, double q, bool enabled) {
    if (!ValidSlot(k, kEqualisers) || !InRange(dB, -kMaxEqGainDb, kMaxEqGainDb) ||
        !InRange(freq, kMinFilterFrequency, MaxFilterFrequency()) ||
        !InRange(q, kMinFilterQ, kMaxFilterQ)) {
        return false;
    }
    Store(peq[k], PeqSettings{dB, freq, q, enabled});
    return true;
}

bool CBand::SetSplCurve(const VDoubleVec& frequencies, const VComplexVec& values,
                        const std::string& fileName) {
    const int n = frequencies.GetSize();
    const bool usable = n >= 2 && values.GetSize() == n && frequencies.AllFinite() &&
                        values.AllFinite() && frequencies[0] > 0.0 &&
                        std::is_sorted(frequencies.begin(), frequencies.end());
    if (!usable) {
        return false;
    }
    splFreqs = frequencies;
    splRaw = values;
    if (splFreqs.GetSize() != n || splRaw.GetSize() != n) {
        // Memory ran out half-way: no curve rather than a broken one.
        splFreqs.SetSize(0);
        splRaw.SetSize(0);
        return false;
    }
    splFileName = fileName;
    modified = true;
    SetSmoothing(*this, splSmoothing);
    return true;
}

SectionFilters CBand::GetSectionFilters() const {
    return {notch, allPass, lowShelf, highShelf, peq};
}

void CBand::RestoreSectionFilters(const SectionFilters& filters) {
    Store(notch, filters.notch);
    Store(allPass, filters.allPass);
    Store(lowShelf, filters.lowShelf);
    Store(highShelf, filters.highShelf);
    Store(peq, filters.peq);
}

int CBand::FreeBiquads() const {
    int used = 0;
    for (int k = 0; k < kCrossoverSlots; ++k) {
        used += hpEnabled[k] ? BiquadsForOrder(hpFilter[k].order) : 0;
        used += lpEnabled[k] ? BiquadsForOrder(lpFilter[k].order) : 0;
    }
    used += allPass.enabled ? 1 : 0;
    used += lowShelf.enabled ? 1 : 0;
    used += highShelf.enabled ? 1 : 0;
    for (const NotchSettings& n : notch) {
        used += n.enabled ? 1 : 0;
    }
    for (const PeqSettings& p : peq) {
        used += p.enabled ? 1 : 0;
    }
    return kBiquadsPerBand - used;
}

bool CBand::Recalculate() {
    if (!modified || owner == nullptr || owner->freqGrid == nullptr) {
        return false;
    }
    CResponseEngine& engine = owner->Engine();
    VComplexVec fresh(owner->freqGrid->GetSize());
    BiquadList sections;
    ComputeFilterResponse(fresh, sections);
    // The same sections, so that both curves always show the same design.
    ComputeHardwareResponse(*this, sections, engine.Phasors(), *owner->freqGrid, hardwareResponse);
    engine.Update(filterResponse, fresh, filterImpulse, filterStep);
    ComputeSplResponse(fresh);
    engine.Update(splResponse, fresh, splImpulse, splStep);
    ComputeTargetResponse(fresh);
    engine.Update(targetResponse, fresh, targetImpulse, targetStep);
    fresh = filterResponse;
    fresh *= splResponse;
    engine.Update(totalResponse, fresh, totalImpulse, totalStep);
    modified = false;
    return true;
}

// Gain, bass and treble, every realised filter, delay and polarity; the
// realised filters' sections are listed in sections, in hardware order.
void CBand::ComputeFilterResponse(VComplexVec& response, BiquadList& sections) const {
    const GridPhasors& phasors = owner->Engine().Phasors();
    response.FillReal(DbToGain(OutputLevelDb()));
    ApplyBassTreble(*this, phasors, response);
    ApplyHighPassFilters(*this, phasors, response, &sections);
    ApplyLowPassFilters(*this, phasors, response, &sections);
    ApplyNotches(*this, phasors, response, &sections);
    ApplyAllPass(*this, phasors, response, &sections);
    ApplyLowShelf(*this, phasors, response, &sections);
    ApplyHighShelf(*this, phasors, response, &sections);
    ApplyPeqs(*this, phasors, response, &sections);
    ApplyDelayAndPolarity(*this, *owner->freqGrid, response);
}

// The smoothed SPL curve on the grid, or 1 where the band has none. A curve
// whose smoothed values do not match its frequencies one to one is not used.
void CBand::ComputeSplResponse(VComplexVec& response) const {
    response.FillReal(1.0);
    if (splFreqs.Empty() || splSmoothed.GetSize() != splFreqs.GetSize()) {
        return;
    }
    const VDoubleVec& grid = *owner->freqGrid;
    const VDoubleVec& lnGrid = owner->Engine().LogGrid();
    const bool ascending = std::is_sorted(splFreqs.begin(), splFreqs.end());
    std::vector<double> lnFreqs(splFreqs.begin(), splFreqs.end());
    for (double& f : lnFreqs) {
        f = std::log(f);
    }
    for (int i = 0; i < response.GetSize(); ++i) {
        response[i] = SplValueAt(grid[i], lnGrid[i], splFreqs, lnFreqs, splSmoothed, ascending);
    }
}

// The enabled targets alone: gain, mute, delay and polarity do not enter.
void CBand::ComputeTargetResponse(VComplexVec& response) const {
    const GridPhasors& phasors = owner->Engine().Phasors();
    response.FillReal(1.0);
    ApplyHighPassTargets(*this, phasors, response);
    ApplyLowPassTargets(*this, phasors, response);
}

bool CBand::SerializeSlotPair(VPersistence& archive, int k) {
    const auto crossover = [&archive](CrossoverSettings& s) {
        if (!ExchangeAll(archive, s.freq, s.order, s.type)) {
            return false;
        }
        for (int j = 0; j < kCrossoverSections; ++j) {
            if (!ExchangeAll(archive, s.freqOfs[j], s.q[j])) {
                return false;
            }
        }
        return true;
    };
    return Exchange(archive, hpEnabled[k]) && crossover(hpFilter[k]) && crossover(hpTarget[k]) &&
           Exchange(archive, lpEnabled[k]) && crossover(lpFilter[k]) && crossover(lpTarget[k]);
}

bool CBand::Serialize(VPersistence& archive, int version) {
    const bool storing = archive.IsStoring();
    if (storing) {
        version = kFileVersionWithAllEqualisers;
    }
    if (!ExchangeAll(archive, input, gain, delay) ||
        !Exchange(archive, splFileName, kPathFieldSize) ||
        !ExchangeAll(archive, splSmoothing, splFreqs, splRaw, bassCorner, bassGain, trebleCorner,
                     trebleGain)) {
        return false;
    }
    const int slotPairs = version >= kFileVersionWithTwoSlotPairs ? kCrossoverSlots : 1;
    for (int k = 0; k < slotPairs; ++k) {
        if (!SerializeSlotPair(archive, k)) {
            return false;
        }
    }
    const int notches = version >= kFileVersionWithSixNotches ? kNotches : 1;
    for (int k = 0; k < notches; ++k) {
        if (!ExchangeAll(archive, notch[k].freq, notch[k].q, notch[k].enabled)) {
            return false;
        }
    }
    for (int k = notches; k < kNotches; ++k) {
        notch[k] = NotchSettings{kLegacyNotchFrequencyStep * (k + 1), kLegacyNotchQ, false};
    }
    if (!ExchangeAll(archive, allPass.freq, allPass.q, allPass.enabled, lowShelf.gain,
                     lowShelf.freq, lowShelf.enabled, highShelf.gain, highShelf.freq,
                     highShelf.enabled)) {
        return false;
    }
    const int equalisers =
        version >= kFileVersionWithAllEqualisers ? kEqualisers : kLegacyEqualisers;
    for (int k = 0; k < equalisers; ++k) {
        if (!ExchangeAll(archive, peq[k].gain, peq[k].freq, peq[k].q, peq[k].enabled)) {
            return false;
        }
    }
    if (version < kFileVersionWithPolarity) {
        reversedPhase = false;
    }
    if (version < kFileVersionWithAllEqualisers) {
        muted = false;
    }
    if ((version >= kFileVersionWithPolarity && !Exchange(archive, reversedPhase)) ||
        (version >= kFileVersionWithAllEqualisers && !Exchange(archive, muted))) {
        return false;
    }
    if (storing) {
        return true;
    }
    if (!HoldsOnlyComputableValues()) {
        return false;
    }
    if (!SetSmoothing(*this, splSmoothing)) {
        // A setting no dialog can make: keep it, but give the computation a
        // curve that matches the frequencies.
        RebuildUnsmoothedCurve(*this);
    }
    ClearResponses();
    modified = true;
    return true;
}

// Values that would break the computation or index past a table; everything
// else loads as stored, since older files may hold it.
bool CBand::HoldsOnlyComputableValues() const {
    bool ok = input >= 0 && input <= kMaxRoute && bassCorner >= kMinToneCorner &&
              bassCorner <= kMaxToneCorner && trebleCorner >= kMinToneCorner &&
              trebleCorner <= kMaxToneCorner;
    ok = ok && std::isfinite(gain) && std::isfinite(delay) && std::isfinite(bassGain) &&
         std::isfinite(trebleGain);
    for (int k = 0; k < kCrossoverSlots; ++k) {
        ok = ok && Computable(hpFilter[k]) && Computable(hpTarget[k]) && Computable(lpFilter[k]) &&
             Computable(lpTarget[k]);
    }
    for (const NotchSettings& n : notch) {
        ok = ok && std::isfinite(n.freq) && std::isfinite(n.q);
    }
    ok = ok && std::isfinite(allPass.freq) && std::isfinite(allPass.q);
    for (const ShelfSettings* s : {&lowShelf, &highShelf}) {
        ok = ok && std::isfinite(s->gain) && std::isfinite(s->freq);
    }
    for (const PeqSettings& p : peq) {
        ok = ok && std::isfinite(p.gain) && std::isfinite(p.freq) && std::isfinite(p.q);
    }
    return ok && splFreqs.AllFinite() && splRaw.AllFinite();
}

} // namespace kv
