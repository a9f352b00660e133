#pragma once

#include <QImage>
#include <QSize>
#include <filesystem>
#include <string>

namespace kv {

class CCurveBase;

enum class ResponseView { Frequency, Time };

// A view drawn off screen, as a pane or a zoomed window would show it at
// the given size in layout pixels; the image holds size · pixelRatio device
// pixels. A null image when the size cannot be allocated.
QImage RenderResponseView(CCurveBase& curve, ResponseView view, const QSize& size,
                          double pixelRatio = 1.0);

// Writes an image as PNG; the file at path is replaced only once the whole
// image has reached the disk. Empty when written; otherwise why not.
std::string WritePngFile(const QImage& image, const std::filesystem::path& path);

} // namespace kv
