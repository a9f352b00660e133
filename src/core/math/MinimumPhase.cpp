#include "math/MinimumPhase.h"

#include "math/BatchMath.h"
#include "math/EndTrend.h"
#include "math/ResponseCurves.h"

#include <algorithm>
#include <cmath>
#include <new>
#include <numbers>

namespace kv {
namespace {

// The transform's size: the bins of the half circle resolve 0.6 % of the
// frequency at the ends of a curve from 10 Hz to 40 kHz.
constexpr int kLog2Size = 15;
constexpr int kSize = 1 << kLog2Size;
constexpr int kHalf = kSize / 2;
// The dB per octave of a response that goes as f to the power 1.
constexpr double kDbPerOctavePerPower = 6.020599913279624;

bool FrequenciesRise(const VDoubleVec& frequencies) {
    const int n = frequencies.GetSize();
    return frequencies[0] > 0.0 && frequencies[n - 1] > frequencies[0] &&
           std::is_sorted(frequencies.begin(), frequencies.end());
}

} // namespace

bool MinimumPhase::Prepare() {
    if (!lnSine_.empty()) {
        return true;
    }
    if (!spectrum_.SetSize(kHalf + 1)) {
        return false;
    }
    // Bins 1 … N/2 - 1 at half their angle, through the batch functions: a
    // fresh object is ready in a fraction of a transform's time.
    const int count = kHalf - 1;
    std::vector<double> angles;
    std::vector<double> sines;
    std::vector<double> cosines;
    try {
        for (std::vector<double>* v : {&lnSine_, &lnCosine_, &angles, &sines, &cosines}) {
            v->assign(kHalf + 1, 0.0);
        }
    } catch (const std::bad_alloc&) {
        lnSine_.clear();
        return false;
    }
    for (int k = 1; k < kHalf; ++k) {
        angles[static_cast<std::size_t>(k)] = std::numbers::pi * k / kSize;
    }
    BatchSinCos(angles.data() + 1, sines.data() + 1, cosines.data() + 1, count);
    BatchLog(sines.data() + 1, lnSine_.data() + 1, count);
    BatchLog(cosines.data() + 1, lnCosine_.data() + 1, count);
    return true;
}

// Below the curve ln |H| falls by lowPower nepers per neper of frequency,
// above it by highPower; the end trends' own ln |G| = lowPower·ln sin(θ/2) +
// highPower·ln cos(θ/2) is taken off, which leaves a bounded function whose
// limits at 0 Hz and at infinity are set at the two end bins.
void MinimumPhase::LogMagnitudeBins(const VDoubleVec& frequencies, const VDoubleVec& levelsDb,
                                    double lowPower, double highPower, double lnCentre) {
    const int n = frequencies.GetSize();
    const double* lnF = lnFrequencies_.data();
    const double lowest = levelsDb[0] * kNepersPerDb;
    const double highest = levelsDb[n - 1] * kNepersPerDb;
    Complex* bins = spectrum_.Data();
    bins[0] = lowest + lowPower * (lnCentre - lnF[0]);
    bins[kHalf] = highest + highPower * (lnF[n - 1] - lnCentre);
    int j = 0;
    for (int k = 1; k < kHalf; ++k) {
        const auto at = static_cast<std::size_t>(k);
        const double lnSine = lnSine_[at];
        const double lnCosine = lnCosine_[at];
        const double lnBin = lnCentre + lnSine - lnCosine;
        double lnH = 0.0;
        if (lnBin <= lnF[0]) {
            lnH = lowest - lowPower * (lnF[0] - lnBin);
        } else if (lnBin >= lnF[n - 1]) {
            lnH = highest - highPower * (lnBin - lnF[n - 1]);
        } else {
            while (lnF[j + 1] < lnBin) {
                ++j;
            }
            const double span = lnF[j + 1] - lnF[j];
            const double weight = span > 0.0 ? (lnBin - lnF[j]) / span : 0.0;
            lnH = (levelsDb[j] + (levelsDb[j + 1] - levelsDb[j]) * weight) * kNepersPerDb;
        }
        bins[k] = lnH - lowPower * lnSine - highPower * lnCosine;
    }
}

// The residual's cepstrum c[n] is the inverse transform of its (real, even)
// log magnitude; the minimum-phase response keeps c[0] and twice c[n] for
// 0 < n < N/2, whose phase is -2·Σ c[n]·sin(nθ): the inverse transform of
// the imaginary spectrum j·c[n], times N.
bool MinimumPhase::Compute(const VDoubleVec& frequencies, const VDoubleVec& levelsDb,
                           VDoubleVec& phases) {
    const int n = frequencies.GetSize();
    phases.SetSize(0);
    if (n < 2 || levelsDb.GetSize() != n || !frequencies.AllFinite() || !levelsDb.AllFinite() ||
        !FrequenciesRise(frequencies) || !Prepare()) {
        return false;
    }
    try {
        lnFrequencies_.resize(static_cast<std::size_t>(n));
    } catch (const std::bad_alloc&) {
        return false;
    }
    for (int i = 0; i < n; ++i) {
        lnFrequencies_[static_cast<std::size_t>(i)] = std::log(frequencies[i]);
    }
    const EndTrendPoints trend = FindEndTrendPoints(frequencies);
    const double lowPower =
        FallingTrend(levelsDb[0], levelsDb[trend.low], trend.lowOctaves) / kDbPerOctavePerPower;
    const double highPower =
        FallingTrend(levelsDb[n - 1], levelsDb[trend.high], trend.highOctaves) /
        kDbPerOctavePerPower;
    const double centre = std::sqrt(frequencies[0]) * std::sqrt(frequencies[n - 1]);
    LogMagnitudeBins(frequencies, levelsDb, lowPower, highPower, std::log(centre));
    if (!fft_.InverseRealTransform(spectrum_, cepstrum_, kHalf)) {
        return false;
    }
    spectrum_[0] = 0.0;
    spectrum_[kHalf] = 0.0;
    for (int k = 1; k < kHalf; ++k) {
        spectrum_[k] = Complex(0.0, cepstrum_[k]);
    }
    if (!fft_.InverseRealTransform(spectrum_, residualPhase_, kHalf + 1) || !phases.SetSize(n)) {
        return false;
    }
    constexpr double kBinsPerRadian = kSize / (2.0 * std::numbers::pi);
    for (int i = 0; i < n; ++i) {
        const double angle = 2.0 * std::atan(frequencies[i] / centre);
        const double position = angle * kBinsPerRadian;
        const int t = std::min(static_cast<int>(position), kHalf - 1);
        const double weight = position - t;
        const double residual =
            kSize * (residualPhase_[t] + (residualPhase_[t + 1] - residualPhase_[t]) * weight);
        const double trends = 0.5 * (lowPower * (std::numbers::pi - angle) - highPower * angle);
        phases[i] = residual + trends;
    }
    return true;
}

} // namespace kv
