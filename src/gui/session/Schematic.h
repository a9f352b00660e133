#pragma once

#include "session/SchematicLayout.h"

#include <QRect>
#include <filesystem>

namespace kv {

class DesignSession;
class IBlockDialogs;
class IMessageBox;

// What the block schematic does, without painting: selecting blocks, muting
// bands and opening the selected block's dialog, by mouse or keyboard.
class Schematic {
public:
    Schematic(DesignSession& session, IBlockDialogs& dialogs, IMessageBox& messages)
        : session_(session), dialogs_(dialogs), messages_(messages) {}

    // The rows of the used bands in a pane of that rectangle.
    std::vector<SchematicRow> Rows(const QRect& pane) const;

    // A click at point: toggles a band's mute, selects a block of a used
    // band (making it the band pane's band), or clears the selection; true
    // when what the schematic shows changed.
    bool HitTest(const QRect& pane, const QPoint& point);
    // Opens the selected block's dialog; a block of a band the design does
    // not use opens nothing.
    void OpenSelectedBlock();
    // Moves the selection along the chain (blocks) or between the used bands
    // (bands); with nothing selected, selects the current band's Input
    // block. True when the selection changed.
    bool MoveSelection(int bands, int blocks);
    // Mutes or unmutes a used band, selecting its Input block.
    void ToggleMute(int band);
    // A measurement file dropped on a band's Driver block, taken as the SPL
    // Curve dialog takes one: one step of undo; false, after telling the
    // user, when the file gives no curve.
    bool LoadDriverCurve(int band, const std::filesystem::path& file);

private:
    void Select(int band, int kind);
    bool UsedBand(int band) const;

    DesignSession& session_;
    IBlockDialogs& dialogs_;
    IMessageBox& messages_;
};

} // namespace kv
