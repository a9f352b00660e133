#pragma once

#include "math/IFft.h"

namespace kv {

enum WindowType {
    kRectangularWindow = 0,
    kBartlettWindow = 1,
    kHanningWindow = 2,
    kHammingWindow = 3,
    kBlackmanWindow = 4,
    kBlackmanHarrisWindow = 5,
    kCosineBellWindow = 6,
};

// Everything of the transform interface but the transform itself.
class VFftTools : public IFft {
public:
    void ApplyWindow(VDoubleVec& data, int length, int windowType, bool halfWindow,
                     int offset) override;
    void ApplyWindow(VComplexVec& data, int length, int windowType, bool halfWindow,
                     int offset) override;
    void ScaleByWindowGain(VDoubleVec& data, int n, int windowType) override;
    void ScaleByWindowGain(VComplexVec& data, int n, int windowType) override;
    const char* GetWindowName(int windowType) const override;
    void NormalizeAt(VComplexVec& data, double sampleRate, double frequency) override;

    // The window's value at position t of a window of n points.
    static double WindowValue(int windowType, double t, double n);
    // The factor that undoes the window's level loss over n points.
    static double WindowGainFactor(int windowType, int n);

protected:
    VFftTools() = default;

private:
    template <typename Vector>
    void ApplyWindowTo(Vector& data, int length, int windowType, bool halfWindow, int offset);
};

} // namespace kv
