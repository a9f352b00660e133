#include "graphs/ResponseViewImage.h"

#include "archive/FileProblems.h"
#include "graphs/CCurveBase.h"

#include <QBuffer>
#include <QByteArray>
#include <QPainter>
#include <cmath>

namespace kv {
namespace {

void Paint(QImage& image, CCurveBase& curve, ResponseView view, const QSize& size) {
    QPainter painter(&image);
    const QRect rect(QPoint(0, 0), size);
    if (view == ResponseView::Frequency) {
        curve.DrawFrequencyView(painter, rect);
    } else {
        curve.DrawTimeView(painter, rect);
    }
}

} // namespace

QImage RenderResponseView(CCurveBase& curve, ResponseView view, const QSize& size,
                          double pixelRatio) {
    const QSize devicePixels(static_cast<int>(std::lround(size.width() * pixelRatio)),
                             static_cast<int>(std::lround(size.height() * pixelRatio)));
    QImage image(devicePixels, QImage::Format_ARGB32_Premultiplied);
    if (image.isNull()) {
        return image;
    }
    image.setDevicePixelRatio(pixelRatio);
    image.fill(Qt::white);
    Paint(image, curve, view, size);
    return image;
}

std::string WritePngFile(const QImage& image, const std::filesystem::path& path) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    if (image.isNull() || !buffer.open(QIODevice::WriteOnly) || !image.save(&buffer, "PNG")) {
        return "The picture could not be made into a PNG image.";
    }
    return WriteWholeFile(
        path, std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
}

} // namespace kv
