#include "dialogs/FieldTable.h"

#include "controls/VFloatSpinButton.h"
#include "controls/VIntSpinButton.h"
#include "model/CConfiguration.h"
#include "model/ImpulseGate.h"

#include <algorithm>
#include <array>

namespace kv {
namespace {

constexpr double kNoLimit = 0.0;
// One sample at the design's sample rate, in milliseconds.
constexpr double kDelayStepMs = 1000.0 / kDesignSampleRate;

const CrossoverSettings& Target(const FieldContext& c) {
    const auto k = static_cast<std::size_t>(c.index);
    return c.highPass ? c.band.hpTarget[k] : c.band.lpTarget[k];
}

const CrossoverSettings& Filter(const FieldContext& c) {
    const auto k = static_cast<std::size_t>(c.index);
    return c.highPass ? c.band.hpFilter[k] : c.band.lpFilter[k];
}

// An order of 0 (an empty slot of an old file) shows as 2.
double ShownOrder(int order) {
    return order == 0 ? 2.0 : order;
}

// Sections past the first show a ratio of 0 (a section the filter does not
// have) as 1.
template <std::size_t N> double Ratio(const FieldContext& c) {
    const double ratio = Filter(c).freqOfs[N];
    return N > 0 && ratio == 0.0 ? 1.0 : ratio;
}

template <std::size_t N> double Quality(const FieldContext& c) {
    return Filter(c).q[N];
}

const ShelfSettings& Shelf(const FieldContext& c) {
    return c.index == 0 ? c.band.lowShelf : c.band.highShelf;
}

const NotchSettings& Notch(const FieldContext& c) {
    return c.band.notch[static_cast<std::size_t>(c.index)];
}

const PeqSettings& Peq(const FieldContext& c) {
    return c.band.peq[static_cast<std::size_t>(c.index)];
}

using G = FieldGroup;
using R = FieldRange;

// clang-format off
const std::array kFields = {
    FieldSpec{G::CrossoverTarget, "Freq (Hz)", "targetFreqField", R::Frequency, kNoLimit, kNoLimit, 0.1, 1, false,
              [](const FieldContext& c) { return Target(c).freq; }},
    FieldSpec{G::CrossoverTarget, "Order", "targetOrderField", R::Fixed, 1, 8, 1, 0, true,
              [](const FieldContext& c) { return ShownOrder(Target(c).order); }},
    FieldSpec{G::CrossoverFilter, "Freq (Hz)", "filterFreqField", R::Frequency, kNoLimit, kNoLimit, 0.1, 1, false,
              [](const FieldContext& c) { return Filter(c).freq; }},
    FieldSpec{G::CrossoverFilter, "Order", "filterOrderField", R::Fixed, 1, 8, 1, 0, true,
              [](const FieldContext& c) { return ShownOrder(Filter(c).order); }},
    FieldSpec{G::CrossoverTuning, "Freq Ofs. 1 (ratio)", "ratioField1", R::Fixed, 0.001, 100.0, 0.001, 4, false, Ratio<0>},
    FieldSpec{G::CrossoverTuning, "Q 1", "qField1", R::Fixed, 0.001, 100.0, 0.001, 4, false, Quality<0>},
    FieldSpec{G::CrossoverTuning, "Freq Ofs. 2 (ratio)", "ratioField2", R::Fixed, 0.001, 100.0, 0.001, 4, false, Ratio<1>},
    FieldSpec{G::CrossoverTuning, "Q 2", "qField2", R::Fixed, 0.001, 100.0, 0.001, 4, false, Quality<1>},
    FieldSpec{G::CrossoverTuning, "Freq Ofs. 3 (ratio)", "ratioField3", R::Fixed, 0.001, 100.0, 0.001, 4, false, Ratio<2>},
    FieldSpec{G::CrossoverTuning, "Q 3", "qField3", R::Fixed, 0.001, 100.0, 0.001, 4, false, Quality<2>},
    FieldSpec{G::CrossoverTuning, "Freq Ofs. 4 (ratio)", "ratioField4", R::Fixed, 0.001, 100.0, 0.001, 4, false, Ratio<3>},
    FieldSpec{G::CrossoverTuning, "Q 4", "qField4", R::Fixed, 0.001, 100.0, 0.001, 4, false, Quality<3>},
    FieldSpec{G::AllPass, "Freq. (Hz)", "freqField", R::Frequency, kNoLimit, kNoLimit, 0.1, 1, false,
              [](const FieldContext& c) { return c.band.allPass.freq; }},
    FieldSpec{G::AllPass, "Q", "qField", R::Fixed, 0.01, 25.0, 0.01, 3, false,
              [](const FieldContext& c) { return c.band.allPass.q; }},
    FieldSpec{G::Shelf, "Gain (dB)", "gainField", R::Fixed, -20.0, 20.0, 0.1, 1, false,
              [](const FieldContext& c) { return Shelf(c).gain; }},
    FieldSpec{G::Shelf, "Freq. (Hz)", "freqField", R::Frequency, kNoLimit, kNoLimit, 0.1, 1, false,
              [](const FieldContext& c) { return Shelf(c).freq; }},
    FieldSpec{G::Notch, "Freq. (Hz)", "notchFreqField", R::Frequency, kNoLimit, kNoLimit, 0.1, 2, false,
              [](const FieldContext& c) { return Notch(c).freq; }},
    FieldSpec{G::Notch, "Q", "notchQField", R::Fixed, 0.01, 25.0, 0.01, 4, false,
              [](const FieldContext& c) { return Notch(c).q; }},
    FieldSpec{G::Peq, "Freq. (Hz)", "peqFreqField", R::Frequency, kNoLimit, kNoLimit, 0.1, 2, false,
              [](const FieldContext& c) { return Peq(c).freq; }},
    FieldSpec{G::Peq, "Q", "peqQField", R::Fixed, 0.01, 25.0, 0.01, 4, false,
              [](const FieldContext& c) { return Peq(c).q; }},
    FieldSpec{G::Peq, "Gain (dB)", "peqGainField", R::Fixed, -20.0, 20.0, 0.1, 2, false,
              [](const FieldContext& c) { return Peq(c).gain; }},
    FieldSpec{G::BassTreble, "Bass (dB)", "bassField", R::Fixed, -18.0, 18.0, 0.5, 1, false,
              [](const FieldContext& c) { return c.band.bassGain; }},
    FieldSpec{G::BassTreble, "Treble (dB)", "trebleField", R::Fixed, -18.0, 18.0, 0.5, 1, false,
              [](const FieldContext& c) { return c.band.trebleGain; }},
    FieldSpec{G::Delay, "Delay (ms)", "delayField", R::DelayMs, kNoLimit, kNoLimit, kDelayStepMs, 3, false,
              [](const FieldContext& c) { return c.band.delay * 1000.0; }},
    FieldSpec{G::Gain, "Gain (dB)", "gainField", R::Fixed, -122.0, 24.0, 0.5, 1, false,
              [](const FieldContext& c) { return c.band.gain; }},
    FieldSpec{G::TargetLevel, "Level (dB)", "levelField", R::Fixed, -100.0, 200.0, 0.1, 1, false,
              [](const FieldContext& c) { return c.band.owner != nullptr ? c.band.owner->targetLevel : 0.0; }},
    FieldSpec{G::SplCurve, "Smooth", "smoothField", R::Fixed, kMinSmoothing, kMaxSmoothing, 1, 0, true,
              [](const FieldContext& c) { return static_cast<double>(c.band.splSmoothing); }},
    FieldSpec{G::Gate, "&Gate (ms)", "gateField", R::Fixed, kMinGateMs, kMaxGateMs, 0.1, 1, false,
              [](const FieldContext&) { return kDefaultGateMs; }},
};
// clang-format on

struct Bounds {
    double minimum;
    double maximum;
};

Bounds BoundsOf(const FieldSpec& spec, const CBand& band) {
    double minimum = spec.minimum;
    double maximum = spec.maximum;
    double step = 0.0;
    switch (spec.range) {
    case FieldRange::Fixed:
        break;
    case FieldRange::Frequency:
        band.GetFrequencyLimits(minimum, maximum, step);
        break;
    case FieldRange::DelayMs:
        band.GetDelayRange(minimum, maximum, step);
        minimum *= 1000.0;
        maximum *= 1000.0;
        break;
    }
    return {minimum, maximum};
}

template <typename Field> void Name(Field& field, const FieldSpec& spec, const FieldContext& c) {
    field.setObjectName(FieldName(spec, c));
    field.setAccessibleName(QString::fromLatin1(spec.label));
}

} // namespace

std::span<const FieldSpec> FieldsOf(FieldGroup group) {
    const auto first = std::find_if(kFields.begin(), kFields.end(),
                                    [group](const FieldSpec& f) { return f.group == group; });
    const auto last = std::find_if(first, kFields.end(),
                                   [group](const FieldSpec& f) { return f.group != group; });
    return {first, last};
}

QString FieldName(const FieldSpec& spec, const FieldContext& context) {
    QString name = QString::fromLatin1(spec.objectName);
    if (spec.group == FieldGroup::Notch || spec.group == FieldGroup::Peq) {
        name += QString::number(context.index + 1);
    }
    return name;
}

VFloatSpinButton* BuildFloatField(const FieldSpec& spec, const FieldContext& context,
                                  QWidget* parent) {
    auto* field = new VFloatSpinButton(parent);
    Name(*field, spec, context);
    const Bounds bounds = BoundsOf(spec, context.band);
    field->SetRange(bounds.minimum, bounds.maximum, spec.step, spec.decimals);
    field->SetValue(spec.value(context));
    return field;
}

VIntSpinButton* BuildWholeField(const FieldSpec& spec, const FieldContext& context,
                                QWidget* parent) {
    auto* field = new VIntSpinButton(parent);
    Name(*field, spec, context);
    field->SetRange(static_cast<int>(spec.minimum), static_cast<int>(spec.maximum));
    field->SetValue(static_cast<int>(spec.value(context)));
    return field;
}

} // namespace kv
