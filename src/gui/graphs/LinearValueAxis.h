#pragma once

namespace kv {

// Positions of values on a linear axis whose top value sits on the upper
// edge of a plot and top - span on the lower edge.
class LinearValueAxis {
public:
    LinearValueAxis(double top, double span, int plotTop, int plotHeight);

    // False for an empty or non-finite span or a plot without height.
    bool Valid() const { return valid_; }
    double PixelsPerUnit() const { return pixelsPerUnit_; }

    // The y of a value, on the grid of device pixels that a pixel ratio
    // gives (whole pixels at ratio 1), kept within what a paint device takes.
    double Y(double value, double pixelRatio = 1.0) const;
    int PixelY(double value) const;
    // The value at y, the inverse of Y at ratio 1 without its rounding.
    double Value(double y) const;

private:
    double top_;
    int plotTop_;
    double pixelsPerUnit_ = 0.0;
    bool valid_ = false;
};

} // namespace kv
