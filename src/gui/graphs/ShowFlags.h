#pragma once

#include <array>
#include <cstddef>

namespace kv {

// The display switches of the response views, in the order the main window
// keeps them; both panes and every zoomed window read the same set.
enum ShowFlag : std::size_t {
    kShowImportedSpl,
    kShowFilter,
    kShowTotal,
    kShowTarget,
    kShowSumFilter,
    kShowSumTotal,
    kShowSumTarget,
    // Stored and toggled by the total pane's menu; no view draws by it.
    kShowIndividual,
    kShowPhase,
    kShowGroupDelay,
    kShowUnwrappedPhase,
    kShowFlagCount
};

using ShowFlags = std::array<bool, kShowFlagCount>;

// The switches of a first start: imported SPL, target and total of the
// band, the sum of totals, phase unwrapped when shown.
constexpr ShowFlags DefaultShowFlags() {
    ShowFlags flags{};
    flags[kShowImportedSpl] = true;
    flags[kShowTotal] = true;
    flags[kShowTarget] = true;
    flags[kShowSumTotal] = true;
    flags[kShowUnwrappedPhase] = true;
    return flags;
}

} // namespace kv
