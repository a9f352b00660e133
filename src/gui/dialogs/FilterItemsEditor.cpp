#include "dialogs/FilterItemsEditor.h"

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

} // namespace

FieldGroup GroupOf(FilterItems items) {
    switch (items) {
    case FilterItems::AllPass:
        return FieldGroup::AllPass;
    case FilterItems::LowShelf:
    case FilterItems::HighShelf:
        return FieldGroup::Shelf;
    case FilterItems::Notches:
        return FieldGroup::Notch;
    case FilterItems::Peqs:
        return FieldGroup::Peq;
    }
    return FieldGroup::AllPass;
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
    SectionFilters filters = band.GetSectionFilters();
    std::stable_sort(filters.peq.begin(), filters.peq.end(),
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
    band.RestoreSectionFilters(filters);
}

FilterItemsEditor::FilterItemsEditor(CBand& band, FilterItems items, IMessageBox& messages,
                                     std::function<void()> changed)
    : band_(band), items_(items), messages_(messages), changed_(std::move(changed)),
      saved_(band.GetSectionFilters()) {}

// The values in the order of the group's fields: frequency and Q (all-pass,
// notch), gain and frequency (shelf), frequency, Q and gain (equaliser).
ItemView FilterItemsEditor::Read(int item) const {
    const auto k = static_cast<std::size_t>(item);
    switch (items_) {
    case FilterItems::AllPass:
        return {{band_.allPass.freq, band_.allPass.q, 0.0}, band_.allPass.enabled};
    case FilterItems::LowShelf:
        return {{band_.lowShelf.gain, band_.lowShelf.freq, 0.0}, band_.lowShelf.enabled};
    case FilterItems::HighShelf:
        return {{band_.highShelf.gain, band_.highShelf.freq, 0.0}, band_.highShelf.enabled};
    case FilterItems::Notches:
        return {{band_.notch[k].freq, band_.notch[k].q, 0.0}, band_.notch[k].enabled};
    case FilterItems::Peqs:
        return {{band_.peq[k].freq, band_.peq[k].q, band_.peq[k].gain}, band_.peq[k].enabled};
    }
    return {};
}

bool FilterItemsEditor::Write(int item, const ItemView& view) {
    const ItemValues& v = view.values;
    switch (items_) {
    case FilterItems::AllPass:
        return band_.SetAllPass(v[0], v[1], view.enabled);
    case FilterItems::LowShelf:
        return band_.SetLowShelf(v[0], v[1], view.enabled);
    case FilterItems::HighShelf:
        return band_.SetHighShelf(v[0], v[1], view.enabled);
    case FilterItems::Notches:
        return band_.SetNotch(item, v[0], v[1], view.enabled);
    case FilterItems::Peqs:
        return band_.SetPeq(item, v[2], v[0], v[1], view.enabled);
    }
    return false;
}

std::vector<ItemView> FilterItemsEditor::View() const {
    std::vector<ItemView> view;
    for (int k = 0; k < ItemCount(items_); ++k) {
        view.push_back(Read(k));
    }
    return view;
}

std::vector<ItemView> FilterItemsEditor::ApplyValues(int item, const ItemView& shown) {
    ItemView values = shown;
    values.enabled = Read(item).enabled;
    Write(item, values);
    changed_();
    return View();
}

// Switching off only frees biquads, so it goes without the setters' checks:
// a filter an older design holds outside today's ranges can always be
// switched off.
bool FilterItemsEditor::ToggleEnabled(int item) {
    ItemView view = Read(item);
    if (view.enabled) {
        SectionFilters filters = band_.GetSectionFilters();
        EnabledOf(filters, static_cast<std::size_t>(item)) = false;
        band_.RestoreSectionFilters(filters);
    } else if (band_.FreeBiquads() == 0) {
        messages_.ShowError(kNoBiquadsLeft);
        return false;
    } else {
        view.enabled = true;
        if (!Write(item, view)) {
            messages_.ShowError(kValuesOutOfRange);
            return false;
        }
    }
    changed_();
    return true;
}

bool& FilterItemsEditor::EnabledOf(SectionFilters& filters, std::size_t k) const {
    switch (items_) {
    case FilterItems::AllPass:
        return filters.allPass.enabled;
    case FilterItems::LowShelf:
        return filters.lowShelf.enabled;
    case FilterItems::HighShelf:
        return filters.highShelf.enabled;
    case FilterItems::Notches:
        return filters.notch[k].enabled;
    case FilterItems::Peqs:
        break;
    }
    return filters.peq[k].enabled;
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
    changed_();
    if (plan.misfits.empty() && !plan.notes.empty()) {
        messages_.Show(ListedLines("Imported; taken differently:", plan.notes), kMessageCaption,
                       IMessageBox::Icon::Information);
    }
    return true;
}

// Everything the dialog may have changed, also other kinds than its own (a
// filter import into the equalisers brings notches and shelves too).
void FilterItemsEditor::Cancel() {
    band_.RestoreSectionFilters(saved_);
    changed_();
}

} // namespace kv
