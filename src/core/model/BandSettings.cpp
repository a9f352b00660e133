#include "model/BandSettings.h"

#include "archive/ArchiveItems.h"
#include "import/VSmooth.h"
#include "math/ResponseCurves.h"
#include "math/Rounding.h"

#include <algorithm>
#include <cmath>

namespace kv {
namespace {

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

bool ValidRoute(InputRoute route) {
    return route == InputRoute::A || route == InputRoute::B || route == InputRoute::Both;
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

struct LevelAndPhase {
    VDoubleVec level;
    VDoubleVec phase;
};

// The raw curve as level in dB and phase in radians, one point per frequency
// (0 dB and 0 rad where the raw curve is shorter).
LevelAndPhase SplitRawCurve(const VDoubleVec& freqs, const VComplexVec& raw) {
    const int n = freqs.GetSize();
    LevelAndPhase curve{VDoubleVec(n), VDoubleVec(n)};
    if (raw.GetSize() >= n) {
        for (int i = 0; i < n; ++i) {
            curve.level[i] = MagnitudeToDb(Magnitude(raw[i]));
            curve.phase[i] = Phase(raw[i]);
        }
    }
    return curve;
}

void StoreSmoothedCurve(VComplexVec& smoothed, const LevelAndPhase& curve) {
    const int n = curve.level.GetSize();
    smoothed.SetSize(n);
    for (int i = 0; i < n; ++i) {
        smoothed[i] = FromPolar(DbToGain(curve.level[i]), curve.phase[i]);
    }
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

BandSettings::BandSettings() {
    for (int k = 0; k < kNotches; ++k) {
        notch[k] = NotchSettings{125.0 * std::pow(2.0, k), 4.0, false};
    }
    // Half-octave steps from 125/√2 Hz up to 8000 Hz.
    for (int k = 0; k < kEqualisers; ++k) {
        peq[k] = PeqSettings{0.0, 125.0 * std::pow(2.0, (k - 1) / 2.0), 1.0, false};
    }
}

bool BandSettings::operator==(const BandSettings& other) const {
    return input == other.input && gain == other.gain && muted == other.muted &&
           reversedPhase == other.reversedPhase && delay == other.delay &&
           bassCorner == other.bassCorner && bassGain == other.bassGain &&
           trebleCorner == other.trebleCorner && trebleGain == other.trebleGain &&
           hpEnabled == other.hpEnabled && hpFilter == other.hpFilter &&
           hpTarget == other.hpTarget && lpEnabled == other.lpEnabled &&
           lpFilter == other.lpFilter && lpTarget == other.lpTarget && notch == other.notch &&
           allPass == other.allPass && lowShelf == other.lowShelf && highShelf == other.highShelf &&
           peq == other.peq && splFileName == other.splFileName &&
           splSmoothing == other.splSmoothing && splFreqs == other.splFreqs &&
           splRaw == other.splRaw;
}

double BandSettings::MaxFilterFrequency() const {
    return SampleRate() * kMaxFrequencyFactor;
}

template <typename T> void BandSettings::Store(T& field, const T& value) {
    modified = modified || !(field == value);
    field = value;
}

// The routing does not enter the computed responses, only the unit's input
// mixer, so it leaves modified alone.
bool BandSettings::SetInput(InputRoute route) {
    if (!ValidRoute(route)) {
        return false;
    }
    input = route;
    return true;
}

bool BandSettings::SetGain(double dB) {
    if (!InRange(dB, kMinBandGainDb, kMaxBandGainDb)) {
        return false;
    }
    Store(gain, dB);
    return true;
}

bool BandSettings::SetMuted(bool on) {
    Store(muted, on);
    return true;
}

bool BandSettings::SetReversedPhase(bool reversed) {
    Store(reversedPhase, reversed);
    return true;
}

bool BandSettings::SetDelay(double seconds, double maxSeconds) {
    if (!InRange(seconds, 0.0, maxSeconds)) {
        return false;
    }
    const double fs = SampleRate();
    Store(delay, static_cast<double>(RoundHalfAway(fs * seconds)) / fs);
    return true;
}

bool BandSettings::SetBassCorner(int selection) {
    if (selection < kMinToneCorner || selection > kMaxToneCorner) {
        return false;
    }
    Store(bassCorner, static_cast<std::int32_t>(selection));
    return true;
}

bool BandSettings::SetTrebleCorner(int selection) {
    if (selection < kMinToneCorner || selection > kMaxToneCorner) {
        return false;
    }
    Store(trebleCorner, static_cast<std::int32_t>(selection));
    return true;
}

bool BandSettings::SetBassGain(double dB) {
    if (!InRange(dB, -kMaxToneGainDb, kMaxToneGainDb)) {
        return false;
    }
    Store(bassGain, dB);
    return true;
}

bool BandSettings::SetTrebleGain(double dB) {
    if (!InRange(dB, -kMaxToneGainDb, kMaxToneGainDb)) {
        return false;
    }
    Store(trebleGain, dB);
    return true;
}

void BandSettings::GetBassTrebleCorners(double& bassHz, double& trebleHz) const {
    bassHz = ToneCornerHz(false, bassCorner, SampleRate());
    trebleHz = ToneCornerHz(true, trebleCorner, SampleRate());
}

void BandSettings::GetFrequencyLimits(double& min, double& max, double& step) const {
    min = kMinCrossoverFrequency;
    max = MaxFilterFrequency();
    step = kFrequencyStep;
}

BandSettings::SlotFlags& BandSettings::EnabledOf(CrossoverSide side) {
    return side == CrossoverSide::HighPass ? hpEnabled : lpEnabled;
}

const BandSettings::SlotFlags& BandSettings::EnabledOf(CrossoverSide side) const {
    return side == CrossoverSide::HighPass ? hpEnabled : lpEnabled;
}

BandSettings::SlotSettings& BandSettings::FiltersOf(CrossoverSide side) {
    return side == CrossoverSide::HighPass ? hpFilter : lpFilter;
}

const BandSettings::SlotSettings& BandSettings::FiltersOf(CrossoverSide side) const {
    return side == CrossoverSide::HighPass ? hpFilter : lpFilter;
}

BandSettings::SlotSettings& BandSettings::TargetsOf(CrossoverSide side) {
    return side == CrossoverSide::HighPass ? hpTarget : lpTarget;
}

const BandSettings::SlotSettings& BandSettings::TargetsOf(CrossoverSide side) const {
    return side == CrossoverSide::HighPass ? hpTarget : lpTarget;
}

bool BandSettings::AcceptsCrossover(const CrossoverSettings& s) const {
    return s.order >= kMinCrossoverOrder && s.order <= kMaxCrossoverOrder &&
           InRange(s.freq, kMinCrossoverFrequency, MaxFilterFrequency());
}

bool BandSettings::GetCrossover(CrossoverSide side, int k, CrossoverSettings& settings) const {
    return CopySlot(FiltersOf(side), k, settings);
}

// The slot's own sections count as free: the settings are stored only if
// the slot could be enabled with them.
bool BandSettings::SetCrossover(CrossoverSide side, int k, const CrossoverSettings& settings) {
    if (!ValidSlot(k, kCrossoverSlots) || !AcceptsCrossover(settings)) {
        return false;
    }
    SlotSettings& slots = FiltersOf(side);
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

bool BandSettings::EnableCrossover(CrossoverSide side, int k, bool on) {
    if (!ValidSlot(k, kCrossoverSlots)) {
        return false;
    }
    SlotFlags& enabled = EnabledOf(side);
    if (enabled[k] == on) {
        return true;
    }
    if (on) {
        enabled[k] = true;
        const CrossoverSettings current = FiltersOf(side)[k];
        if (!SetCrossover(side, k, current)) {
            enabled[k] = false;
            return false;
        }
    }
    enabled[k] = on;
    modified = true;
    return true;
}

bool BandSettings::CrossoverEnabled(CrossoverSide side, int k) const {
    return ValidSlot(k, kCrossoverSlots) && EnabledOf(side)[k];
}

bool BandSettings::GetCrossoverTarget(CrossoverSide side, int k,
                                      CrossoverSettings& settings) const {
    return CopySlot(TargetsOf(side), k, settings);
}

bool BandSettings::SetCrossoverTarget(CrossoverSide side, int k,
                                      const CrossoverSettings& settings) {
    if (!ValidSlot(k, kCrossoverSlots) || !AcceptsCrossover(settings)) {
        return false;
    }
    TargetsOf(side)[k] = settings;
    modified = true;
    return true;
}

bool BandSettings::GetHighPass(int k, CrossoverSettings& settings) const {
    return GetCrossover(CrossoverSide::HighPass, k, settings);
}

bool BandSettings::SetHighPass(int k, const CrossoverSettings& settings) {
    return SetCrossover(CrossoverSide::HighPass, k, settings);
}

bool BandSettings::EnableHighPass(int k, bool on) {
    return EnableCrossover(CrossoverSide::HighPass, k, on);
}

bool BandSettings::GetHighPassTarget(int k, CrossoverSettings& settings) const {
    return GetCrossoverTarget(CrossoverSide::HighPass, k, settings);
}

bool BandSettings::SetHighPassTarget(int k, const CrossoverSettings& settings) {
    return SetCrossoverTarget(CrossoverSide::HighPass, k, settings);
}

bool BandSettings::GetLowPass(int k, CrossoverSettings& settings) const {
    return GetCrossover(CrossoverSide::LowPass, k, settings);
}

bool BandSettings::SetLowPass(int k, const CrossoverSettings& settings) {
    return SetCrossover(CrossoverSide::LowPass, k, settings);
}

bool BandSettings::EnableLowPass(int k, bool on) {
    return EnableCrossover(CrossoverSide::LowPass, k, on);
}

bool BandSettings::GetLowPassTarget(int k, CrossoverSettings& settings) const {
    return GetCrossoverTarget(CrossoverSide::LowPass, k, settings);
}

bool BandSettings::SetLowPassTarget(int k, const CrossoverSettings& settings) {
    return SetCrossoverTarget(CrossoverSide::LowPass, k, settings);
}

bool BandSettings::GetNotch(int k, double& freq, double& q) const {
    if (!ValidSlot(k, kNotches)) {
        return false;
    }
    freq = notch[k].freq;
    q = notch[k].q;
    return notch[k].enabled;
}

bool BandSettings::SetNotch(int k, double freq, double q, bool enabled) {
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

bool BandSettings::GetAllPass(double& freq, double& q) const {
    freq = allPass.freq;
    q = allPass.q;
    return allPass.enabled;
}

bool BandSettings::SetAllPass(double freq, double q, bool enabled) {
    if (!InRange(freq, kMinFilterFrequency, MaxFilterFrequency()) ||
        !InRange(q, kMinFilterQ, kMaxFilterQ)) {
        return false;
    }
    Store(allPass, AllPassSettings{freq, q, enabled});
    return true;
}

bool BandSettings::GetLowShelf(double& dB, double& freq) const {
    dB = lowShelf.gain;
    freq = lowShelf.freq;
    return lowShelf.enabled;
}

bool BandSettings::SetLowShelf(double dB, double freq, bool enabled) {
    if (!InRange(dB, -kMaxEqGainDb, kMaxEqGainDb) ||
        !InRange(freq, kMinFilterFrequency, MaxFilterFrequency())) {
        return false;
    }
    Store(lowShelf, ShelfSettings{dB, freq, enabled});
    return true;
}

bool BandSettings::GetHighShelf(double& dB, double& freq) const {
    dB = highShelf.gain;
    freq = highShelf.freq;
    return highShelf.enabled;
}

bool BandSettings::SetHighShelf(double dB, double freq, bool enabled) {
    if (!InRange(dB, -kMaxEqGainDb, kMaxEqGainDb) ||
        !InRange(freq, kMinFilterFrequency, MaxFilterFrequency())) {
        return false;
    }
    Store(highShelf, ShelfSettings{dB, freq, enabled});
    return true;
}

bool BandSettings::GetPeq(int k, double& dB, double& freq, double& q) const {
    if (!ValidSlot(k, kEqualisers)) {
        return false;
    }
    dB = peq[k].gain;
    freq = peq[k].freq;
    q = peq[k].q;
    return peq[k].enabled;
}

bool BandSettings::SetPeq(int k, double dB, double freq, double q, bool enabled) {
    if (!ValidSlot(k, kEqualisers) || !InRange(dB, -kMaxEqGainDb, kMaxEqGainDb) ||
        !InRange(freq, kMinFilterFrequency, MaxFilterFrequency()) ||
        !InRange(q, kMinFilterQ, kMaxFilterQ)) {
        return false;
    }
    Store(peq[k], PeqSettings{dB, freq, q, enabled});
    return true;
}

bool BandSettings::SetSplCurve(const VDoubleVec& frequencies, const VComplexVec& values,
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
    SetSmoothing(splSmoothing);
    return true;
}

bool BandSettings::SetSmoothing(int n) {
    if (n < kMinSmoothing || n > kMaxSmoothing) {
        return false;
    }
    modified = modified || n != splSmoothing;
    splSmoothing = n;
    LevelAndPhase curve = SplitRawCurve(splFreqs, splRaw);
    if (n < RoundHalfAway(PointsPerOctave(splFreqs))) {
        VSmooth smooth;
        smooth.Smooth(splFreqs, curve.level, n, VSmooth::Mode::Median);
        smooth.SmoothPhase(splFreqs, curve.phase, n, VSmooth::Mode::Median, false);
    }
    StoreSmoothedCurve(splSmoothed, curve);
    return true;
}

void BandSettings::RebuildUnsmoothedCurve() {
    StoreSmoothedCurve(splSmoothed, SplitRawCurve(splFreqs, splRaw));
}

int BandSettings::FreeBiquads() const {
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

bool BandSettings::SerializeSlotPair(VPersistence& archive, int k) {
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

bool BandSettings::Serialize(VPersistence& archive, int version) {
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
    if (!SetSmoothing(splSmoothing)) {
        // A setting no dialog can make: keep it, but give the computation a
        // curve that matches the frequencies.
        RebuildUnsmoothedCurve();
    }
    modified = true;
    return true;
}

// Values that would break the computation or index past a table; everything
// else loads as stored, since older files may hold it.
bool BandSettings::HoldsOnlyComputableValues() const {
    bool ok = ValidRoute(input) && bassCorner >= kMinToneCorner && bassCorner <= kMaxToneCorner &&
              trebleCorner >= kMinToneCorner && trebleCorner <= kMaxToneCorner;
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
