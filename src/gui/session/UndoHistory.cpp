#include "session/UndoHistory.h"

namespace kv {
namespace {

const std::string kNothing;

} // namespace

bool UndoHistory::Record(DesignSettings before, DesignSettings after, std::string description) {
    if (before == after) {
        return false;
    }
    steps_.resize(position_);
    if (savedPosition_ && *savedPosition_ > position_) {
        savedPosition_.reset();
    }
    steps_.push_back({std::move(before), std::move(after), std::move(description)});
    if (steps_.size() > kMaxSteps) {
        steps_.erase(steps_.begin());
        // The saved point went with the oldest step when it stood there.
        savedPosition_ = savedPosition_ && *savedPosition_ > 0
                             ? std::optional<std::size_t>(*savedPosition_ - 1)
                             : std::nullopt;
    }
    position_ = steps_.size();
    return true;
}

const std::string& UndoHistory::UndoDescription() const {
    return CanUndo() ? steps_[position_ - 1].description : kNothing;
}

const std::string& UndoHistory::RedoDescription() const {
    return CanRedo() ? steps_[position_].description : kNothing;
}

const DesignSettings& UndoHistory::Undo() {
    --position_;
    return steps_[position_].before;
}

const DesignSettings& UndoHistory::Redo() {
    ++position_;
    return steps_[position_ - 1].after;
}

void UndoHistory::Clear(bool saved) {
    steps_.clear();
    position_ = 0;
    savedPosition_ = saved ? std::optional<std::size_t>(0) : std::nullopt;
}

} // namespace kv
