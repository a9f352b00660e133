#pragma once

#include "graphs/ResponseAxes.h"
#include "model/MainGrid.h"

#include <optional>

namespace kv {

// How far the user has zoomed a frequency view: the frequencies it shows,
// and the level axis when the user has placed it (otherwise its top follows
// the curves and its span is the pane's level range).
struct ViewZoom {
    double fMin = kMainGridStart;
    double fMax = kMainGridStop;
    std::optional<LevelWindow> level;

    bool operator==(const ViewZoom&) const = default;
};

// The narrowest frequency range a view zooms in to (a third of an octave),
// and the level spans a level axis takes, in dB.
inline constexpr double kNarrowestFrequencyRatio = 1.2599;
inline constexpr double kSmallestLevelSpan = 1.0;
inline constexpr double kLargestLevelSpan = 200.0;

// The frequency range scaled by factor on the logarithmic axis (below 1
// zooms in) around the anchor frequency, which stays where it is on the axis; it never leaves the
// grid nor gets narrower than a third of an octave.
ViewZoom ZoomFrequencies(const ViewZoom& zoom, double anchorHz, double factor);
// The frequency range moved by a ratio (above 1 shows higher frequencies),
// stopping at the ends of the grid.
ViewZoom PanFrequencies(const ViewZoom& zoom, double ratio);
// The level axis scaled by factor around the anchor level, or moved up by dB;
// spans stay within the smallest and largest.
LevelWindow ZoomLevels(const LevelWindow& level, double anchorDb, double factor);
LevelWindow PanLevels(const LevelWindow& level, double dB);

} // namespace kv
