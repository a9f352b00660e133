#pragma once

#include "graphs/FreqGraphLayout.h"
#include "graphs/VGraphics.h"
#include "math/VDoubleVec.h"

#include <span>

class QPainter;
class QRect;

namespace kv {

// Frequency-domain curves over a logarithmic frequency axis, each against
// one of up to eight value axes. Draw lays out and paints the graph for a
// rectangle; DrawCurve then draws curves into the plot of that last Draw.
class VFreqGraph : public VGraphics {
public:
    // The frequency range and the value axes (the first eight of them).
    void SetCurves(double fMin, double fMax, std::span<const CurveAxisDescriptor> axes);

    void SetMarginColour(const QColor& colour) { setup_.colours.margin = colour; }
    void SetMinimumFontHeight(int pixels) { minimumFontHeight_ = pixels; }

    void Draw(QPainter& painter, const QRect& rect);

    // One curve against value axis `axis`; values below floor are left out.
    void DrawCurve(QPainter& painter, int axis, const VDoubleVec& frequencies,
                   const VDoubleVec& values, const QColor& colour, int penWidth,
                   Qt::PenStyle penStyle, double floor);

    const FreqGraphSetup& Setup() const { return setup_; }
    // The plot of the last Draw.
    const PixelRect& PlotRect() const { return layout_.plot; }

private:
    // The x positions of the frequencies of the last curve since the last
    // Draw or SetCurves: the curves of a view share one grid, so one
    // logarithm per grid point serves them all.
    struct PositionCache {
        VDoubleVec frequencies;
        double pixelRatio = 0.0;
        std::vector<double> positions;
    };

    const std::vector<double>& Positions(const LogFrequencyAxis& axis,
                                         const VDoubleVec& frequencies, double pixelRatio);

    FreqGraphSetup setup_;
    GraphLayout layout_;
    PositionCache positionCache_;
    int minimumFontHeight_ = 2;
};

} // namespace kv
