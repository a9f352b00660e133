#include "math/VFftTools.h"

#include <cmath>
#include <numbers>

namespace kv {
namespace {

constexpr double twoPi = 2.0 * std::numbers::pi;

// The peak of each full window is raised to keep the level of a windowed
// sine.
double FullWindowGain(WindowType windowType) {
    switch (windowType) {
    case WindowType::Bartlett:
    case WindowType::Hanning:
        return 2.0;
    case WindowType::Hamming:
        return 1.840772;
    case WindowType::Blackman:
        return 2.3713737;
    case WindowType::BlackmanHarris:
        return 2.7861212;
    case WindowType::CosineBell:
        return 1.2445146;
    default:
        return 1.0;
    }
}

} // namespace

double VFftTools::WindowValue(WindowType windowType, double t, double n) {
    const double x = twoPi * t / n;
    switch (windowType) {
    case WindowType::Bartlett:
        return t < n / 2.0 ? 2.0 * t / n : 2.0 - 2.0 * t / n;
    case WindowType::Hanning:
        return 0.5 - 0.5 * std::cos(x);
    case WindowType::Hamming:
        return 0.54 - 0.46 * std::cos(x);
    case WindowType::Blackman:
        return 0.42 - 0.5 * std::cos(x) + 0.08 * std::cos(2.0 * x);
    case WindowType::BlackmanHarris:
        return 0.35875 - 0.48829 * std::cos(x) + 0.14128 * std::cos(2.0 * x) -
               0.01168 * std::cos(3.0 * x);
    case WindowType::CosineBell: {
        const double a = 0.2 * n;
        const double b = 0.8 * n;
        if (t < a) {
            return 0.5 - 0.5 * std::cos(std::numbers::pi * t / a);
        }
        return t <= b ? 1.0 : 0.5 * (1.0 + std::cos(std::numbers::pi * (b - t) / a));
    }
    default:
        return 1.0;
    }
}

template <typename Vector>
void VFftTools::ApplyWindowTo(Vector& data, int length, WindowType windowType, bool halfWindow,
                              int offset) {
    const int size = data.GetSize();
    if (size == 0) {
        return;
    }
    const int l = (length < 1 || length > size) ? size : length;
    const int o = std::min(offset, size - 1);
    const double n = halfWindow ? 2.0 * l : l;
    const double gain = halfWindow ? 1.0 : FullWindowGain(windowType);
    const bool rectangular =
        windowType < WindowType::Bartlett || windowType > WindowType::CosineBell;
    for (int i = 0; i < o; ++i) {
        data[i] = 0.0;
    }
    int i = std::max(o, 0);
    for (; i < o + l && i + o < size; ++i) {
        if (rectangular) {
            data[i] *= i < l ? 1.0 : 0.0;
            continue;
        }
        const double t = halfWindow ? i - o + l : i - o;
        data[i] *= WindowValue(windowType, t, n) * gain;
    }
    for (; i < size; ++i) {
        data[i] = 0.0;
    }
}

void VFftTools::ApplyWindow(VDoubleVec& data, int length, WindowType windowType, bool halfWindow,
                            int offset) {
    ApplyWindowTo(data, length, windowType, halfWindow, offset);
}

void VFftTools::ApplyWindow(VComplexVec& data, int length, WindowType windowType, bool halfWindow,
                            int offset) {
    ApplyWindowTo(data, length, windowType, halfWindow, offset);
}

double VFftTools::WindowGainFactor(WindowType windowType, int n) {
    double sum = n;
    switch (windowType) {
    case WindowType::Bartlett:
        // A triangle covers half of its rectangle.
        sum = 0.5 * n;
        break;
    case WindowType::Hanning:
        sum = 0.5 * (n - 1);
        break;
    case WindowType::Hamming:
        sum = 0.54 * n - 0.46;
        break;
    case WindowType::Blackman:
        sum = 0.42 * (n - 1);
        break;
    case WindowType::BlackmanHarris:
        sum = 0.35875 * (n - 1);
        break;
    case WindowType::CosineBell:
        sum = 0.05 * (n - 1) + 0.9 * n;
        break;
    default:
        break;
    }
    return n / sum;
}

void VFftTools::ScaleByWindowGain(VDoubleVec& data, int n, WindowType windowType) {
    data *= WindowGainFactor(windowType, n);
}

void VFftTools::ScaleByWindowGain(VComplexVec& data, int n, WindowType windowType) {
    data *= WindowGainFactor(windowType, n);
}

const char* VFftTools::GetWindowName(WindowType windowType) const {
    static constexpr const char* kNames[] = {"Rectangular",     "Bartlett", "Hanning (Cos)",
                                             "Hamming",         "Blackman", "Blackman-Harris",
                                             "Ext. Cosine Bell"};
    constexpr int kCount = 7;
    const int number = static_cast<int>(windowType);
    return kNames[((number % kCount) + kCount) % kCount];
}

void VFftTools::NormalizeAt(VComplexVec& data, double sampleRate, double frequency) {
    const int n = data.GetSize();
    if (n == 0 || !(sampleRate > 0.0)) {
        return;
    }
    const int centre = static_cast<int>(std::floor(n * frequency / sampleRate + 0.5));
    const int half =
        std::max(1, static_cast<int>(std::floor(0.1 * frequency / (sampleRate / n) + 0.5)));
    const double level = Magnitude(data.Mean(centre - half, centre + half));
    // A silent spectrum has no level to refer to; dividing would fill it with
    // NaN.
    if (level > 0.0 && std::isfinite(level)) {
        data /= level;
    }
}

} // namespace kv
