#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace kv {

// The design's history for undo and redo: every accepted change as the
// design was before and after it (whole snapshots, which a 3-way design with
// curves keeps to some tens of kilobytes), and which point of the history
// the saved file holds.
class UndoHistory {
public:
    using Snapshot = std::vector<std::uint8_t>;

    // The most steps kept; the oldest go first.
    static constexpr std::size_t kMaxSteps = 100;

    // Records a change; one that left the design as it was records nothing.
    // The steps that could have been redone are dropped. True when recorded,
    // and for a change whose snapshots could not be taken (memory ran out):
    // the history is cleared then, since nothing before it can be put back.
    bool Record(Snapshot before, Snapshot after, std::string description);

    bool CanUndo() const { return position_ > 0; }
    bool CanRedo() const { return position_ < steps_.size(); }
    // What the next undo or redo would undo or redo, for the menu.
    const std::string& UndoDescription() const;
    const std::string& RedoDescription() const;
    // The design to put back; call only when CanUndo or CanRedo.
    const Snapshot& Undo();
    const Snapshot& Redo();

    // A new history; with saved set, its start is what the file holds (a
    // loaded design), otherwise no point is (a new design).
    void Clear(bool saved);
    // The file now holds the design at the current point.
    void MarkSaved() { savedPosition_ = position_; }
    bool AtSavedPoint() const { return savedPosition_ == position_; }

private:
    struct Step {
        Snapshot before;
        Snapshot after;
        std::string description;
    };

    std::vector<Step> steps_;
    std::size_t position_ = 0;
    std::optional<std::size_t> savedPosition_ = 0;
};

} // namespace kv
