#include "graphs/VGraphics.h"

#include "graphs/Polyline.h"

#include <QFontMetrics>
#include <QLineF>
#include <QPaintDevice>
#include <QPainter>
#include <QRect>
#include <QString>
#include <algorithm>
#include <cmath>
#include <map>
#include <tuple>

namespace kv {
namespace {

// A one-pixel dot and a two-pixel gap.
const QList<qreal> kDotPattern = {1.0, 2.0};
// Curve points closer than this to the line without them are not drawn,
// in device pixels.
constexpr double kCurveTolerance = 0.25;

// Fonts made once per scene: a font object keeps its glyph engine, so
// reusing it spares a font lookup per text.
class FontCache {
public:
    const QFont& Font(int height, bool bold) {
        auto found = fonts_.find({height, bold});
        if (found == fonts_.end()) {
            found = fonts_.emplace(std::pair(height, bold), GraphFont(height, bold)).first;
        }
        return found->second;
    }

private:
    std::map<std::pair<int, bool>, QFont> fonts_;
};

QPointF TextOrigin(const SceneText& text, const QFontMetrics& metrics, const QString& content) {
    const int width = metrics.horizontalAdvance(content);
    double x = text.at.x();
    double baseline = text.at.y() + metrics.ascent();
    switch (text.anchor) {
    case TextAnchor::TopLeft:
        break;
    case TextAnchor::TopCentre:
        x -= width / 2;
        break;
    case TextAnchor::TopRight:
        x -= width;
        break;
    case TextAnchor::BottomLeft:
        baseline = text.at.y() - metrics.descent();
        break;
    case TextAnchor::BottomRight:
        x -= width;
        baseline = text.at.y() - metrics.descent();
        break;
    }
    return {x, baseline};
}

void PaintText(QPainter& painter, const SceneText& text, const QFont& font) {
    if (text.text.empty()) {
        return;
    }
    const QString content = QString::fromStdString(text.text);
    painter.setFont(font);
    painter.setPen(text.colour);
    painter.drawText(TextOrigin(text, QFontMetrics(font, painter.device()), content), content);
}

// A pixel-aligned line through the middle of its pixels, ending before its
// end point.
QLineF PixelLine(const SceneLine& line) {
    const bool vertical = line.from.x() == line.to.x();
    const QPointF centre = vertical ? QPointF(0.5, 0.0) : QPointF(0.0, 0.5);
    return {QPointF(line.from) + centre, QPointF(line.to) + centre};
}

// Lines of one colour and style go to the painter together, with one pen.
void PaintLines(QPainter& painter, const std::vector<SceneLine>& lines) {
    std::map<std::tuple<QRgb, LineStyle>, std::vector<QLineF>> batches;
    for (const SceneLine& line : lines) {
        batches[{line.colour.rgba(), line.style}].push_back(PixelLine(line));
    }
    for (const auto& [key, batch] : batches) {
        QPen pen(QColor::fromRgba(std::get<0>(key)), 1.0, Qt::SolidLine, Qt::FlatCap);
        if (std::get<1>(key) == LineStyle::Dotted) {
            pen.setDashPattern(kDotPattern);
        }
        painter.setPen(pen);
        painter.drawLines(batch.data(), static_cast<int>(batch.size()));
    }
}

void FillRect(QPainter& painter, const SceneFill& fill) {
    const PixelRect& r = fill.rect;
    if (r.Width() > 0 && r.Height() > 0) {
        painter.fillRect(QRect(r.left, r.top, r.Width(), r.Height()), fill.colour);
    }
}

// The frame's pen runs along the rectangle's edges; a pen of odd width is
// centred on the middle of the edge pixels.
void FrameRect(QPainter& painter, const SceneFrame& frame) {
    const PixelRect& r = frame.rect;
    painter.setPen(QPen(frame.colour, frame.width, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    const double offset = frame.width % 2 == 1 ? 0.5 : 0.0;
    painter.drawRect(QRectF(r.left + offset, r.top + offset, r.Width(), r.Height()));
}

} // namespace

int GraphFontHeight(int rectHeight, int minimumHeight) {
    return std::max(static_cast<int>(std::lround(rectHeight * 0.025)), minimumHeight);
}

QFont GraphFont(int height, bool bold) {
    QFont font(QStringLiteral("Arial"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(std::max(height, 1));
    font.setWeight(bold ? QFont::Bold : QFont::Normal);
    return font;
}

TextMetrics MeasureFont(const QFont& font, const QPaintDevice* device) {
    const QFontMetrics metrics =
        device != nullptr ? QFontMetrics(font, device) : QFontMetrics(font);
    TextMetrics result;
    result.width = [metrics](const std::string& text) {
        return metrics.horizontalAdvance(QString::fromStdString(text));
    };
    result.charWidth = metrics.horizontalAdvance(QLatin1Char('M'));
    result.charHeight = metrics.height();
    return result;
}

void VGraphics::DrawText(QPainter& painter, const SceneText& text) const {
    painter.save();
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    PaintText(painter, text, GraphFont(text.height, text.bold));
    painter.restore();
}

void VGraphics::PaintScene(QPainter& painter, const GraphScene& scene) const {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    painter.setBrush(Qt::NoBrush);
    for (const SceneFill& fill : scene.fills) {
        FillRect(painter, fill);
    }
    PaintLines(painter, scene.lines);
    for (const SceneFrame& frame : scene.frames) {
        FrameRect(painter, frame);
    }
    FontCache fonts;
    for (const SceneText& text : scene.texts) {
        PaintText(painter, text, fonts.Font(text.height, text.bold));
    }
    painter.restore();
}

void VGraphics::DrawPolyline(QPainter& painter, const std::vector<QPointF>& points, const QPen& pen,
                             const PixelRect& clip) const {
    if (points.size() < 2 || clip.Width() < 1 || clip.Height() < 1) {
        return;
    }
    const double ratio = PixelRatio(painter);
    const std::vector<QPointF> line = SimplifyPolyline(points, kCurveTolerance / ratio);
    painter.save();
    painter.setClipRect(QRect(clip.left, clip.top, clip.Width(), clip.Height()));
    painter.setRenderHint(QPainter::Antialiasing, true);
    // A pen of odd width runs through the middle of the pixels its points
    // name, so that a level stretch fills whole rows, as the grid does.
    const double centre = pen.width() % 2 == 1 ? 0.5 : 0.0;
    painter.translate(centre, centre);
    painter.setPen(pen);
    painter.drawPolyline(line.data(), static_cast<int>(line.size()));
    painter.restore();
}

QPen VGraphics::CurvePen(const QColor& colour, int width, Qt::PenStyle style) {
    // Bevel joins cost a fraction of round ones on curves of hundreds of
    // points and look the same at these widths.
    return QPen(colour, std::max(width, 1), style, Qt::FlatCap, Qt::BevelJoin);
}

PixelRect VGraphics::ToPixelRect(const QRect& rect) {
    return {rect.left(), rect.top(), rect.left() + rect.width(), rect.top() + rect.height()};
}

double VGraphics::PixelRatio(const QPainter& painter) {
    const QPaintDevice* device = painter.device();
    return device != nullptr ? device->devicePixelRatioF() : 1.0;
}

} // namespace kv
