#pragma once

#include "model/BandSettings.h"
#include "model/CConfiguration.h"
#include "session/FilterHandles.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace kv {

class DesignSession;

// What the handles of the band pane do to the current band: a drag moves a
// filter's frequency and gain, a turn of the wheel scales its Q, each
// through the band's setters and shown at once. A drag becomes one step of
// undo when it ends, a turn of the wheel one step per notch; while a
// block's dialog is open they are part of the dialog's change, which its
// OK keeps and its Cancel takes back.
class HandleEditor {
public:
    explicit HandleEditor(DesignSession& session) : session_(session) {}
    HandleEditor(const HandleEditor&) = delete;
    HandleEditor& operator=(const HandleEditor&) = delete;

    // The handles of the current band; none while "Show Handles" is off.
    std::vector<FilterHandle> Handles() const;

    void BeginDrag(const FilterHandle& handle);
    // The dragged handle to a frequency and, for filters with a gain, a
    // gain; the band keeps what its setters accept.
    void DragTo(double hz, std::optional<double> dB);
    void EndDrag();
    // The dragged handle with the values the band holds now.
    std::optional<FilterHandle> Dragged() const;

    // One notch of the wheel over a handle: up raises its Q by a sixth of an
    // octave's worth, down lowers it.
    void TurnQ(const FilterHandle& handle, int notches);

private:
    CConfiguration& Design();
    int Band() const;
    bool DragLapsed() const;
    bool DragStillApplies();
    std::string StepName(const char* action, const FilterHandle& handle);

    DesignSession& session_;
    std::optional<FilterHandle> dragged_;
    DesignSettings before_;
    // The session's count of replaced designs when the drag began.
    std::uint64_t replacementsAtStart_ = 0;
    bool dragInDialog_ = false;
};

} // namespace kv
