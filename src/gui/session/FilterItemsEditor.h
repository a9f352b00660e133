#pragma once

#include "session/FieldTable.h"

#include <filesystem>
#include <string_view>
#include <vector>

namespace kv {

class CBand;
class IMessageBox;
struct FilterImportPlan;

// The one-section filters a dialog edits as items: the all-pass, a shelf,
// the six notches or the fourteen equalisers. Each item has the fields of
// its rows and an enable flag.
enum class FilterItems { AllPass, LowShelf, HighShelf, Notches, Peqs };

// The rows of each item, in the order the dialog shows them, and how many
// items there are.
std::vector<std::string_view> ItemRows(FilterItems items);
int ItemCount(FilterItems items);

// Puts the equalisers in the order the dialog shows them: enabled ones
// first, then by ascending frequency, descending gain and descending Q.
void SortPeqs(CBand& band);

// The switching and importing of a band's items without the dialog; their
// values go through their rows. Every change goes into the band at once.
class FilterItemsEditor {
public:
    FilterItemsEditor(CBand& band, FilterItems items, IMessageBox& messages);

    // Whether an item is switched on.
    bool Enabled(int item) const;
    // An item's enable box was clicked; false, after telling the user, when
    // no biquad is free to enable it.
    bool ToggleEnabled(int item);
    // Brings the filter list of a room-measurement program or a PC
    // equaliser into the band: everything at once when it all fits, else
    // what fits when the user agrees after reading what does not. The
    // equalisers end sorted. False, after telling the user why, when
    // nothing was imported.
    bool ImportFilters(const std::filesystem::path& path);

    // Where the item's values are: the band, and the item within its kind
    // (a shelf by its side).
    int ContextIndex(int item) const;

private:
    bool ConfirmImport(const FilterImportPlan& plan);
    bool SwitchOn(int item);

    CBand& band_;
    FilterItems items_;
    IMessageBox& messages_;
};

} // namespace kv
