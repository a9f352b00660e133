#include "graphs/LogFrequencyAxis.h"

#include "graphs/PixelRounding.h"

#include <cmath>

namespace kv {
namespace {

// The base grows in small steps until fMax reaches the right edge; the
// bound only matters for ranges no window asks for.
constexpr double kBaseGrowth = 1.005;
constexpr int kMaxBaseSteps = 2000;

} // namespace

double DecadeBelow(double value) {
    // The small allowance keeps exact powers of ten on their own decade
    // despite the rounding of log10.
    return std::pow(10.0, std::floor(std::log10(value) + 1e-9));
}

LogFrequencyAxis::LogFrequencyAxis(double fMin, double fMax, int plotLeft, int plotWidth)
    : fMin_(fMin), fMax_(fMax), left_(plotLeft) {
    if (!(fMin > 0.0) || !(fMax > fMin) || !std::isfinite(fMax) || plotWidth < 2) {
        return;
    }
    const double width = plotWidth;
    const double corner = std::hypot(fMin, fMax);
    double base = DecadeBelow(fMin);
    Scale(base, width, corner);
    for (int step = 0; step < kMaxBaseSteps; ++step) {
        const double span = Offset(fMax, 1.0);
        if (!(span < width && span > 1.0) || base * kBaseGrowth >= corner) {
            break;
        }
        base *= kBaseGrowth;
        Scale(base, width, corner);
    }
    valid_ = std::isfinite(pixelsPerLn_) && pixelsPerLn_ > 0.0;
}

void LogFrequencyAxis::Scale(double base, double width, double corner) {
    lnBase_ = std::log(base);
    pixelsPerLn_ = width / std::log(corner / base);
    minPosition_ = (std::log(fMin_) - lnBase_) * pixelsPerLn_;
}

double LogFrequencyAxis::Offset(double hz, double pixelRatio) const {
    const double position = (std::log(hz) - lnBase_) * pixelsPerLn_;
    return (RoundToPixel(position * pixelRatio) - RoundToPixel(minPosition_ * pixelRatio)) /
           pixelRatio;
}

double LogFrequencyAxis::X(double hz, double pixelRatio) const {
    return left_ + ClampToDevice(Offset(hz, pixelRatio));
}

int LogFrequencyAxis::PixelX(double hz) const {
    return static_cast<int>(X(hz));
}

} // namespace kv

namespace kv {

double LogFrequencyAxis::Frequency(double x) const {
    const double position = x - left_ + RoundToPixel(minPosition_);
    return std::exp(lnBase_ + position / pixelsPerLn_);
}

} // namespace kv
