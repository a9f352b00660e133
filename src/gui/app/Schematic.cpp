#include "app/Schematic.h"

#include "app/DesignSession.h"
#include "app/IBlockDialogs.h"
#include "dialogs/SplCurveEditor.h"
#include "ui/IMessageBox.h"

#include <algorithm>

namespace kv {
std::vector<SchematicRow> Schematic::Rows(const QRect& pane) const {
    return LayOutSchematic(pane, session_.Configuration().numBands);
}

void Schematic::Select(int band, int kind) {
    session_.SetCurrentBand(band);
    session_.Select({kind, band});
}

bool Schematic::HitTest(const QRect& pane, const QPoint& point) {
    const SchematicHit hit = HitAt(Rows(pane), point);
    if (hit.mute) {
        ToggleMute(hit.band);
        return true;
    }
    const BlockSelection selected = session_.Selection();
    if (hit.kind >= 0) {
        if (selected.band == hit.band && selected.kind == hit.kind) {
            return false;
        }
        Select(hit.band, hit.kind);
        return true;
    }
    if (selected.kind < 0) {
        return false;
    }
    session_.ClearSelection();
    return true;
}

// A mute is stored in the project file, so it is a change to save.
void Schematic::ToggleMute(int band) {
    CConfiguration& design = session_.Configuration();
    if (band < 0 || band >= design.numBands) {
        return;
    }
    UndoHistory::Snapshot before = session_.Snapshot();
    Select(band, static_cast<int>(BlockKind::Input));
    CBand& target = design.bands[static_cast<std::size_t>(band)];
    target.SetMuted(!target.muted);
    session_.Recalculate();
    session_.CommitChange(std::move(before),
                          (target.muted ? "Mute " : "Unmute ") + target.GetName());
}

bool Schematic::LoadDriverCurve(int band, const std::filesystem::path& file) {
    CConfiguration& design = session_.Configuration();
    if (band < 0 || band >= design.numBands) {
        return false;
    }
    UndoHistory::Snapshot before = session_.Snapshot();
    CBand& target = design.bands[static_cast<std::size_t>(band)];
    Select(band, static_cast<int>(BlockKind::Driver));
    // As the SPL Curve dialog would, with its reasons when the file fails.
    if (!SplCurveEditor(target, messages_, [] {}).LoadFile(file)) {
        session_.Redraw();
        return false;
    }
    session_.Recalculate();
    session_.CommitChange(std::move(before), "Load the Curve of " + target.GetName());
    return true;
}

void Schematic::OpenSelectedBlock() {
    const BlockSelection selected = session_.Selection();
    if (selected.kind < 0 || selected.kind >= kBlockKinds || selected.band < 0 ||
        selected.band >= session_.Configuration().numBands) {
        return;
    }
    UndoHistory::Snapshot before = session_.Snapshot();
    const auto kind = static_cast<BlockKind>(selected.kind);
    // Cancel has put the design back: no step then, and the saved state
    // back as it was.
    dialogs_.OpenBlockDialog(kind, selected.band);
    const CBand& band = session_.Configuration().bands[static_cast<std::size_t>(selected.band)];
    session_.CommitChange(std::move(before), "Edit " + BlockName(kind) + " of " + band.GetName());
}

bool Schematic::MoveSelection(int bands, int blocks) {
    const int used = session_.Configuration().numBands;
    if (used < 1) {
        return false;
    }
    const BlockSelection selected = session_.Selection();
    if (selected.kind < 0) {
        Select(std::clamp(session_.CurrentBand(), 0, used - 1), static_cast<int>(BlockKind::Input));
        return true;
    }
    const int band = std::clamp(selected.band + bands, 0, used - 1);
    const int kind = std::clamp(selected.kind + blocks, 0, kBlockKinds - 1);
    if (band == selected.band && kind == selected.kind) {
        return false;
    }
    Select(band, kind);
    return true;
}

} // namespace kv
