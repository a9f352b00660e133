#include "app/ReadoutBox.h"

#include <QFontMetrics>
#include <QPainter>

namespace kv {
namespace {

constexpr int kGap = 14;
constexpr int kPadding = 5;

} // namespace

QRect ReadoutBoxRect(const QRect& area, const QPoint& pointer, const QSize& box) {
    int left = pointer.x() + kGap;
    if (left + box.width() > area.right() && pointer.x() - kGap - box.width() >= area.left()) {
        left = pointer.x() - kGap - box.width();
    }
    int top = pointer.y() + kGap;
    if (top + box.height() > area.bottom()) {
        top = std::max(area.top(), pointer.y() - kGap - box.height());
    }
    return {QPoint(left, top), box};
}

void DrawReadoutBox(QPainter& painter, const QRect& area, const QPoint& pointer,
                    const std::vector<ReadoutLine>& lines) {
    const QFontMetrics metrics(painter.font());
    int width = 0;
    for (const ReadoutLine& line : lines) {
        width = std::max(width, metrics.horizontalAdvance(QString::fromStdString(line.text)));
    }
    const int lineHeight = metrics.height();
    const QSize box(width + 2 * kPadding,
                    lineHeight * static_cast<int>(lines.size()) + 2 * kPadding);
    const QRect frame = ReadoutBoxRect(area, pointer, box);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QColor(32, 32, 96, 160));
    painter.setBrush(QColor(255, 255, 255, 225));
    painter.drawRoundedRect(QRectF(frame).adjusted(0.5, 0.5, -0.5, -0.5), 4, 4);
    int y = frame.top() + kPadding;
    for (const ReadoutLine& line : lines) {
        painter.setPen(line.colour);
        painter.drawText(QRect(frame.left() + kPadding, y, width, lineHeight),
                         Qt::AlignLeft | Qt::AlignVCenter, QString::fromStdString(line.text));
        y += lineHeight;
    }
    painter.restore();
}

} // namespace kv
