#include "import/VSmooth.h"

#include "math/ResponseCurves.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace kv {
namespace {

constexpr double kLog2Of10 = 3.321928094887362;
// The final 3-point averaging runs only on curves denser than this.
constexpr int kMinPointsPerOctaveForAveraging = 6;

} // namespace

double PointsPerOctave(const double* frequencies, int n) {
    if (n < 2) {
        return 0.0;
    }
    const auto [lo, hi] = std::minmax_element(frequencies, frequencies + n);
    if (!(*lo < *hi)) {
        return 0.0;
    }
    return n / (std::log10(*hi / *lo) * kLog2Of10);
}

double PointsPerOctave(const VDoubleVec& frequencies) {
    return PointsPerOctave(frequencies.Data(), frequencies.GetSize());
}

void VSmooth::Smooth(const VDoubleVec& frequencies, VDoubleVec& values, int n, Mode mode) {
    f_ = frequencies.Data();
    v_ = values.Data();
    size_ = std::min(frequencies.GetSize(), values.GetSize());
    n_ = n;
    mode_ = mode;
    ascending_ = std::is_sorted(f_, f_ + size_);
    if (size_ == 0 || n_ < 1) {
        return;
    }
    const double halfWindow = std::pow(2.0, 1.0 / (4.0 * n_));
    Pass(0);
    Pass(FirstAtOrAbove(halfWindow * f_[0], 0));
    FinalAveraging();
}

bool VSmooth::SmoothPhase(const VDoubleVec& frequencies, VDoubleVec& phases, int n, Mode mode,
                          bool alreadyUnwrapped) {
    if (alreadyUnwrapped) {
        Smooth(frequencies, phases, n, mode);
        return true;
    }
    VDoubleVec unwrapped;
    if (!UnwrapPhase(unwrapped, phases, static_cast<int>(PointsPerOctave(frequencies)))) {
        return false;
    }
    phases = unwrapped;
    Smooth(frequencies, phases, n, mode);
    for (double& phase : phases) {
        phase = WrapPhase(phase);
    }
    return true;
}

// The first index at or after `from` whose frequency reaches the given one;
// size_ when there is none. Binary search where the frequencies ascend, as
// every imported curve does.
int VSmooth::FirstAtOrAbove(double frequency, int from) const {
    if (ascending_) {
        return static_cast<int>(std::lower_bound(f_ + from, f_ + size_, frequency) - f_);
    }
    int i = from;
    while (i < size_ && !(f_[i] >= frequency)) {
        ++i;
    }
    return i;
}

void VSmooth::Pass(int start) {
    if (start >= size_ - 1) {
        return;
    }
    const double step = std::pow(2.0, 1.0 / (2.0 * n_));
    for (int i = start; i < size_ - 1;) {
        int j = FirstAtOrAbove(step * f_[i], i + 1);
        if (j >= size_) {
            j = size_ - 1;
        }
        if (mode_ == Mode::Mean || mode_ == Mode::Median) {
            const double a = Statistic(WindowAround(f_[i]));
            const double b = Statistic(WindowAround(f_[j]));
            for (int k = i; k < j; ++k) {
                v_[k] = LogInterpolate(f_[k], f_[i], a, f_[j], b);
            }
        } else if (mode_ == Mode::InterpolationOnly) {
            for (int k = i + 1; k < j; ++k) {
                v_[k] = v_[i] == v_[j] ? v_[i] : LogInterpolate(f_[k], f_[i], v_[i], f_[j], v_[j]);
            }
        }
        i = j;
    }
}

VSmooth::Window VSmooth::WindowAround(double frequency) const {
    const double halfWindow = std::pow(2.0, 1.0 / (4.0 * n_));
    const int first = std::min(FirstAtOrAbove(frequency / halfWindow, 0), size_ - 1);
    int last = first;
    while (last < size_ - 1 && f_[last] < frequency * halfWindow) {
        ++last;
    }
    return {first, last};
}

double VSmooth::Statistic(Window window) const {
    const int count = window.last - window.first + 1;
    if (mode_ == Mode::Mean) {
        double sum = 0.0;
        for (int k = window.first; k <= window.last; ++k) {
            sum += v_[k];
        }
        return sum / count;
    }
    // An even window of four or more drops its last value so that the median
    // is a value of the curve.
    const int used = (count % 2 == 0 && count >= 4) ? count - 1 : count;
    std::vector<double> sorted(v_ + window.first, v_ + window.first + used);
    std::nth_element(sorted.begin(), sorted.begin() + used / 2, sorted.end());
    return sorted[static_cast<std::size_t>(used / 2)];
}

void VSmooth::FinalAveraging() {
    const int pointsPerOctave = static_cast<int>(PointsPerOctave(f_, size_));
    if (pointsPerOctave <= kMinPointsPerOctaveForAveraging || pointsPerOctave <= n_) {
        return;
    }
    for (int first : {1, 2}) {
        for (int k = first; k <= size_ - 2; k += 2) {
            v_[k] = (v_[k - 1] + v_[k + 1]) / 2.0;
        }
    }
}

} // namespace kv
