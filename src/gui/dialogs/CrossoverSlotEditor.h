#pragma once

#include "filters/FilterSettings.h"

#include <array>
#include <functional>

namespace kv {

class CBand;
class IMessageBox;

enum class CrossoverSide { HighPass, LowPass };

// What the crossover dialog shows of its slot: the target, the filter, the
// custom tuning fields and the enable box.
struct CrossoverView {
    CrossoverType targetType = CrossoverType::LinkwitzRiley;
    int targetOrder = 2;
    double targetFreq = 0.0;
    CrossoverType filterType = CrossoverType::LinkwitzRiley;
    int filterOrder = 2;
    double filterFreq = 0.0;
    std::array<double, kCrossoverSections> ratios{};
    std::array<double, kCrossoverSections> qs{};
    bool enabled = false;
};

// The two order rules: a type change snaps the stored order to one the type
// has (Linkwitz-Riley 2, 4 or 8; Bessel from 2); a field change snaps the
// typed order n against the stored order s so that a Linkwitz-Riley order
// walks 2, 4, 8 and back.
int SnapOrderOnTypeChange(CrossoverType type, int order);
int SnapOrderOnField(CrossoverType type, int typed, int stored);

// Which of the eight tuning fields (ratio 1, Q 1, ratio 2, … Q 4) take input:
// those of the sections a custom filter of that order has.
std::array<bool, 2 * kCrossoverSections> TuningFieldsEnabled(CrossoverType type, int order);

// The editing of one high-pass or low-pass slot of a band, without the
// dialog: every change goes into the band through its setters at once, and
// the caller's changed() then recomputes and redraws. Each handler takes the
// view as the dialog shows it and leaves in it what the dialog should show
// next.
class CrossoverSlotEditor {
public:
    CrossoverSlotEditor(CBand& band, CrossoverSide side, int slot, IMessageBox& messages,
                        std::function<void()> changed);

    // The slot as the dialog opens on it.
    CrossoverView InitialView() const;

    // A numeric field changed: target and filter from the view.
    void ApplySettings(CrossoverView& view);
    // A type was chosen in the target or the filter list.
    void TargetTypeChanged(CrossoverView& view);
    void FilterTypeChanged(CrossoverView& view);
    // "&Enabled" was clicked.
    void EnabledClicked(CrossoverView& view);
    // Puts the slot back exactly as it was when the dialog opened.
    void Cancel();

    const char* Title() const;
    int Slot() const { return slot_; }

private:
    CrossoverSettings StoredTarget() const;
    CrossoverSettings StoredFilter() const;
    bool StoredEnabled() const;
    bool SetFilter(const CrossoverSettings& settings);
    void SetTarget(const CrossoverSettings& settings);
    // The filter as the band holds it, in the view, after the band refused
    // a change.
    void ShowStoredFilter(CrossoverView& view, bool enabledToo) const;
    void Refused() const;

    CBand& band_;
    CrossoverSide side_;
    int slot_;
    IMessageBox& messages_;
    std::function<void()> changed_;
    CrossoverSlot saved_;
};

} // namespace kv
