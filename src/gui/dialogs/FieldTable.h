#pragma once

#include <QString>
#include <span>

class QWidget;

namespace kv {

class CBand;
class VFloatSpinButton;
class VIntSpinButton;

// The dialogs' numeric fields by the dialog and part they belong to.
enum class FieldGroup {
    CrossoverTarget,
    CrossoverFilter,
    CrossoverTuning,
    AllPass,
    Shelf,
    Notch,
    Peq,
    BassTreble,
    Delay,
    Gain,
    TargetLevel,
    SplCurve,
    // The gate of a time response; the band does not keep it.
    Gate,
};

// Where a field's range comes from: fixed numbers, the band's filter
// frequencies (0.1 Hz to just under half its sample rate), or the delay in
// milliseconds the shared delay memory leaves the band.
enum class FieldRange { Fixed, Frequency, DelayMs };

// What a field edits, for its initial value: the band, and the crossover
// slot or the notch or equaliser item the dialog shows.
struct FieldContext {
    const CBand& band;
    int index = 0;
    bool highPass = true;
};

// One numeric field of a dialog: its label (with its "&" mnemonic), the
// object name tests find it by (an item's number is appended), its range,
// step and decimals (none for a whole-number field), and the model value it
// edits.
struct FieldDescription {
    FieldGroup group;
    const char* label;
    const char* objectName;
    FieldRange range;
    double minimum;
    double maximum;
    double step;
    int decimals;
    double (*value)(const FieldContext& context);
};

// The fields of one group, in the order the dialog shows them.
std::span<const FieldDescription> FieldsOf(FieldGroup group);

// Spin fields built from their descriptions: range, step, decimals, object
// and accessible names, and the value the model holds.
VFloatSpinButton* BuildFloatField(const FieldDescription& description, const FieldContext& context,
                                  QWidget* parent);
VIntSpinButton* BuildWholeField(const FieldDescription& description, const FieldContext& context,
                                QWidget* parent);

} // namespace kv
