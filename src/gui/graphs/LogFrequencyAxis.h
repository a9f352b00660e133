#pragma once

namespace kv {

// Positions of frequencies on a logarithmic axis that puts fMin on the left
// edge of a plot and fMax within a pixel of its right edge.
class LogFrequencyAxis {
public:
    LogFrequencyAxis(double fMin, double fMax, int plotLeft, int plotWidth);

    // False for a range a logarithmic axis cannot show or a plot too narrow
    // to show it in; such an axis draws nothing.
    bool Valid() const { return valid_; }
    double FMin() const { return fMin_; }
    double FMax() const { return fMax_; }

    // The x of a positive frequency, on the grid of device pixels that a
    // pixel ratio gives (whole pixels at ratio 1).
    double X(double hz, double pixelRatio = 1.0) const;
    int PixelX(double hz) const;
    // The frequency at x, the inverse of X at ratio 1.
    double Frequency(double x) const;

private:
    double Offset(double hz, double pixelRatio) const;
    void Scale(double base, double width, double corner);

    double fMin_;
    double fMax_;
    int left_;
    double lnBase_ = 0.0;
    double pixelsPerLn_ = 0.0;
    // Where fMin lies from the base, in pixels.
    double minPosition_ = 0.0;
    bool valid_ = false;
};

// The largest power of ten not above a positive value.
double DecadeBelow(double value);

} // namespace kv
