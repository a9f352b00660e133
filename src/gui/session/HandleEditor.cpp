#include "session/HandleEditor.h"

#include "session/DesignSession.h"

#include <cmath>

namespace kv {
namespace {

// Q changes by the sixth root of two per notch of the wheel.
const double kQPerNotch = std::pow(2.0, 1.0 / 6.0);

} // namespace

CConfiguration& HandleEditor::Design() {
    return session_.Document().Design();
}

int HandleEditor::Band() const {
    return session_.View().CurrentBand();
}

std::vector<FilterHandle> HandleEditor::Handles() const {
    if (!session_.View().Flags()[ShowFlag::Handles]) {
        return {};
    }
    return FilterHandles(session_.Document().Design(), Band());
}

std::string HandleEditor::StepName(const char* action, const FilterHandle& handle) {
    return action + handle.name + " of " +
           Design().bands[static_cast<std::size_t>(Band())].GetName();
}

void HandleEditor::BeginDrag(const FilterHandle& handle) {
    if (!CurrentHandle(Design(), Band(), handle)) {
        return;
    }
    dragged_ = handle;
    before_ = Design().Settings();
    replacementsAtStart_ = session_.Replacements();
    dragInDialog_ = session_.BlockDialogOpen();
}

// A design opened, made new or put back by undo during the drag (through a
// shortcut, while the button was held) is not the design the drag began
// on: the drag is dropped rather than move a filter of another design or
// record a step back to the old one. A drag begun in a block's dialog ends
// with the dialog: its OK or Cancel has decided on it.
bool HandleEditor::DragLapsed() const {
    return session_.Replacements() != replacementsAtStart_ ||
           (dragInDialog_ && !session_.BlockDialogOpen());
}

bool HandleEditor::DragStillApplies() {
    if (dragged_ && DragLapsed()) {
        dragged_.reset();
    }
    return dragged_.has_value();
}

void HandleEditor::DragTo(double hz, std::optional<double> dB) {
    if (DragStillApplies() && MoveFilterHandle(Design(), Band(), *dragged_, hz, dB)) {
        session_.LiveChange();
    }
}

void HandleEditor::EndDrag() {
    if (!DragStillApplies()) {
        return;
    }
    const FilterHandle handle = *dragged_;
    dragged_.reset();
    if (!dragInDialog_) {
        session_.CommitChange(before_, StepName("Drag ", handle));
    }
}

std::optional<FilterHandle> HandleEditor::Dragged() const {
    if (!dragged_ || DragLapsed()) {
        return std::nullopt;
    }
    return CurrentHandle(session_.Document().Design(), Band(), *dragged_);
}

void HandleEditor::TurnQ(const FilterHandle& handle, int notches) {
    const double factor = std::pow(kQPerNotch, notches);
    if (session_.BlockDialogOpen()) {
        if (ScaleFilterHandleQ(Design(), Band(), handle, factor)) {
            session_.LiveChange();
        }
        return;
    }
    const int band = Band();
    session_.Change(StepName("Change Q of ", handle), [&](CConfiguration& design) {
        return ScaleFilterHandleQ(design, band, handle, factor);
    });
}

} // namespace kv
