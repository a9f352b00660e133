#include "graphs/CurveLegend.h"

#include "graphs/VGraphics.h"

#include <QPainter>
#include <algorithm>
#include <array>

namespace kv {
namespace {

// Inside the plot's frame and around the rows.
constexpr int kInset = 6;
constexpr int kPadding = 4;
constexpr int kSampleGap = 5;
// A sample is as long as this many characters, so a pattern shows.
constexpr int kSampleCharacters = 3;
const QColor kBoxFill(255, 255, 255, 215);
const QColor kBoxEdge(160, 160, 160);
const QColor kText(0, 0, 0);
const QColor kKeyColour(64, 64, 64);

struct KeyItem {
    Quantity quantity;
    const char* unit;
};

constexpr std::array<KeyItem, 3> kKeyItems = {
    {{Quantity::Level, "dB"}, {Quantity::Phase, "deg"}, {Quantity::GroupDelay, "ms"}}};

// The quantities the key explains: the level, and phase and group delay
// where they are shown.
std::vector<KeyItem> KeyOf(const Legend& legend) {
    std::vector<KeyItem> items;
    if (legend.phase || legend.delay) {
        for (const KeyItem& item : kKeyItems) {
            const bool shown = item.quantity == Quantity::Level ||
                               (item.quantity == Quantity::Phase ? legend.phase : legend.delay);
            if (shown) {
                items.push_back(item);
            }
        }
    }
    return items;
}

int RowCount(const Legend& legend) {
    return static_cast<int>(legend.curves.size()) + (KeyOf(legend).empty() ? 0 : 1);
}

int KeyWidth(const std::vector<KeyItem>& key, int sampleLength, const TextMetrics& metrics) {
    int width = 0;
    for (const KeyItem& item : key) {
        width += sampleLength + kSampleGap + metrics.width(item.unit) + metrics.charWidth;
    }
    return width;
}

int CoveredPoints(const PixelRect& box, const std::vector<QPointF>& points) {
    return static_cast<int>(std::count_if(points.begin(), points.end(), [&box](QPointF point) {
        return point.x() >= box.left && point.x() < box.right && point.y() >= box.top &&
               point.y() < box.bottom;
    }));
}

PixelRect Moved(const PixelRect& box, int left, int top) {
    return {left, top, left + box.Width(), top + box.Height()};
}

void DrawSample(QPainter& painter, int left, int y, int length, const QColor& colour, int width,
                Qt::PenStyle pattern) {
    painter.setPen(QPen(colour, width, pattern, Qt::FlatCap));
    painter.drawLine(QPointF(left, y + 0.5), QPointF(left + length, y + 0.5));
}

} // namespace

LegendLayout MeasureLegend(const Legend& legend, const TextMetrics& metrics,
                           const PixelRect& plot) {
    LegendLayout layout;
    const int rows = RowCount(legend);
    if (rows == 0) {
        return layout;
    }
    layout.rowHeight = metrics.charHeight;
    layout.sampleLength = kSampleCharacters * metrics.charWidth;
    int widest = KeyWidth(KeyOf(legend), layout.sampleLength, metrics);
    for (const CurveLook& curve : legend.curves) {
        widest = std::max(widest, layout.sampleLength + kSampleGap + metrics.width(curve.name));
    }
    const int width = widest + 2 * kPadding;
    const int height = rows * layout.rowHeight + 2 * kPadding;
    if (width + 2 * kInset > plot.Width() || height + 2 * kInset > plot.Height()) {
        return layout;
    }
    layout.box = {plot.right - kInset - width, plot.top + kInset, plot.right - kInset,
                  plot.top + kInset + height};
    return layout;
}

LegendLayout PlaceLegend(LegendLayout layout, const PixelRect& plot,
                         const std::vector<QPointF>& curvePoints, int bottomClearance) {
    const PixelRect& box = layout.box;
    if (box.Width() <= 0) {
        return layout;
    }
    const int right = plot.right - kInset - box.Width();
    const int left = plot.left + kInset;
    const int top = plot.top + kInset;
    const int bottom = std::max(top, plot.bottom - kInset - bottomClearance - box.Height());
    const std::array<PixelRect, 4> corners = {Moved(box, right, top), Moved(box, left, top),
                                              Moved(box, right, bottom), Moved(box, left, bottom)};
    int fewest = -1;
    for (const PixelRect& corner : corners) {
        const int covered = CoveredPoints(corner, curvePoints);
        if (fewest < 0 || covered < fewest) {
            fewest = covered;
            layout.box = corner;
        }
    }
    return layout;
}

void PaintLegend(QPainter& painter, const Legend& legend, const LegendLayout& layout,
                 int fontHeight) {
    const PixelRect& box = layout.box;
    if (box.Width() <= 0) {
        return;
    }
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(kBoxEdge);
    painter.setBrush(kBoxFill);
    painter.drawRect(QRectF(box.left + 0.5, box.top + 0.5, box.Width() - 1, box.Height() - 1));
    painter.setBrush(Qt::NoBrush);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    const QFont font = GraphFont(fontHeight, false);
    painter.setFont(font);
    const QFontMetrics metrics(font, painter.device());
    const int sampleLeft = box.left + kPadding;
    const int textLeft = sampleLeft + layout.sampleLength + kSampleGap;
    int rowTop = box.top + kPadding;
    const auto baseline = [&] { return rowTop + (layout.rowHeight + metrics.ascent()) / 2 - 1; };
    const auto middle = [&] { return rowTop + layout.rowHeight / 2; };
    for (const CurveLook& curve : legend.curves) {
        DrawSample(painter, sampleLeft, middle(), layout.sampleLength, curve.colour,
                   curve.levelWidth, curve.levelPen);
        painter.setPen(kText);
        painter.drawText(QPoint(textLeft, baseline()), QString::fromStdString(curve.name));
        rowTop += layout.rowHeight;
    }
    int x = sampleLeft;
    for (const KeyItem& item : KeyOf(legend)) {
        DrawSample(painter, x, middle(), layout.sampleLength, kKeyColour, 1,
                   QuantityPen(item.quantity, CurveLook{}));
        x += layout.sampleLength + kSampleGap;
        const QString unit = QString::fromLatin1(item.unit);
        painter.setPen(kText);
        painter.drawText(QPoint(x, baseline()), unit);
        x += metrics.horizontalAdvance(unit) + metrics.horizontalAdvance(QLatin1Char('M'));
    }
    painter.restore();
}

} // namespace kv
