#include "app/Schematic.h"

#include "app/DesignSession.h"
#include "app/IBlockDialogs.h"

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
    Select(band, static_cast<int>(BlockKind::Input));
    CBand& target = design.bands[static_cast<std::size_t>(band)];
    target.SetMuted(!target.muted);
    session_.MarkUnsaved();
    session_.Recalculate();
    session_.Redraw();
}

void Schematic::OpenSelectedBlock() {
    const BlockSelection selected = session_.Selection();
    if (selected.kind < 0 || selected.kind >= kBlockKinds || selected.band < 0 ||
        selected.band >= session_.Configuration().numBands) {
        return;
    }
    if (dialogs_.OpenBlockDialog(static_cast<BlockKind>(selected.kind), selected.band)) {
        session_.MarkUnsaved();
    }
    session_.Redraw();
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
