#include "Screenshot.h"

#include <QImage>
#include <QString>

namespace kv {

bool WriteScreenshot(const ScreenPixels& pixels, const std::filesystem::path& file) {
    if (pixels.area.Empty()) {
        return false;
    }
    QImage image(pixels.area.width, pixels.area.height, QImage::Format_RGB32);
    for (int row = 0; row < pixels.area.height; ++row) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(row));
        for (int column = 0; column < pixels.area.width; ++column) {
            line[column] = 0xff000000U | pixels.At(column, row);
        }
    }
    return image.save(QString::fromStdU16String(file.u16string()), "PNG");
}

} // namespace kv
