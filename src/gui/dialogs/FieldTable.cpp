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
    FieldDescription{G::CrossoverTarget, "Freq (Hz)", "targetFreqField", R::Frequency, kNoLimit, kNoLimit, 0.1, 1,
              [](const FieldContext& c) { return Target(c).freq; }},
    FieldDescription{G::CrossoverTarget, "Order", "targetOrderField", R::Fixed, 1, 8, 1, 0,
              [](const FieldContext& c) { return ShownOrder(Target(c).order); }},
    FieldDescription{G::CrossoverFilter, "Freq (Hz)", "filterFreqField", R::Frequency, kNoLimit, kNoLimit, 0.1, 1,
              [](const FieldContext& c) { return Filter(c).freq; }},
    FieldDescription{G::CrossoverFilter, "Order", "filterOrderField", R::Fixed, 1, 8, 1, 0,
              [](const FieldContext& c) { return ShownOrder(Filter(c).order); }},
    FieldDescription{G::CrossoverTuning, "Freq Ofs. 1 (ratio)", "ratioField1", R::Fixed, 0.001, 100.0, 0.001, 4, Ratio<0>},
    FieldDescription{G::CrossoverTuning, "Q 1", "qField1", R::Fixed, 0.001, 100.0, 0.001, 4, Quality<0>},
    FieldDescription{G::CrossoverTuning, "Freq Ofs. 2 (ratio)", "ratioField2", R::Fixed, 0.001, 100.0, 0.001, 4, Ratio<1>},
    FieldDescription{G::CrossoverTuning, "Q 2", "qField2", R::Fixed, 0.001, 100.0, 0.001, 4, Quality<1>},
    FieldDescription{G::CrossoverTuning, "Freq Ofs. 3 (ratio)", "ratioField3", R::Fixed, 0.001, 100.0, 0.001, 4, Ratio<2>},
    FieldDescription{G::CrossoverTuning, "Q 3", "qField3", R::Fixed, 0.001, 100.0, 0.001, 4, Quality<2>},
    FieldDescription{G::CrossoverTuning, "Freq Ofs. 4 (ratio)", "ratioField4", R::Fixed, 0.001, 100.0, 0.001, 4, Ratio<3>},
    FieldDescription{G::CrossoverTuning, "Q 4", "qField4", R::Fixed, 0.001, 100.0, 0.001, 4, Quality<3>},
    FieldDescription{G::AllPass, "Freq. (Hz)", "freqField", R::Frequency, kNoLimit, kNoLimit, 0.1, 1,
              [](const FieldContext& c) { return c.band.allPass.freq; }},
    FieldDescription{G::AllPass, "Q", "qField", R::Fixed, 0.01, 25.0, 0.01, 3,
              [](const FieldContext& c) { return c.band.allPass.q; }},
    FieldDescription{G::Shelf, "Gain (dB)", "gainField", R::Fixed, -20.0, 20.0, 0.1, 1,
              [](const FieldContext& c) { return Shelf(c).gain; }},
    FieldDescription{G::Shelf, "Freq. (Hz)", "freqField", R::Frequency, kNoLimit, kNoLimit, 0.1, 1,
              [](const FieldContext& c) { return Shelf(c).freq; }},
    FieldDescription{G::Notch, "Freq. (Hz)", "notchFreqField", R::Frequency, kNoLimit, kNoLimit, 0.1, 2,
              [](const FieldContext& c) { return Notch(c).freq; }},
    FieldDescription{G::Notch, "Q", "notchQField", R::Fixed, 0.01, 25.0, 0.01, 4,
              [](const FieldContext& c) { return Notch(c).q; }},
    FieldDescription{G::Peq, "Freq. (Hz)", "peqFreqField", R::Frequency, kNoLimit, kNoLimit, 0.1, 2,
              [](const FieldContext& c) { return Peq(c).freq; }},
    FieldDescription{G::Peq, "Q", "peqQField", R::Fixed, 0.01, 25.0, 0.01, 4,
              [](const FieldContext& c) { return Peq(c).q; }},
    FieldDescription{G::Peq, "Gain (dB)", "peqGainField", R::Fixed, -20.0, 20.0, 0.1, 2,
              [](const FieldContext& c) { return Peq(c).gain; }},
    FieldDescription{G::BassTreble, "Bass (dB)", "bassField", R::Fixed, -18.0, 18.0, 0.5, 1,
              [](const FieldContext& c) { return c.band.bassGain; }},
    FieldDescription{G::BassTreble, "Treble (dB)", "trebleField", R::Fixed, -18.0, 18.0, 0.5, 1,
              [](const FieldContext& c) { return c.band.trebleGain; }},
    FieldDescription{G::Delay, "Delay (ms)", "delayField", R::DelayMs, kNoLimit, kNoLimit, kDelayStepMs, 3,
              [](const FieldContext& c) { return c.band.delay * 1000.0; }},
    FieldDescription{G::Gain, "Gain (dB)", "gainField", R::Fixed, -122.0, 24.0, 0.5, 1,
              [](const FieldContext& c) { return c.band.gain; }},
    FieldDescription{G::TargetLevel, "Level (dB)", "levelField", R::Fixed, -100.0, 200.0, 0.1, 1,
              [](const FieldContext& c) { return c.band.owner != nullptr ? c.band.owner->targetLevel : 0.0; }},
    FieldDescription{G::SplCurve, "Smooth", "smoothField", R::Fixed, kMinSmoothing, kMaxSmoothing, 1, 0,
              [](const FieldContext& c) { return static_cast<double>(c.band.splSmoothing); }},
    FieldDescription{G::Gate, "&Gate (ms)", "gateField", R::Fixed, kMinGateMs, kMaxGateMs, 0.1, 1,
              [](const FieldContext&) { return kDefaultGateMs; }},
};
// clang-format on

struct Bounds {
    double minimum;
    double maximum;
};

Bounds BoundsOf(const FieldDescription& description, const CBand& band) {
    double minimum = description.minimum;
    double maximum = description.maximum;
    double step = 0.0;
    switch (description.range) {
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

// The name tests find a field by: an item's number follows the name in the
// notch and equaliser dialogs.
QString FieldName(const FieldDescription& description, const FieldContext& context) {
    QString name = QString::fromLatin1(description.objectName);
    if (description.group == FieldGroup::Notch || description.group == FieldGroup::Peq) {
        name += QString::number(context.index + 1);
    }
    return name;
}

template <typename Field>
void Name(Field& field, const FieldDescription& description, const FieldContext& c) {
    field.setObjectName(FieldName(description, c));
    field.setAccessibleName(QString::fromLatin1(description.label));
}

} // namespace

std::span<const FieldDescription> FieldsOf(FieldGroup group) {
    const auto first =
        std::find_if(kFields.begin(), kFields.end(),
                     [group](const FieldDescription& f) { return f.group == group; });
    const auto last = std::find_if(first, kFields.end(),
                                   [group](const FieldDescription& f) { return f.group != group; });
    return {first, last};
}

VFloatSpinButton* BuildFloatField(const FieldDescription& description, const FieldContext& context,
                                  QWidget* parent) {
    auto* field = new VFloatSpinButton(parent);
    Name(*field, description, context);
    const Bounds bounds = BoundsOf(description, context.band);
    field->SetRange(bounds.minimum, bounds.maximum, description.step, description.decimals);
    field->SetValue(description.value(context));
    return field;
}

VIntSpinButton* BuildWholeField(const FieldDescription& description, const FieldContext& context,
                                QWidget* parent) {
    auto* field = new VIntSpinButton(parent);
    Name(*field, description, context);
    field->SetRange(static_cast<int>(description.minimum), static_cast<int>(description.maximum));
    field->SetValue(static_cast<int>(description.value(context)));
    return field;
}

} // namespace kv
