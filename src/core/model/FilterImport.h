#pragma once

#include "filters/FilterSettings.h"
#include "model/BandCalculators.h"
#include "model/BandSettings.h"

#include <array>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace kv {

struct FilterText;

// A remark about one line of a filter list.
struct FilterLineMessage {
    int line = 0;
    std::string text;
};

// "line 12: gain 25 dB is outside -20 to +20 dB".
std::string DescribeLineMessage(const FilterLineMessage& message);

// Where an imported filter goes: its group (Peq, Notch, LowShelf, HighShelf
// or AllPass) and the entry within the group, 0-based.
struct FilterPlacement {
    int line = 0;
    FilterGroup group = FilterGroup::Peq;
    int item = 0;
};

// What importing a filter list would do to a band. Each kind of filter that
// the list brings (equalisers, notches, low shelf, high shelf, all-pass)
// replaces that kind in the band: its filters are switched off and the
// list's filters of the kind take its entries from the first on, in file
// order. Kinds the list does not bring stay as they are. A set member holds
// the kind's entries as they would be after the import.
struct FilterImportPlan {
    std::optional<std::array<PeqSettings, kEqualisers>> peq;
    std::optional<std::array<NotchSettings, kNotches>> notch;
    std::optional<ShelfSettings> lowShelf;
    std::optional<ShelfSettings> highShelf;
    std::optional<AllPassSettings> allPass;
    // The filters that fit, in file order.
    std::vector<FilterPlacement> placements;
    // The lines that do not fit, with the reason, by line: a type the band
    // does not have, a value outside the band's ranges, no entry or biquad
    // left, a command other than a filter.
    std::vector<FilterLineMessage> misfits;
    // What the user should know about the lines that fit, by line: a
    // modal filter taken as a peaking one, a shelf's slope or Q not taken,
    // a preamp or delay the band does not take over.
    std::vector<FilterLineMessage> notes;
};

// Reads the filter list at path and plans its import into band; false, with
// a message for the user in error, when the file is no filter list.
bool PlanFilterImport(const std::filesystem::path& path, const BandSettings& band,
                      FilterImportPlan& plan, std::string& error);
FilterImportPlan PlanFilterImport(const FilterText& text, const BandSettings& band);

// Sets the band as the plan says, what fits only, through the band's
// setters. False, and the band left as it was, when the band refuses (it
// changed since the plan was made).
bool ApplyFilterImport(const FilterImportPlan& plan, BandSettings& band);

} // namespace kv
