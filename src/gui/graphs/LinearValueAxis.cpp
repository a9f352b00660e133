#include "graphs/LinearValueAxis.h"

#include "graphs/PixelRounding.h"

#include <cmath>

namespace kv {

LinearValueAxis::LinearValueAxis(double top, double span, int plotTop, int plotHeight)
    : top_(top), plotTop_(plotTop) {
    if (span > 0.0 && std::isfinite(span) && std::isfinite(top) && plotHeight > 0) {
        pixelsPerUnit_ = plotHeight / span;
        valid_ = std::isfinite(pixelsPerUnit_);
    }
}

double LinearValueAxis::Y(double value, double pixelRatio) const {
    const double scale = pixelsPerUnit_ * pixelRatio;
    const double offset = (RoundToPixel(scale * top_) - RoundToPixel(scale * value)) / pixelRatio;
    return plotTop_ + ClampToDevice(offset);
}

int LinearValueAxis::PixelY(double value) const {
    return static_cast<int>(Y(value));
}

double LinearValueAxis::Value(double y) const {
    return top_ - (y - plotTop_) / pixelsPerUnit_;
}

} // namespace kv
