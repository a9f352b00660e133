#include "graphs/VFreqGraph.h"

#include <QPainter>
#include <QRect>
#include <algorithm>

namespace kv {

void VFreqGraph::SetCurves(double fMin, double fMax, std::span<const CurveAxisDescriptor> axes) {
    setup_.fMin = fMin;
    setup_.fMax = fMax;
    const std::size_t count = std::min(axes.size(), static_cast<std::size_t>(kMaxValueAxes));
    setup_.axes.assign(axes.begin(), axes.begin() + static_cast<std::ptrdiff_t>(count));
    positionCache_ = PositionCache();
}

void VFreqGraph::Draw(QPainter& painter, const QRect& rect) {
    const PixelRect area = ToPixelRect(rect);
    const int fontHeight = GraphFontHeight(area.Height(), minimumFontHeight_);
    const TextMetrics metrics = MeasureFont(GraphFont(fontHeight, false), painter.device());
    layout_ = LayOutFreqGraph(setup_, area, metrics, fontHeight);
    positionCache_ = PositionCache();
    PaintScene(painter, layout_.scene);
}

void VFreqGraph::DrawCurve(QPainter& painter, int axis, const VDoubleVec& frequencies,
                           const VDoubleVec& values, const QColor& colour, int penWidth,
                           Qt::PenStyle penStyle, double floor) {
    if (!layout_.hasPlot || axis < 0 || axis >= static_cast<int>(setup_.axes.size())) {
        return;
    }
    const PixelRect& plot = layout_.plot;
    const double pixelRatio = PixelRatio(painter);
    const LogFrequencyAxis frequencyAxis = FrequencyAxisScale(setup_, plot);
    const std::vector<QPointF> points =
        FreqCurvePoints(frequencyAxis, Positions(frequencyAxis, frequencies, pixelRatio),
                        ValueAxisScale(setup_.axes[static_cast<std::size_t>(axis)], plot),
                        frequencies, values, floor, pixelRatio);
    DrawPolyline(painter, points, CurvePen(colour, penWidth, penStyle),
                 {plot.left + 1, plot.top + 1, plot.right, plot.bottom});
}

const std::vector<double>& VFreqGraph::Positions(const LogFrequencyAxis& axis,
                                                 const VDoubleVec& frequencies, double pixelRatio) {
    PositionCache& cache = positionCache_;
    const bool sameFrequencies =
        cache.frequencies.GetSize() == frequencies.GetSize() &&
        std::equal(frequencies.begin(), frequencies.end(), cache.frequencies.begin());
    if (cache.pixelRatio != pixelRatio || !sameFrequencies) {
        cache.frequencies = frequencies;
        cache.pixelRatio = pixelRatio;
        cache.positions = FrequencyPositions(axis, frequencies, pixelRatio);
    }
    return cache.positions;
}

} // namespace kv
