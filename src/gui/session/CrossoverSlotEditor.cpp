#include "session/CrossoverSlotEditor.h"

#include "filters/AlignmentTable.h"
#include "model/CBand.h"
#include "ui/IMessageBox.h"

#include <algorithm>

namespace kv {
namespace {

constexpr const char* kNotEnoughBiquads =
    "There are not enough available biquads ! \n\nTry turning off any unused filters...";

bool Aligned(CrossoverType type) {
    return type == CrossoverType::LinkwitzRiley || type == CrossoverType::Bessel ||
           type == CrossoverType::Butterworth;
}

} // namespace

int SnapOrderOnTypeChange(CrossoverType type, int order) {
    switch (type) {
    case CrossoverType::LinkwitzRiley:
        return order < 3 ? 2 : (order < 5 ? 4 : 8);
    case CrossoverType::Bessel:
        return std::max(order, 2);
    case CrossoverType::Butterworth:
    case CrossoverType::Custom:
        break;
    }
    return order;
}

int SnapOrderOnField(CrossoverType type, int typed, int stored) {
    if (type == CrossoverType::LinkwitzRiley) {
        int order = typed;
        if (typed > stored) {
            order = typed == 3 ? 4 : (typed >= 5 && typed <= 7 ? 8 : typed);
        } else if (typed < stored) {
            order = typed == 3 ? 2 : (typed >= 5 && typed <= 7 ? 4 : typed);
        }
        return std::max(order, 2);
    }
    if (type == CrossoverType::Bessel) {
        return std::max(typed, 2);
    }
    return typed;
}

int SnappedForField(CrossoverType type, int typed, int stored) {
    int order = SnapOrderOnField(type, typed, stored);
    AlignmentRecord record;
    if (Aligned(type) && !LookupAlignment(record, order, type, true)) {
        order = SnapOrderOnTypeChange(type, order);
    }
    return order;
}

CrossoverType ShownFilterType(CrossoverType stored) {
    return Aligned(stored) ? stored : CrossoverType::Custom;
}

CrossoverType ShownTargetType(CrossoverType stored) {
    return Aligned(stored) ? stored : CrossoverType::LinkwitzRiley;
}

int ShownOrder(int order) {
    return order == 0 ? 2 : order;
}

double ShownRatio(std::size_t section, double ratio) {
    return section > 0 && ratio == 0.0 ? 1.0 : ratio;
}

std::array<bool, 2 * kCrossoverSections> TuningFieldsEnabled(CrossoverType type, int order) {
    std::array<bool, 2 * kCrossoverSections> enabled{};
    for (std::size_t i = 0; i < enabled.size(); ++i) {
        enabled[i] = type == CrossoverType::Custom && order > static_cast<int>(i);
    }
    return enabled;
}

CrossoverSlotEditor::CrossoverSlotEditor(const FieldContext& context, IMessageBox& messages)
    : context_(context), messages_(messages) {}

const char* CrossoverSlotEditor::Title() const {
    return context_.side == CrossoverSide::HighPass ? "High-pass Filter" : "Low-pass Filter";
}

CrossoverSettings CrossoverSlotEditor::StoredTarget() const {
    CrossoverSettings settings;
    context_.Band().GetCrossoverTarget(context_.side, context_.index, settings);
    return settings;
}

CrossoverSettings CrossoverSlotEditor::StoredFilter() const {
    CrossoverSettings settings;
    context_.Band().GetCrossover(context_.side, context_.index, settings);
    return settings;
}

CrossoverType CrossoverSlotEditor::TargetType() const {
    return ShownTargetType(StoredTarget().type);
}

CrossoverType CrossoverSlotEditor::FilterType() const {
    return customChosen_ ? CrossoverType::Custom : ShownFilterType(StoredFilter().type);
}

bool CrossoverSlotEditor::Enabled() const {
    return context_.Band().CrossoverEnabled(context_.side, context_.index);
}

bool CrossoverSlotEditor::FilterRow(const FieldRow& row) const {
    return std::find(kTargetRows.begin(), kTargetRows.end(), row.name) == kTargetRows.end();
}

CrossoverSettings CrossoverSlotEditor::ShownCustomFilter() const {
    CrossoverSettings filter = StoredFilter();
    filter.type = CrossoverType::Custom;
    filter.order = ShownOrder(filter.order);
    for (std::size_t k = 0; k < kCrossoverSections; ++k) {
        filter.freqOfs[k] = ShownValue(Row(kTuningRows[2 * k]), context_);
        filter.q[k] = ShownValue(Row(kTuningRows[2 * k + 1]), context_);
    }
    return filter;
}

void CrossoverSlotEditor::Refused() const {
    messages_.ShowError(kNotEnoughBiquads);
}

// The target may change whatever becomes of the filter; a refused target
// (out of range) is not the budget's concern and goes unsaid.
void CrossoverSlotEditor::ApplyField(const FieldRow& row, double value) {
    if (!FilterRow(row)) {
        row.write(context_, value);
        return;
    }
    const CrossoverSettings before = StoredFilter();
    if (customChosen_ &&
        !context_.Band().SetCrossover(context_.side, context_.index, ShownCustomFilter())) {
        Refused();
        return;
    }
    if (!row.write(context_, value)) {
        context_.Band().SetCrossover(context_.side, context_.index, before);
        Refused();
        return;
    }
    customChosen_ = false;
}

void CrossoverSlotEditor::TargetTypeChosen(CrossoverType type) {
    const CrossoverSettings stored = StoredTarget();
    context_.Band().SetCrossoverTarget(context_.side, context_.index,
                                       AlignedSettings(type,
                                                       SnapOrderOnTypeChange(type, stored.order),
                                                       stored.freq, context_.side));
}

// "Custom..." stores nothing: the next field change stores the tuning shown.
void CrossoverSlotEditor::FilterTypeChosen(CrossoverType type) {
    if (type == CrossoverType::Custom) {
        customChosen_ = ShownFilterType(StoredFilter().type) != CrossoverType::Custom;
        return;
    }
    const CrossoverSettings stored = StoredFilter();
    const CrossoverSettings filter = AlignedSettings(
        type, SnapOrderOnTypeChange(type, stored.order), stored.freq, context_.side);
    if (!context_.Band().SetCrossover(context_.side, context_.index, filter)) {
        Refused();
        return;
    }
    customChosen_ = false;
}

void CrossoverSlotEditor::EnabledClicked() {
    if (!context_.Band().EnableCrossover(context_.side, context_.index, !Enabled())) {
        Refused();
    }
}

} // namespace kv
