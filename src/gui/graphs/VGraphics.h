#pragma once

#include "graphs/GraphScene.h"

#include <QFont>
#include <QPen>
#include <QPointF>
#include <vector>

class QPaintDevice;
class QPainter;
class QRect;

namespace kv {

// What the frequency and time graphs share: painting a laid-out scene and
// curves with a QPainter. Fills, frames and straight lines lie on whole
// pixels and are drawn without antialiasing, so they stay crisp at any
// device pixel ratio; curves and texts are antialiased.
class VGraphics {
public:
    virtual ~VGraphics() = default;

    // A text of the scene's kind, in "Arial" of its height and weight.
    void DrawText(QPainter& painter, const SceneText& text) const;

protected:
    void PaintScene(QPainter& painter, const GraphScene& scene) const;
    // The points as one antialiased line, clipped to clip.
    void DrawPolyline(QPainter& painter, const std::vector<QPointF>& points, const QPen& pen,
                      const PixelRect& clip) const;

    static QPen CurvePen(const QColor& colour, int width, Qt::PenStyle style);
    static PixelRect ToPixelRect(const QRect& rect);
    // Device pixels per layout pixel of what the painter paints on.
    static double PixelRatio(const QPainter& painter);
};

// The font height of a graph drawn into a rectangle of the given height:
// a 40th of it, at least minimumHeight.
int GraphFontHeight(int rectHeight, int minimumHeight);

// "Arial" (or its metric twin) of a character height in pixels.
QFont GraphFont(int height, bool bold);

// The measurements a layout takes of a font as it renders on a device.
TextMetrics MeasureFont(const QFont& font, const QPaintDevice* device);

} // namespace kv
