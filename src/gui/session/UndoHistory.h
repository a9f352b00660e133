#pragma once

#include "model/CConfiguration.h"

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace kv {

// The design's history for undo and redo: every change as the design's
// settings were before and after it, and which point of the history the
// saved file holds.
class UndoHistory {
public:
    // The most steps kept; the oldest go first.
    static constexpr std::size_t kMaxSteps = 100;

    // Records a change; one that left the design as it was records nothing
    // and gives false. The steps that could have been redone are dropped.
    bool Record(DesignSettings before, DesignSettings after, std::string description);

    bool CanUndo() const { return position_ > 0; }
    bool CanRedo() const { return position_ < steps_.size(); }
    // What the next undo or redo would undo or redo, for the menu.
    const std::string& UndoDescription() const;
    const std::string& RedoDescription() const;
    // The settings to put back; call only when CanUndo or CanRedo.
    const DesignSettings& Undo();
    const DesignSettings& Redo();

    // A new history; with saved set, its start is what the file holds (a
    // loaded design), otherwise no point is (a new design).
    void Clear(bool saved);
    // The file now holds the design at the current point.
    void MarkSaved() { savedPosition_ = position_; }
    bool AtSavedPoint() const { return savedPosition_ == position_; }

private:
    struct Step {
        DesignSettings before;
        DesignSettings after;
        std::string description;
    };

    std::vector<Step> steps_;
    std::size_t position_ = 0;
    std::optional<std::size_t> savedPosition_ = 0;
};

} // namespace kv
