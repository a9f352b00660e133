#include "graphs/VTimeGraph.h"

#include <QPainter>
#include <QRect>
#include <algorithm>

namespace kv {

void VTimeGraph::SetScale(double tMin, double tMax, double yMax, double yMin, double yStep) {
    setup_.tMin = tMin;
    setup_.tMax = tMax;
    setup_.yMax = yMax;
    setup_.yMin = yMin;
    setup_.yStep = yStep;
    drawn_ = false;
}

void VTimeGraph::Draw(QPainter& painter, const QRect& rect) {
    const PixelRect area = ToPixelRect(rect);
    const int fontHeight = GraphFontHeight(area.Height(), minimumFontHeight_);
    const TextMetrics metrics = MeasureFont(GraphFont(fontHeight, false), painter.device());
    layout_ = LayOutTimeGraph(setup_, area, metrics, fontHeight);
    PaintScene(painter, layout_.scene);
    drawn_ = true;
}

void VTimeGraph::DrawCurve(QPainter& painter, const VDoubleVec& samples, double samplePeriod,
                           int penWidth, Qt::PenStyle penStyle, const QColor& colour) const {
    if (!drawn_ || !layout_.hasPlot) {
        return;
    }
    const PixelRect& plot = layout_.plot;
    const std::vector<QPointF> points =
        TimeCurvePoints(setup_, plot, samples, samplePeriod, PixelRatio(painter));
    DrawPolyline(painter, points, CurvePen(colour, penWidth, penStyle),
                 {plot.left, plot.top + 1, plot.right, plot.bottom});
}

} // namespace kv
