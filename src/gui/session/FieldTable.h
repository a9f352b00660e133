#pragma once

#include "filters/FilterSettings.h"

#include <array>
#include <string>
#include <string_view>

namespace kv {

class CBand;
class CConfiguration;
struct ImpulseGate;
struct SplPhase;

// What a field edits: the design, the band, the crossover slot, notch,
// equaliser or shelf (0 low, 1 high) the dialog shows and, for the SPL Curve
// dialog, its gate and phase, which the band does not keep.
struct FieldContext {
    CConfiguration& design;
    int band = 0;
    int index = 0;
    CrossoverSide side = CrossoverSide::HighPass;
    ImpulseGate* gate = nullptr;
    SplPhase* phase = nullptr;

    CBand& Band() const;
};

// Where a field's range comes from: fixed numbers, the band's filter
// frequencies (0.1 Hz to just under half its sample rate), or the delay in
// milliseconds the shared delay memory leaves the band.
enum class FieldRange { Fixed, Frequency, DelayMs };

// An arrow or a wheel notch moves a frequency by this ratio (1/48 octave):
// as far on the ear at 30 Hz as at 3 kHz. Shift takes the row's own step.
inline constexpr double kFrequencyStepRatio = 1.0145453349375237;

// One numeric field of a dialog, both ways: the name a dialog asks for it
// by, its label (with its "&" mnemonic) and the object name tests find its
// field by (with an item's number after it when numbered), its range, step
// and decimals (none for a whole-number field), how it reads the setting it
// shows and how it writes a value through the setter (false when the setter
// refuses it).
struct FieldRow {
    const char* name;
    const char* label;
    const char* objectName;
    bool numbered;
    FieldRange range;
    double minimum;
    double maximum;
    double step;
    int decimals;
    double (*read)(const FieldContext& context);
    bool (*write)(const FieldContext& context, double value);
};

// The row of that name; the dialogs ask only for rows the table has.
const FieldRow& Row(std::string_view name);

// A field's ends, in its own units, for the design as it is now.
struct FieldBounds {
    double minimum;
    double maximum;
};
FieldBounds BoundsOf(const FieldRow& row, const FieldContext& context);

// The object name of a row's field: an item's number (from 1) follows a
// numbered row's name.
std::string FieldObjectName(const FieldRow& row, const FieldContext& context);

// The value a field shows of its row's setting: what the row reads, held
// within the field's range.
double ShownValue(const FieldRow& row, const FieldContext& context);

// The five corner frequencies of the band's sample rate, as the corner lists
// show them ("1500 Hz"), for selections 1 to 5.
std::array<std::string, 5> CornerTexts(const CBand& band, bool treble);

} // namespace kv
