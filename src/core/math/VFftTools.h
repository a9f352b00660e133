#pragma once

#include "math/VComplexVec.h"
#include "math/VDoubleVec.h"

namespace kv {

// The data windows, numbered as the window lists show them.
enum class WindowType {
    Rectangular = 0,
    Bartlett = 1,
    Hanning = 2,
    Hamming = 3,
    Blackman = 4,
    BlackmanHarris = 5,
    CosineBell = 6,
};

// The data windows and spectrum helpers that go with the transform.
class VFftTools {
public:
    // Multiplies data from offset on by a window of length points (the whole
    // vector when length < 1) and zeroes the rest; halfWindow uses only the
    // falling half of a window twice as long, so it starts at its peak.
    void ApplyWindow(VDoubleVec& data, int length, WindowType windowType, bool halfWindow,
                     int offset);
    void ApplyWindow(VComplexVec& data, int length, WindowType windowType, bool halfWindow,
                     int offset);
    // Corrects the level loss of a window of n points.
    void ScaleByWindowGain(VDoubleVec& data, int n, WindowType windowType);
    void ScaleByWindowGain(VComplexVec& data, int n, WindowType windowType);
    // The name the window lists show; numbers beyond the last window count
    // round again from the first.
    const char* GetWindowName(WindowType windowType) const;
    // Divides a spectrum by the magnitude of its mean level within ±10 % of
    // a frequency; a silent spectrum is left alone.
    void NormalizeAt(VComplexVec& data, double sampleRate, double frequency);

    // The window's value at position t of a window of n points.
    static double WindowValue(WindowType windowType, double t, double n);
    // The factor that undoes the window's level loss over n points.
    static double WindowGainFactor(WindowType windowType, int n);

protected:
    VFftTools() = default;

private:
    template <typename Vector>
    void ApplyWindowTo(Vector& data, int length, WindowType windowType, bool halfWindow,
                       int offset);
};

} // namespace kv
