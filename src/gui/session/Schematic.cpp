#include "session/Schematic.h"

#include "session/DesignSession.h"
#include "session/IBlockDialogs.h"
#include "session/SplCurveEditor.h"

#include <algorithm>

namespace kv {

std::vector<SchematicRow> Schematic::Rows(const QRect& pane) const {
    return LayOutSchematic(pane, session_.Document().Design().numBands);
}

void Schematic::Select(int band, int kind) {
    session_.View().SetCurrentBand(band);
    session_.View().Select({kind, band});
}

bool Schematic::HitTest(const QRect& pane, const QPoint& point) {
    const SchematicHit hit = HitAt(Rows(pane), point);
    if (hit.mute) {
        ToggleMute(hit.band);
        return true;
    }
    const BlockSelection selected = session_.View().Selection();
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
    session_.View().ClearSelection();
    return true;
}

bool Schematic::UsedBand(int band) const {
    return band >= 0 && band < session_.Document().Design().numBands;
}

// A mute is stored in the project file, so it is a change to save.
void Schematic::ToggleMute(int band) {
    if (!UsedBand(band)) {
        return;
    }
    Select(band, static_cast<int>(BlockKind::Input));
    CBand& target = session_.Document().Design().bands[static_cast<std::size_t>(band)];
    session_.Change((target.muted ? "Unmute " : "Mute ") + target.GetName(),
                    [&target](CConfiguration&) { return target.SetMuted(!target.muted); });
}

bool Schematic::LoadDriverCurve(int band, const std::filesystem::path& file) {
    if (!UsedBand(band)) {
        return false;
    }
    Select(band, static_cast<int>(BlockKind::Driver));
    CBand& target = session_.Document().Design().bands[static_cast<std::size_t>(band)];
    // As the SPL Curve dialog would, with its reasons when the file fails.
    const bool loaded =
        session_.Change("Load the Curve of " + target.GetName(), [&](CConfiguration&) {
            return SplCurveEditor(target, messages_).LoadFile(file);
        });
    if (!loaded) {
        session_.ViewChanged();
    }
    return loaded;
}

// Cancel leaves the design exactly as it was, also what a dialog did as it
// opened (the Parametric EQ dialog sorts the equalisers): no step then, and
// the saved state back as it was.
void Schematic::OpenSelectedBlock() {
    const BlockSelection selected = session_.View().Selection();
    if (selected.kind < 0 || selected.kind >= kBlockKinds || !UsedBand(selected.band)) {
        return;
    }
    const DesignSettings before = session_.Document().Design().Settings();
    const auto kind = static_cast<BlockKind>(selected.kind);
    if (!dialogs_.OpenBlockDialog(kind, selected.band) &&
        !(session_.Document().Design().Settings() == before)) {
        session_.PutBack(before);
    }
    const CBand& band = session_.Document().Design().bands[static_cast<std::size_t>(selected.band)];
    session_.CommitChange(before, "Edit " + BlockName(kind) + " of " + band.GetName());
}

bool Schematic::MoveSelection(int bands, int blocks) {
    const int used = session_.Document().Design().numBands;
    if (used < 1) {
        return false;
    }
    const BlockSelection selected = session_.View().Selection();
    if (selected.kind < 0) {
        Select(std::clamp(session_.View().CurrentBand(), 0, used - 1),
               static_cast<int>(BlockKind::Input));
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
