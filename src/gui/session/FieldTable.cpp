#include "session/FieldTable.h"

#include "archive/VString.h"
#include "model/CConfiguration.h"
#include "model/ImpulseGate.h"
#include "model/SplPhase.h"
#include "session/CrossoverSlotEditor.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace kv {
namespace {

constexpr double kNoLimit = 0.0;
// One sample at the design's sample rate, in milliseconds.
constexpr double kDelayStepMs = 1000.0 / kDesignSampleRate;
constexpr int kFrequencyDecimals = 1;
constexpr int kItemFrequencyDecimals = 2;
constexpr int kTuningDecimals = 4;

// The chip plays bass and treble in 0.5 dB steps only: a gain between them
// would be refused only when the unit is programmed, far from where it was
// typed.
double RoundedToToneGrid(double dB) {
    return std::round(dB / kToneGainStepDb) * kToneGainStepDb;
}

// The crossover slot's target and realised filter as the band holds them.
CrossoverSettings Target(const FieldContext& c) {
    CrossoverSettings settings;
    c.Band().GetCrossoverTarget(c.side, c.index, settings);
    return settings;
}

CrossoverSettings Filter(const FieldContext& c) {
    CrossoverSettings settings;
    c.Band().GetCrossover(c.side, c.index, settings);
    return settings;
}

bool SetTarget(const FieldContext& c, const CrossoverSettings& settings) {
    return c.Band().SetCrossoverTarget(c.side, c.index, settings);
}

bool SetFilter(const FieldContext& c, const CrossoverSettings& settings) {
    return c.Band().SetCrossover(c.side, c.index, settings);
}

// The alignment's sections for an order typed over the stored one.
CrossoverSettings Realigned(const CrossoverSettings& stored, CrossoverType type, int typedOrder,
                            double hz, CrossoverSide side) {
    return AlignedSettings(type, SnappedForField(type, typedOrder, stored.order), hz, side);
}

// A target always has its alignment's sections.
bool WriteTargetFreq(const FieldContext& c, double hz) {
    const CrossoverSettings stored = Target(c);
    return SetTarget(
        c, Realigned(stored, ShownTargetType(stored.type), ShownOrder(stored.order), hz, c.side));
}

// The typed order snapped against the stored one, with the alignment's
// sections for it.
bool WriteTargetOrder(const FieldContext& c, double order) {
    const CrossoverSettings stored = Target(c);
    return SetTarget(c, Realigned(stored, ShownTargetType(stored.type), static_cast<int>(order),
                                  stored.freq, c.side));
}

// An aligned filter takes its alignment's sections; a custom one keeps its
// tuning.
bool WriteFilterFreq(const FieldContext& c, double hz) {
    CrossoverSettings filter = Filter(c);
    const CrossoverType type = ShownFilterType(filter.type);
    if (type != CrossoverType::Custom) {
        return SetFilter(c, Realigned(filter, type, ShownOrder(filter.order), hz, c.side));
    }
    filter.freq = hz;
    return SetFilter(c, filter);
}

// A custom filter keeps its tuning; an aligned one takes the alignment's
// sections for the snapped order.
bool WriteFilterOrder(const FieldContext& c, double order) {
    CrossoverSettings filter = Filter(c);
    const CrossoverType type = ShownFilterType(filter.type);
    if (type != CrossoverType::Custom) {
        return SetFilter(c, Realigned(filter, type, static_cast<int>(order), filter.freq, c.side));
    }
    filter.order = static_cast<int>(order);
    return SetFilter(c, filter);
}

// Sections past the first show a ratio of 0 (a section the filter does not
// have) as 1.
template <std::size_t N> double ReadRatio(const FieldContext& c) {
    return ShownRatio(N, Filter(c).freqOfs[N]);
}

template <std::size_t N> bool WriteRatio(const FieldContext& c, double ratio) {
    CrossoverSettings filter = Filter(c);
    filter.freqOfs[N] = ratio;
    return SetFilter(c, filter);
}

template <std::size_t N> double ReadQ(const FieldContext& c) {
    return Filter(c).q[N];
}

template <std::size_t N> bool WriteQ(const FieldContext& c, double q) {
    CrossoverSettings filter = Filter(c);
    filter.q[N] = q;
    return SetFilter(c, filter);
}

const ShelfSettings& Shelf(const FieldContext& c) {
    return c.index == 0 ? c.Band().lowShelf : c.Band().highShelf;
}

bool SetShelf(const FieldContext& c, const ShelfSettings& s) {
    return c.index == 0 ? c.Band().SetLowShelf(s.gain, s.freq, s.enabled)
                        : c.Band().SetHighShelf(s.gain, s.freq, s.enabled);
}

const NotchSettings& Notch(const FieldContext& c) {
    return c.Band().notch[static_cast<std::size_t>(c.index)];
}

bool SetNotch(const FieldContext& c, const NotchSettings& n) {
    return c.Band().SetNotch(c.index, n.freq, n.q, n.enabled);
}

const PeqSettings& Peq(const FieldContext& c) {
    return c.Band().peq[static_cast<std::size_t>(c.index)];
}

bool SetPeq(const FieldContext& c, const PeqSettings& p) {
    return c.Band().SetPeq(c.index, p.gain, p.freq, p.q, p.enabled);
}

// A copy of what the row's read gives, with one member changed, written
// back through the setter.
template <auto Get, auto Set, auto Member> bool WriteMember(const FieldContext& c, double value) {
    auto settings = Get(c);
    settings.*Member = value;
    return Set(c, settings);
}

using R = FieldRange;

// clang-format off
const std::array kRows = {
    FieldRow{"targetFreq", "Freq (Hz)", "targetFreqField", false, R::Frequency, kNoLimit, kNoLimit, kFrequencyStep, kFrequencyDecimals,
             [](const FieldContext& c) { return Target(c).freq; }, WriteTargetFreq},
    FieldRow{"targetOrder", "Order", "targetOrderField", false, R::Fixed, kMinCrossoverOrder, kMaxCrossoverOrder, 1, 0,
             [](const FieldContext& c) { return static_cast<double>(ShownOrder(Target(c).order)); }, WriteTargetOrder},
    FieldRow{"filterFreq", "Freq (Hz)", "filterFreqField", false, R::Frequency, kNoLimit, kNoLimit, kFrequencyStep, kFrequencyDecimals,
             [](const FieldContext& c) { return Filter(c).freq; }, WriteFilterFreq},
    FieldRow{"filterOrder", "Order", "filterOrderField", false, R::Fixed, kMinCrossoverOrder, kMaxCrossoverOrder, 1, 0,
             [](const FieldContext& c) { return static_cast<double>(ShownOrder(Filter(c).order)); }, WriteFilterOrder},
    FieldRow{"ratio1", "Freq Ofs. 1 (ratio)", "ratioField1", false, R::Fixed, kMinTuningValue, kMaxTuningValue, kMinTuningValue, kTuningDecimals, ReadRatio<0>, WriteRatio<0>},
    FieldRow{"q1", "Q 1", "qField1", false, R::Fixed, kMinTuningValue, kMaxTuningValue, kMinTuningValue, kTuningDecimals, ReadQ<0>, WriteQ<0>},
    FieldRow{"ratio2", "Freq Ofs. 2 (ratio)", "ratioField2", false, R::Fixed, kMinTuningValue, kMaxTuningValue, kMinTuningValue, kTuningDecimals, ReadRatio<1>, WriteRatio<1>},
    FieldRow{"q2", "Q 2", "qField2", false, R::Fixed, kMinTuningValue, kMaxTuningValue, kMinTuningValue, kTuningDecimals, ReadQ<1>, WriteQ<1>},
    FieldRow{"ratio3", "Freq Ofs. 3 (ratio)", "ratioField3", false, R::Fixed, kMinTuningValue, kMaxTuningValue, kMinTuningValue, kTuningDecimals, ReadRatio<2>, WriteRatio<2>},
    FieldRow{"q3", "Q 3", "qField3", false, R::Fixed, kMinTuningValue, kMaxTuningValue, kMinTuningValue, kTuningDecimals, ReadQ<2>, WriteQ<2>},
    FieldRow{"ratio4", "Freq Ofs. 4 (ratio)", "ratioField4", false, R::Fixed, kMinTuningValue, kMaxTuningValue, kMinTuningValue, kTuningDecimals, ReadRatio<3>, WriteRatio<3>},
    FieldRow{"q4", "Q 4", "qField4", false, R::Fixed, kMinTuningValue, kMaxTuningValue, kMinTuningValue, kTuningDecimals, ReadQ<3>, WriteQ<3>},
    FieldRow{"allPassFreq", "Freq. (Hz)", "freqField", false, R::Frequency, kNoLimit, kNoLimit, kFrequencyStep, kFrequencyDecimals,
             [](const FieldContext& c) { return c.Band().allPass.freq; },
             [](const FieldContext& c, double hz) { return c.Band().SetAllPass(hz, c.Band().allPass.q, c.Band().allPass.enabled); }},
    FieldRow{"allPassQ", "Q", "qField", false, R::Fixed, kMinFieldQ, kMaxFilterQ, kMinFieldQ, 3,
             [](const FieldContext& c) { return c.Band().allPass.q; },
             [](const FieldContext& c, double q) { return c.Band().SetAllPass(c.Band().allPass.freq, q, c.Band().allPass.enabled); }},
    FieldRow{"shelfGain", "Gain (dB)", "gainField", false, R::Fixed, -kMaxEqGainDb, kMaxEqGainDb, 0.1, 1,
             [](const FieldContext& c) { return Shelf(c).gain; }, WriteMember<Shelf, SetShelf, &ShelfSettings::gain>},
    FieldRow{"shelfFreq", "Freq. (Hz)", "freqField", false, R::Frequency, kNoLimit, kNoLimit, kFrequencyStep, kFrequencyDecimals,
             [](const FieldContext& c) { return Shelf(c).freq; }, WriteMember<Shelf, SetShelf, &ShelfSettings::freq>},
    FieldRow{"notchFreq", "Freq. (Hz)", "notchFreqField", true, R::Frequency, kNoLimit, kNoLimit, kFrequencyStep, kItemFrequencyDecimals,
             [](const FieldContext& c) { return Notch(c).freq; }, WriteMember<Notch, SetNotch, &NotchSettings::freq>},
    FieldRow{"notchQ", "Q", "notchQField", true, R::Fixed, kMinFieldQ, kMaxFilterQ, kMinFieldQ, 4,
             [](const FieldContext& c) { return Notch(c).q; }, WriteMember<Notch, SetNotch, &NotchSettings::q>},
    FieldRow{"peqFreq", "Freq. (Hz)", "peqFreqField", true, R::Frequency, kNoLimit, kNoLimit, kFrequencyStep, kItemFrequencyDecimals,
             [](const FieldContext& c) { return Peq(c).freq; }, WriteMember<Peq, SetPeq, &PeqSettings::freq>},
    FieldRow{"peqQ", "Q", "peqQField", true, R::Fixed, kMinFieldQ, kMaxFilterQ, kMinFieldQ, 4,
             [](const FieldContext& c) { return Peq(c).q; }, WriteMember<Peq, SetPeq, &PeqSettings::q>},
    FieldRow{"peqGain", "Gain (dB)", "peqGainField", true, R::Fixed, -kMaxEqGainDb, kMaxEqGainDb, 0.1, 2,
             [](const FieldContext& c) { return Peq(c).gain; }, WriteMember<Peq, SetPeq, &PeqSettings::gain>},
    FieldRow{"bassGain", "Bass (dB)", "bassField", false, R::Fixed, -kMaxToneGainDb, kMaxToneGainDb, kToneGainStepDb, 1,
             [](const FieldContext& c) { return c.Band().bassGain; },
             [](const FieldContext& c, double dB) { return c.Band().SetBassGain(RoundedToToneGrid(dB)); }},
    FieldRow{"trebleGain", "Treble (dB)", "trebleField", false, R::Fixed, -kMaxToneGainDb, kMaxToneGainDb, kToneGainStepDb, 1,
             [](const FieldContext& c) { return c.Band().trebleGain; },
             [](const FieldContext& c, double dB) { return c.Band().SetTrebleGain(RoundedToToneGrid(dB)); }},
    FieldRow{"delay", "Delay (ms)", "delayField", false, R::DelayMs, kNoLimit, kNoLimit, kDelayStepMs, 3,
             [](const FieldContext& c) { return c.Band().delay * 1000.0; },
             [](const FieldContext& c, double ms) { return c.design.SetDelay(c.band, ms / 1000.0); }},
    FieldRow{"gain", "Gain (dB)", "gainField", false, R::Fixed, kMinBandGainDb, kMaxBandGainDb, 0.5, 1,
             [](const FieldContext& c) { return c.Band().gain; },
             [](const FieldContext& c, double dB) { return c.Band().SetGain(dB); }},
    FieldRow{"targetLevel", "Level (dB)", "levelField", false, R::Fixed, kMinTargetLevelDb, kMaxTargetLevelDb, 0.1, 1,
             [](const FieldContext& c) { return c.design.targetLevel; },
             [](const FieldContext& c, double dB) { return c.design.SetTargetLevel(dB); }},
    FieldRow{"smoothing", "Smooth", "smoothField", false, R::Fixed, kMinSmoothing, kMaxSmoothing, 1, 0,
             [](const FieldContext& c) { return static_cast<double>(c.Band().splSmoothing); },
             [](const FieldContext& c, double n) { return c.Band().SetSmoothing(static_cast<int>(n)); }},
    FieldRow{"gate", "&Gate (ms)", "gateField", false, R::Fixed, kMinGateMs, kMaxGateMs, 0.1, 1,
             [](const FieldContext& c) { return c.gate->lengthMs; },
             [](const FieldContext& c, double ms) {
                 c.gate->lengthMs = ms;
                 return true;
             }},
    FieldRow{"splOffset", "&Offset (ms)", "offsetField", false, R::Fixed, -kMaxSplOffsetMs, kMaxSplOffsetMs, 0.01, 3,
             [](const FieldContext& c) { return c.phase->offsetMs; },
             [](const FieldContext& c, double ms) {
                 c.phase->offsetMs = ms;
                 return true;
             }},
};
// clang-format on

} // namespace

CBand& FieldContext::Band() const {
    return design.bands[static_cast<std::size_t>(band)];
}

const FieldRow& Row(std::string_view name) {
    const auto found = std::find_if(kRows.begin(), kRows.end(),
                                    [name](const FieldRow& row) { return row.name == name; });
    return found != kRows.end() ? *found : kRows.front();
}

FieldBounds BoundsOf(const FieldRow& row, const FieldContext& context) {
    double minimum = row.minimum;
    double maximum = row.maximum;
    double step = 0.0;
    switch (row.range) {
    case FieldRange::Fixed:
        break;
    case FieldRange::Frequency:
        context.Band().GetFrequencyLimits(minimum, maximum, step);
        break;
    case FieldRange::DelayMs:
        context.design.GetDelayRange(context.band, minimum, maximum, step);
        minimum *= 1000.0;
        maximum *= 1000.0;
        break;
    }
    return {minimum, maximum};
}

std::string FieldObjectName(const FieldRow& row, const FieldContext& context) {
    return row.numbered ? row.objectName + std::to_string(context.index + 1) : row.objectName;
}

double ShownValue(const FieldRow& row, const FieldContext& context) {
    const FieldBounds bounds = BoundsOf(row, context);
    return std::clamp(row.read(context), bounds.minimum, bounds.maximum);
}

std::array<std::string, 5> CornerTexts(const CBand& band, bool treble) {
    std::array<std::string, 5> texts;
    for (int selection = kMinToneCorner; selection <= kMaxToneCorner; ++selection) {
        VString text;
        text.Format("%.0lf Hz", ToneCornerHz(treble, selection, band.SampleRate()));
        texts[static_cast<std::size_t>(selection - kMinToneCorner)] = text;
    }
    return texts;
}

} // namespace kv
