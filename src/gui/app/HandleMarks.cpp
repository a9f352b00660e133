#include "app/HandleMarks.h"

#include <QPainter>
#include <QPolygonF>

namespace kv {
namespace {

constexpr double kRadius = 5.0;
const QColor kEdge(32, 32, 96);
const QColor kIdleFill(255, 255, 255, 230);
const QColor kActiveFill(230, 159, 0);

QPolygonF Shape(const QPointF& at, HandleKind kind) {
    const double r = kRadius;
    switch (kind) {
    case HandleKind::LowShelf:
    case HandleKind::HighShelf:
        return QPolygonF({at + QPointF(0, -r - 1), at + QPointF(r + 1, 0), at + QPointF(0, r + 1),
                          at + QPointF(-r - 1, 0)});
    case HandleKind::Notch:
        return QPolygonF(
            {at + QPointF(-r - 1, -r + 1), at + QPointF(r + 1, -r + 1), at + QPointF(0, r + 1)});
    case HandleKind::HighPass:
    case HandleKind::LowPass:
        return QPolygonF(QRectF(at.x() - r + 0.5, at.y() - r + 0.5, 2 * r - 1, 2 * r - 1));
    case HandleKind::Equaliser:
        break;
    }
    return {};
}

} // namespace

void DrawHandleMark(QPainter& painter, const QPointF& at, HandleKind kind, bool active) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(kEdge, 1.5));
    painter.setBrush(active ? kActiveFill : kIdleFill);
    const QPolygonF shape = Shape(at, kind);
    if (shape.isEmpty()) {
        painter.drawEllipse(at, kRadius, kRadius);
    } else {
        painter.drawPolygon(shape);
    }
    painter.restore();
}

} // namespace kv
