#include "graphs/ViewZoom.h"

#include <algorithm>
#include <cmath>

namespace kv {
namespace {

// A range of the ratio wanted, as near the given one as the grid allows.
ViewZoom WithinGrid(ViewZoom zoom, double lowest, double ratio) {
    const double widest = kMainGridStop / kMainGridStart;
    ratio = std::clamp(ratio, kNarrowestFrequencyRatio, widest);
    zoom.fMin = std::clamp(lowest, kMainGridStart, kMainGridStop / ratio);
    zoom.fMax = zoom.fMin * ratio;
    return zoom;
}

bool Usable(double value) {
    return std::isfinite(value) && value > 0.0;
}

} // namespace

ViewZoom ZoomFrequencies(const ViewZoom& zoom, double anchorHz, double factor) {
    if (!Usable(anchorHz) || !Usable(factor)) {
        return zoom;
    }
    const double anchor = std::clamp(anchorHz, zoom.fMin, zoom.fMax);
    const double ratio = std::pow(zoom.fMax / zoom.fMin, factor);
    const double clamped =
        std::clamp(ratio, kNarrowestFrequencyRatio, kMainGridStop / kMainGridStart);
    // The anchor keeps its share of the axis: its distance from the left end
    // scales with the range.
    const double share = std::log(anchor / zoom.fMin) / std::log(zoom.fMax / zoom.fMin);
    return WithinGrid(zoom, anchor / std::pow(clamped, share), clamped);
}

ViewZoom PanFrequencies(const ViewZoom& zoom, double ratio) {
    if (!Usable(ratio)) {
        return zoom;
    }
    return WithinGrid(zoom, zoom.fMin * ratio, zoom.fMax / zoom.fMin);
}

LevelWindow ZoomLevels(const LevelWindow& level, double anchorDb, double factor) {
    if (!std::isfinite(anchorDb) || !Usable(factor)) {
        return level;
    }
    const double span = std::clamp(level.span * factor, kSmallestLevelSpan, kLargestLevelSpan);
    const double share = (level.top - anchorDb) / level.span;
    return {anchorDb + share * span, span};
}

LevelWindow PanLevels(const LevelWindow& level, double dB) {
    if (!std::isfinite(dB)) {
        return level;
    }
    return {level.top + dB, level.span};
}

} // namespace kv
