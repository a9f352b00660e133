#pragma once

#include "graphs/TimeGraphLayout.h"
#include "graphs/VGraphics.h"

#include <string>

class QPainter;
class QRect;

namespace kv {

// Sampled time signals over a time axis that starts at tMin, against a
// value axis from yMax down to yMin. Draw lays out and paints the graph for
// a rectangle; DrawCurve then draws curves into the plot of that last Draw.
class VTimeGraph : public VGraphics {
public:
    // The scales; curves are drawn again only after the next Draw.
    void SetScale(double tMin, double tMax, double yMax, double yMin, double yStep);
    void SetUnit(const std::string& text) { setup_.unit = text; }

    void SetMarginColour(const QColor& colour) { setup_.colours.margin = colour; }
    void SetMinimumFontHeight(int pixels) { minimumFontHeight_ = pixels; }

    void Draw(QPainter& painter, const QRect& rect);

    // One sampled curve, samplePeriod seconds apart.
    void DrawCurve(QPainter& painter, const VDoubleVec& samples, double samplePeriod, int penWidth,
                   Qt::PenStyle penStyle, const QColor& colour) const;

    const TimeGraphSetup& Setup() const { return setup_; }
    // The curves' plot of the last Draw.
    const PixelRect& PlotRect() const { return layout_.plot; }

private:
    TimeGraphSetup setup_;
    GraphLayout layout_;
    bool drawn_ = false;
    int minimumFontHeight_ = 2;
};

} // namespace kv
