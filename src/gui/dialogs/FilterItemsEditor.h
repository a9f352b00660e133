#pragma once

#include "dialogs/FieldTable.h"
#include "filters/FilterSettings.h"

#include <array>
#include <filesystem>
#include <functional>
#include <vector>

namespace kv {

class CBand;
class IMessageBox;
struct FilterImportPlan;

// The one-section filters a dialog edits as items: the all-pass, a shelf,
// the six notches or the fourteen equalisers. Each item has the values of
// its group's fields, in the field table's order, and an enable flag.
enum class FilterItems { AllPass, LowShelf, HighShelf, Notches, Peqs };

inline constexpr std::size_t kMaxItemValues = 3;
using ItemValues = std::array<double, kMaxItemValues>;

struct ItemView {
    ItemValues values{};
    bool enabled = false;
};

// The field group of the items and how many items there are.
FieldGroup GroupOf(FilterItems items);
int ItemCount(FilterItems items);

// Puts the equalisers in the order the dialog shows them: enabled ones
// first, then by ascending frequency, descending gain and descending Q.
void SortPeqs(CBand& band);

// The editing of a band's items without the dialog: every change goes into
// the band at once, the caller's changed() recomputes and redraws.
class FilterItemsEditor {
public:
    FilterItemsEditor(CBand& band, FilterItems items, IMessageBox& messages,
                      std::function<void()> changed);

    // The items as the band holds them.
    std::vector<ItemView> View() const;
    // A field of an item changed: the item is set from its values, keeping
    // its enable flag. Returns the items as the band then holds them: a
    // value the band refused shows what it holds instead.
    std::vector<ItemView> ApplyValues(int item, const ItemView& shown);
    // An item's enable box was clicked; false, after telling the user, when
    // no biquad is free to enable it.
    bool ToggleEnabled(int item);
    // Puts every item back as the dialog found it.
    void Cancel();
    // Brings the filter list of a room-measurement program or a PC
    // equaliser into the band: everything at once when it all fits, else
    // what fits when the user agrees after reading what does not. The
    // equalisers end sorted. False, after telling the user why, when
    // nothing was imported.
    bool ImportFilters(const std::filesystem::path& path);

private:
    bool ConfirmImport(const FilterImportPlan& plan);

    ItemView Read(int item) const;
    bool Write(int item, const ItemView& view);
    // The item's switch among a copy of the band's filters.
    bool& EnabledOf(SectionFilters& filters, std::size_t k) const;

    CBand& band_;
    FilterItems items_;
    IMessageBox& messages_;
    std::function<void()> changed_;
    SectionFilters saved_;
};

} // namespace kv
