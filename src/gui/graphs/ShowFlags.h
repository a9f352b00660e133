#pragma once

#include <array>
#include <cstddef>

namespace kv {

// The display switches of the response views, in the order the main window
// keeps them; both panes and every zoomed window read the same set.
enum class ShowFlag : std::size_t {
    ImportedSpl,
    Filter,
    Total,
    Target,
    SumFilter,
    SumTotal,
    SumTarget,
    // Each band's own total in the total pane.
    Individual,
    Phase,
    GroupDelay,
    UnwrappedPhase,
    // The band's response as the unit plays it, from the rounded words.
    Hardware,
    // The handles of the current band's filters in the band pane.
    Handles,
};
// The last switch above sets the count: a new one goes before this line.
inline constexpr std::size_t kShowFlagCount = static_cast<std::size_t>(ShowFlag::Handles) + 1;

// One switch per ShowFlag.
class ShowFlags {
public:
    constexpr bool& operator[](ShowFlag flag) { return on_[static_cast<std::size_t>(flag)]; }
    constexpr bool operator[](ShowFlag flag) const { return on_[static_cast<std::size_t>(flag)]; }
    constexpr void Fill(bool on) { on_.fill(on); }
    bool operator==(const ShowFlags&) const = default;

private:
    std::array<bool, kShowFlagCount> on_{};
};

// The switches of a first start: imported SPL, target and total of the
// band, the sum of totals, phase unwrapped when shown, the handles.
constexpr ShowFlags DefaultShowFlags() {
    ShowFlags flags;
    flags[ShowFlag::ImportedSpl] = true;
    flags[ShowFlag::Total] = true;
    flags[ShowFlag::Target] = true;
    flags[ShowFlag::SumTotal] = true;
    flags[ShowFlag::UnwrappedPhase] = true;
    flags[ShowFlag::Handles] = true;
    return flags;
}

} // namespace kv
