#pragma once

#include "math/VComplexVec.h"
#include "math/VDoubleVec.h"

namespace kv {

// The discrete Fourier transform with its data windows.
class IFft {
public:
    virtual ~IFft() = default;

    // Multiplies data from offset on by a window of length points (the whole
    // vector when length < 1) and zeroes the rest; halfWindow uses only the
    // falling half of a window twice as long, so it starts at its peak.
    virtual void ApplyWindow(VDoubleVec& data, int length, int windowType, bool halfWindow,
                             int offset) = 0;
    virtual void ApplyWindow(VComplexVec& data, int length, int windowType, bool halfWindow,
                             int offset) = 0;
    // Corrects the level loss of a window of n points.
    virtual void ScaleByWindowGain(VDoubleVec& data, int n, int windowType) = 0;
    virtual void ScaleByWindowGain(VComplexVec& data, int n, int windowType) = 0;
    virtual const char* GetWindowName(int windowType) const = 0;
    // In place, for power-of-two sizes of at least 4. Forward: unscaled with
    // the negative exponent; inverse: scaled by 1/N.
    virtual void Transform(VComplexVec& data, bool inverse) = 0;
    virtual void InverseTransform(VComplexVec& data) = 0;
    // Divides a spectrum by the magnitude of its mean level around a
    // frequency.
    virtual void NormalizeAt(VComplexVec& data, double sampleRate, double frequency) = 0;
};

} // namespace kv
