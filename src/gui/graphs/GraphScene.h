#pragma once

#include <QColor>
#include <QPoint>
#include <algorithm>
#include <functional>
#include <string>
#include <vector>

namespace kv {

// A rectangle in pixels with exclusive right and bottom edges, the way the
// graph layouts are specified; empty when right <= left or bottom <= top.
struct PixelRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
};

// The colours every graph is made of.
struct GraphColours {
    QColor frame{0, 0, 0};
    QColor grid{160, 160, 160};
    QColor margin{0, 192, 192};
    QColor plot{255, 255, 255};
    QColor text{0, 0, 0};
};

// The margin of the response windows, lighter than a bare graph's.
inline const QColor kResponseMarginColour{220, 229, 240};
// The smallest font the response windows use, in pixels.
inline constexpr int kResponseMinimumFontHeight = 9;

struct SceneFill {
    PixelRect rect;
    QColor colour;
};

// An outline of the given pen width around a rectangle.
struct SceneFrame {
    PixelRect rect;
    int width = 1;
    QColor colour;
};

enum class LineStyle { Solid, Dotted };

// A horizontal or vertical line; like the rectangles it excludes its end
// point, so lines that meet never overlap.
struct SceneLine {
    QPoint from;
    QPoint to;
    QColor colour;
    LineStyle style = LineStyle::Solid;
};

enum class TextAnchor { TopLeft, TopCentre, TopRight, BottomLeft, BottomRight };

// A text placed by its anchor point; height is the font's character height
// in pixels.
struct SceneText {
    std::string text;
    QPoint at;
    TextAnchor anchor = TextAnchor::TopLeft;
    int height = 0;
    bool bold = false;
    QColor colour;
};

// Everything one graph draws apart from its curves, in painting order:
// fills, then lines, then frames, then texts.
struct GraphScene {
    std::vector<SceneFill> fills;
    std::vector<SceneLine> lines;
    std::vector<SceneFrame> frames;
    std::vector<SceneText> texts;
};

// A graph laid out for a rectangle: its frame, grid, axes and labels, and
// the plot its curves go into; hasPlot is false when the rectangle leaves no
// room for one.
struct GraphLayout {
    GraphScene scene;
    PixelRect plot;
    bool hasPlot = false;
};

// The measurements a layout needs of the font it labels with: the width of a
// text, and the extent of "M".
struct TextMetrics {
    std::function<int(const std::string&)> width;
    int charWidth = 0;
    int charHeight = 0;
};

// The length of an axis's ticks that carry a label: half a character.
inline int MajorTickLength(const TextMetrics& metrics) {
    return std::max(2, metrics.charWidth / 2);
}

// The top of the row of labels and units below a plot.
inline int LabelRowTop(const PixelRect& plot, const TextMetrics& metrics) {
    return plot.bottom + std::max(2 * (metrics.charHeight / 3), 1);
}

} // namespace kv
