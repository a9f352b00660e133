#pragma once

#include "filters/AlignmentTable.h"
#include "filters/FilterSettings.h"
#include "session/FieldTable.h"

#include <array>
#include <cstddef>
#include <string_view>

namespace kv {

class IMessageBox;

// The two order rules: a type change snaps the stored order to one the type
// has (Linkwitz-Riley 2, 4 or 8; Bessel from 2); a field change snaps the
// typed order n against the stored order s so that a Linkwitz-Riley order
// walks 2, 4, 8 and back.
int SnapOrderOnTypeChange(CrossoverType type, int order);
int SnapOrderOnField(CrossoverType type, int typed, int stored);
// The order snapped for a field change; an order the type does not have (a
// Linkwitz-Riley order 5 from a file) is snapped as a type change would, so
// that the alignment is always found.
int SnappedForField(CrossoverType type, int typed, int stored);

// How the dialog shows what a slot holds: any other stored type as
// "Custom..." (filter) or "Linkwitz-Riley" (target), an order of 0 (an empty
// slot of an old file) as 2, and a ratio of 0 past the first section (a
// section the filter does not have) as 1.
CrossoverType ShownFilterType(CrossoverType stored);
CrossoverType ShownTargetType(CrossoverType stored);
int ShownOrder(int order);
double ShownRatio(std::size_t section, double ratio);

// Which of the eight tuning fields (ratio 1, Q 1, ratio 2, … Q 4) take input:
// those of the sections a custom filter of that order has.
std::array<bool, 2 * kCrossoverSections> TuningFieldsEnabled(CrossoverType type, int order);

// The fields of the crossover dialog by row name: the target's, the
// filter's, then the tuning's (ratio 1, Q 1, … Q 4).
inline constexpr std::array<std::string_view, 2> kTargetRows = {"targetFreq", "targetOrder"};
inline constexpr std::array<std::string_view, 2> kFilterRows = {"filterFreq", "filterOrder"};
inline constexpr std::array<std::string_view, 2 * kCrossoverSections> kTuningRows = {
    "ratio1", "q1", "ratio2", "q2", "ratio3", "q3", "ratio4", "q4"};

// The editing of one high-pass or low-pass slot of a band, without the
// dialog: every change goes into the band through its setters at once, and
// a refusal is told to the user. Choosing "Custom..." stores nothing until
// a field changes: then the custom filter is stored with the tuning the
// dialog shows.
class CrossoverSlotEditor {
public:
    // The slot is that of context.side and context.index.
    CrossoverSlotEditor(const FieldContext& context, IMessageBox& messages);

    // A numeric field of the row changed to value.
    void ApplyField(const FieldRow& row, double value);
    // A type was chosen in the target or the filter list.
    void TargetTypeChosen(CrossoverType type);
    void FilterTypeChosen(CrossoverType type);
    // "&Enabled" was clicked.
    void EnabledClicked();

    // What the type lists and the enable box show.
    CrossoverType TargetType() const;
    CrossoverType FilterType() const;
    bool Enabled() const;

    const FieldContext& Context() const { return context_; }
    const char* Title() const;

private:
    CrossoverSettings StoredTarget() const;
    CrossoverSettings StoredFilter() const;
    bool FilterRow(const FieldRow& row) const;
    // The custom filter the dialog shows while "Custom..." is chosen and not
    // yet stored.
    CrossoverSettings ShownCustomFilter() const;
    void Refused() const;

    FieldContext context_;
    IMessageBox& messages_;
    bool customChosen_ = false;
};

} // namespace kv
