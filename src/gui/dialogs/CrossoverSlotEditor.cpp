#include "dialogs/CrossoverSlotEditor.h"

#include "filters/AlignmentTable.h"
#include "model/CBand.h"
#include "ui/IMessageBox.h"

#include <utility>

namespace kv {
namespace {

constexpr const char* kNotEnoughBiquads =
    "There are not enough available biquads ! \n\nTry turning off any unused filters...";

bool Aligned(CrossoverType type) {
    return type == CrossoverType::LinkwitzRiley || type == CrossoverType::Bessel ||
           type == CrossoverType::Butterworth;
}

// The type lists show any other stored type as "Custom..." (filter) or
// "Linkwitz-Riley" (target).
CrossoverType ShownFilterType(CrossoverType stored) {
    return Aligned(stored) ? stored : CrossoverType::Custom;
}

CrossoverType ShownTargetType(CrossoverType stored) {
    return Aligned(stored) ? stored : CrossoverType::LinkwitzRiley;
}

int ShownOrder(int order) {
    return order == 0 ? 2 : order;
}

// The order snapped for a field change; an order the type does not have
// (a Linkwitz-Riley order 5 from a file, left as it was) is snapped as a
// type change would, so that the alignment is always found.
int SnappedForField(CrossoverType type, int typed, int stored) {
    int order = SnapOrderOnField(type, typed, stored);
    AlignmentRecord record;
    if (Aligned(type) && !LookupAlignment(record, order, type, true)) {
        order = SnapOrderOnTypeChange(type, order);
    }
    return order;
}

// The settings of an aligned filter: the table's sections for its order.
CrossoverSettings AlignedSettings(CrossoverType type, int order, double freq, bool highPass) {
    CrossoverSettings settings;
    settings.type = type;
    settings.order = order;
    settings.freq = freq;
    AlignmentRecord record;
    LookupAlignment(record, order, type, highPass);
    for (std::size_t k = 0; k < kCrossoverSections; ++k) {
        settings.freqOfs[k] = record.sections[k].ratio;
        settings.q[k] = record.sections[k].q;
    }
    return settings;
}

// The tuning fields show a section the filter lacks (ratio 0) as ratio 1.
void ShowTuning(CrossoverView& view, const CrossoverSettings& settings) {
    for (std::size_t k = 0; k < kCrossoverSections; ++k) {
        view.ratios[k] = k > 0 && settings.freqOfs[k] == 0.0 ? 1.0 : settings.freqOfs[k];
        view.qs[k] = settings.q[k];
    }
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

std::array<bool, 2 * kCrossoverSections> TuningFieldsEnabled(CrossoverType type, int order) {
    std::array<bool, 2 * kCrossoverSections> enabled{};
    for (std::size_t i = 0; i < enabled.size(); ++i) {
        enabled[i] = type == CrossoverType::Custom && order > static_cast<int>(i);
    }
    return enabled;
}

CrossoverSlotEditor::CrossoverSlotEditor(CBand& band, CrossoverSide side, int slot,
                                         IMessageBox& messages, std::function<void()> changed)
    : band_(band), side_(side), slot_(slot), messages_(messages),
      changed_(std::move(changed)), saved_{StoredTarget(), StoredFilter(), StoredEnabled()} {}

const char* CrossoverSlotEditor::Title() const {
    return side_ == CrossoverSide::HighPass ? "High-pass Filter" : "Low-pass Filter";
}

CrossoverSettings CrossoverSlotEditor::StoredTarget() const {
    CrossoverSettings settings;
    if (side_ == CrossoverSide::HighPass) {
        band_.GetHighPassTarget(slot_, settings);
    } else {
        band_.GetLowPassTarget(slot_, settings);
    }
    return settings;
}

CrossoverSettings CrossoverSlotEditor::StoredFilter() const {
    CrossoverSettings settings;
    if (side_ == CrossoverSide::HighPass) {
        band_.GetHighPass(slot_, settings);
    } else {
        band_.GetLowPass(slot_, settings);
    }
    return settings;
}

bool CrossoverSlotEditor::StoredEnabled() const {
    const auto k = static_cast<std::size_t>(slot_);
    return side_ == CrossoverSide::HighPass ? band_.hpEnabled[k] : band_.lpEnabled[k];
}

bool CrossoverSlotEditor::SetFilter(const CrossoverSettings& settings) {
    return side_ == CrossoverSide::HighPass ? band_.SetHighPass(slot_, settings)
                                            : band_.SetLowPass(slot_, settings);
}

void CrossoverSlotEditor::SetTarget(const CrossoverSettings& settings) {
    if (side_ == CrossoverSide::HighPass) {
        band_.SetHighPassTarget(slot_, settings);
    } else {
        band_.SetLowPassTarget(slot_, settings);
    }
}

CrossoverView CrossoverSlotEditor::InitialView() const {
    CrossoverView view;
    view.targetType = ShownTargetType(saved_.target.type);
    view.targetOrder = ShownOrder(saved_.target.order);
    view.targetFreq = saved_.target.freq;
    view.filterType = ShownFilterType(saved_.filter.type);
    view.filterOrder = ShownOrder(saved_.filter.order);
    view.filterFreq = saved_.filter.freq;
    ShowTuning(view, saved_.filter);
    view.enabled = saved_.enabled;
    return view;
}

void CrossoverSlotEditor::ShowStoredFilter(CrossoverView& view, bool enabledToo) const {
    const CrossoverSettings stored = StoredFilter();
    view.filterType = ShownFilterType(stored.type);
    view.filterOrder = ShownOrder(stored.order);
    view.filterFreq = stored.freq;
    ShowTuning(view, stored);
    if (enabledToo) {
        view.enabled = StoredEnabled();
    }
}

void CrossoverSlotEditor::Refused() const {
    messages_.ShowError(kNotEnoughBiquads);
}

void CrossoverSlotEditor::ApplySettings(CrossoverView& view) {
    const bool highPass = side_ == CrossoverSide::HighPass;
    view.targetOrder = SnappedForField(view.targetType, view.targetOrder, StoredTarget().order);
    SetTarget(AlignedSettings(view.targetType, view.targetOrder, view.targetFreq, highPass));

    const int order = SnappedForField(view.filterType, view.filterOrder, StoredFilter().order);
    CrossoverSettings filter;
    if (view.filterType == CrossoverType::Custom) {
        filter.type = CrossoverType::Custom;
        filter.order = order;
        filter.freq = view.filterFreq;
        filter.freqOfs = view.ratios;
        filter.q = view.qs;
    } else {
        filter = AlignedSettings(view.filterType, order, view.filterFreq, highPass);
        ShowTuning(view, filter);
    }
    if (SetFilter(filter)) {
        view.filterOrder = order;
    } else {
        ShowStoredFilter(view, false);
        Refused();
    }
    // The target may have changed even when the filter was refused.
    changed_();
}

void CrossoverSlotEditor::TargetTypeChanged(CrossoverView& view) {
    const CrossoverSettings stored = StoredTarget();
    view.targetOrder = SnapOrderOnTypeChange(view.targetType, stored.order);
    SetTarget(AlignedSettings(view.targetType, view.targetOrder, stored.freq,
                              side_ == CrossoverSide::HighPass));
    changed_();
}

// "Custom..." stores nothing: the next field change stores the tuning shown.
void CrossoverSlotEditor::FilterTypeChanged(CrossoverView& view) {
    const CrossoverSettings stored = StoredFilter();
    if (view.filterType == CrossoverType::Custom) {
        view.filterOrder = ShownOrder(stored.order);
        return;
    }
    const int order = SnapOrderOnTypeChange(view.filterType, stored.order);
    const CrossoverSettings filter =
        AlignedSettings(view.filterType, order, stored.freq, side_ == CrossoverSide::HighPass);
    if (!SetFilter(filter)) {
        ShowStoredFilter(view, false);
        Refused();
        return;
    }
    view.filterOrder = order;
    ShowTuning(view, filter);
    changed_();
}

void CrossoverSlotEditor::EnabledClicked(CrossoverView& view) {
    const bool on = !StoredEnabled();
    const bool done = side_ == CrossoverSide::HighPass ? band_.EnableHighPass(slot_, on)
                                                       : band_.EnableLowPass(slot_, on);
    if (!done) {
        ShowStoredFilter(view, true);
        Refused();
        return;
    }
    view.enabled = on;
    changed_();
}

void CrossoverSlotEditor::Cancel() {
    if (side_ == CrossoverSide::HighPass) {
        band_.RestoreHighPass(slot_, saved_);
    } else {
        band_.RestoreLowPass(slot_, saved_);
    }
    changed_();
}

} // namespace kv
