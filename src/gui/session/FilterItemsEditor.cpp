#include "session/FilterItemsEditor.h"

#include "model/CBand.h"
#include "model/FilterImport.h"
#include "ui/IMessageBox.h"

#include <algorithm>
#include <utility>

namespace kv {
namespace {

constexpr const char* kNoBiquadsLeft =
    "There are no available biquads left ! \n\nTry turning off any unused filters...";

constexpr const char* kValuesOutOfRange =
    "This filter holds values outside the ranges of its fields (an older design "
    "may). Correct them before switching it on.";

// A message box lists this many lines of a filter list at most; a list of
// hundreds would push its buttons off the screen.
constexpr std::size_t kMaxListedLines = 12;

// The lines under a heading, one per line, the rest counted.
std::string ListedLines(const std::string& heading, const std::vector<FilterLineMessage>& lines) {
    std::string text = heading;
    for (std::size_t i = 0; i < lines.size() && i < kMaxListedLines; ++i) {
        text += "\n" + DescribeLineMessage(lines[i]);
    }
    if (lines.size() > kMaxListedLines) {
        text += "\n... and " + std::to_string(lines.size() - kMaxListedLines) + " more";
    }
    return text;
}

std::string FiltersThatFit(std::size_t count) {
    return count == 1 ? "the filter that fits"
                      : "the " + std::to_string(count) + " filters that fit";
}

// The item's switch among a band's settings (or a copy of them).
template <typename Settings> auto& EnabledIn(Settings& settings, FilterItems items, std::size_t k) {
    switch (items) {
    case FilterItems::AllPass:
        return settings.allPass.enabled;
    case FilterItems::LowShelf:
        return settings.lowShelf.enabled;
    case FilterItems::HighShelf:
        return settings.highShelf.enabled;
    case FilterItems::Notches:
        return settings.notch[k].enabled;
    case FilterItems::Peqs:
        break;
    }
    return settings.peq[k].enabled;
}

} // namespace

std::vector<std::string_view> ItemRows(FilterItems items) {
    switch (items) {
    case FilterItems::AllPass:
        return {"allPassFreq", "allPassQ"};
    case FilterItems::LowShelf:
    case FilterItems::HighShelf:
        return {"shelfGain", "shelfFreq"};
    case FilterItems::Notches:
        return {"notchFreq", "notchQ"};
    case FilterItems::Peqs:
        break;
    }
    return {"peqFreq", "peqQ", "peqGain"};
}

int ItemCount(FilterItems items) {
    switch (items) {
    case FilterItems::Notches:
        return kNotches;
    case FilterItems::Peqs:
        return kEqualisers;
    case FilterItems::AllPass:
    case FilterItems::LowShelf:
    case FilterItems::HighShelf:
        break;
    }
    return 1;
}

// Stored as they are, not through the setters: an older file may hold an
// equaliser outside today's ranges, which a setter would refuse and lose.
void SortPeqs(CBand& band) {
    BandSettings sorted = band.Settings();
    std::stable_sort(sorted.peq.begin(), sorted.peq.end(),
                     [](const PeqSettings& a, const PeqSettings& b) {
                         if (a.enabled != b.enabled) {
                             return a.enabled;
                         }
                         if (a.freq != b.freq) {
                             return a.freq < b.freq;
                         }
                         if (a.gain != b.gain) {
                             return a.gain > b.gain;
                         }
                         return a.q > b.q;
                     });
    band.SetSettings(sorted);
}

FilterItemsEditor::FilterItemsEditor(CBand& band, FilterItems items, IMessageBox& messages)
    : band_(band), items_(items), messages_(messages) {}

int FilterItemsEditor::ContextIndex(int item) const {
    return items_ == FilterItems::HighShelf ? 1 : item;
}

bool FilterItemsEditor::Enabled(int item) const {
    return EnabledIn(band_.Settings(), items_, static_cast<std::size_t>(item));
}

// Switched on with the values it holds, through its setter.
bool FilterItemsEditor::SwitchOn(int item) {
    const auto k = static_cast<std::size_t>(item);
    switch (items_) {
    case FilterItems::AllPass:
        return band_.SetAllPass(band_.allPass.freq, band_.allPass.q, true);
    case FilterItems::LowShelf:
        return band_.SetLowShelf(band_.lowShelf.gain, band_.lowShelf.freq, true);
    case FilterItems::HighShelf:
        return band_.SetHighShelf(band_.highShelf.gain, band_.highShelf.freq, true);
    case FilterItems::Notches:
        return band_.SetNotch(item, band_.notch[k].freq, band_.notch[k].q, true);
    case FilterItems::Peqs:
        break;
    }
    return band_.SetPeq(item, band_.peq[k].gain, band_.peq[k].freq, band_.peq[k].q, true);
}

// Switching off only frees biquads, so it goes without the setters' checks:
// a filter an older design holds outside today's ranges can always be
// switched off.
bool FilterItemsEditor::ToggleEnabled(int item) {
    if (Enabled(item)) {
        BandSettings switchedOff = band_.Settings();
        EnabledIn(switchedOff, items_, static_cast<std::size_t>(item)) = false;
        band_.SetSettings(switchedOff);
        return true;
    }
    if (band_.FreeBiquads() == 0) {
        messages_.ShowError(kNoBiquadsLeft);
        return false;
    }
    if (!SwitchOn(item)) {
        messages_.ShowError(kValuesOutOfRange);
        return false;
    }
    return true;
}

bool FilterItemsEditor::ConfirmImport(const FilterImportPlan& plan) {
    std::string question =
        ListedLines("These lines of the filter list do not fit the band:", plan.misfits);
    if (!plan.notes.empty()) {
        question += "\n\n" + ListedLines("Taken differently:", plan.notes);
    }
    question += "\n\nImport " + FiltersThatFit(plan.placements.size()) + "? No imports nothing.";
    return messages_.Ask(question, kMessageCaption, IMessageBox::Buttons::YesNo,
                         IMessageBox::Icon::Question) == IMessageBox::Answer::Yes;
}

bool FilterItemsEditor::ImportFilters(const std::filesystem::path& path) {
    FilterImportPlan plan;
    std::string error;
    if (!PlanFilterImport(path, band_, plan, error)) {
        messages_.ShowError(error);
        return false;
    }
    if (plan.placements.empty()) {
        messages_.ShowError(
            ListedLines("None of the filters of the list fits the band:", plan.misfits));
        return false;
    }
    if (!plan.misfits.empty() && !ConfirmImport(plan)) {
        return false;
    }
    if (!ApplyFilterImport(plan, band_)) {
        messages_.ShowError("The band refused the filters; nothing was imported.");
        return false;
    }
    SortPeqs(band_);
    if (plan.misfits.empty() && !plan.notes.empty()) {
        messages_.Show(ListedLines("Imported; taken differently:", plan.notes), kMessageCaption,
                       IMessageBox::Icon::Information);
    }
    return true;
}

} // namespace kv
