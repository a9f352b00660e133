#include "model/CResponseEngine.h"

#include "math/BatchMath.h"
#include "math/EndTrend.h"
#include "math/ResponseCurves.h"
#include "math/Rounding.h"

#include <algorithm>
#include <cmath>
#include <new>

namespace kv {
namespace {

constexpr int kMinLog2Size = 10;
// 2^26 points of 16 bytes: far beyond any PIR the program asks for.
constexpr int kMaxLog2Size = 26;
constexpr double kMinSpectrumMagnitude = 1e-37;
constexpr double kMaxSpectrumMagnitude = 1e37;
constexpr double kDbPerNeper = 0x1.15f2ced384f29p+3; // 20 / ln 10
// The tail whose mean is the level a response settled to: 1/256 of it.
constexpr int kTailFraction = 256;

template <typename Vector> bool SameValues(const Vector& a, const Vector& b) {
    return a.GetSize() == b.GetSize() && std::equal(a.begin(), a.end(), b.begin());
}

// The level of a grid end continued by its trend, which may only fall away
// from the grid.
struct EndSlope {
    double magnitude = 0.0;
    double phase = 0.0;
};

EndSlope SlopeTowards(const VDoubleVec& m, const VDoubleVec& p, int end, int inner,
                      double octaves) {
    if (!(octaves > 0.0)) {
        return {};
    }
    return {FallingTrend(m[end], m[inner], octaves), (p[inner] - p[end]) / octaves};
}

} // namespace

int CResponseEngine::TransformLog2Size(double sampleRate, double pirLength) {
    int m = kMinLog2Size;
    while (m < kMaxLog2Size && std::ldexp(1.0, m) / sampleRate < 2.0 * pirLength) {
        ++m;
    }
    return m;
}

bool CResponseEngine::Prepare(const VDoubleVec& grid, double sampleRate, double pirLength,
                              bool& changed) {
    changed = false;
    if (grid.Empty() || !(sampleRate > 0.0) || !(pirLength > 0.0)) {
        return false;
    }
    const bool gridChanged = sampleRate != sampleRate_ || !SameValues(grid_, grid);
    changed = gridChanged || pirLength != pirLength_;
    if (gridChanged) {
        sampleRate_ = 0.0;
        grid_ = grid;
        if (grid_.GetSize() != grid.GetSize() || !phasors_.Create(grid, sampleRate) ||
            !logGrid_.SetSize(grid.GetSize())) {
            grid_.SetSize(0);
            return false;
        }
        for (int i = 0; i < grid.GetSize(); ++i) {
            logGrid_[i] = std::log(grid[i]);
        }
        sampleRate_ = sampleRate;
    }
    pirLength_ = pirLength;
    return true;
}

void CResponseEngine::Update(VComplexVec& response, const VComplexVec& fresh, VDoubleVec& impulse,
                             VDoubleVec& step) {
    if (!impulse.Empty() && SameValues(response, fresh)) {
        return;
    }
    response = fresh;
    ComputeTimeResponse(response, impulse, step);
}

bool CResponseEngine::ComputeTimeResponse(const VComplexVec& response, VDoubleVec& impulse,
                                          VDoubleVec& step) {
    const int n = response.GetSize();
    const int log2Size = TransformLog2Size(sampleRate_, pirLength_);
    const long long count = RoundHalfAway(pirLength_ * sampleRate_);
    bool sized = n > 0 && n == grid_.GetSize();
    for (VDoubleVec* v :
         {&magnitudeDb_, &phase_, &real_, &imaginary_, &gridMagnitudes_, &gridLogs_}) {
        sized = sized && v->SetSize(n);
    }
    if (!sized || count < 1 || count > (1LL << log2Size)) {
        impulse.SetSize(0);
        step.SetSize(0);
        return false;
    }
    LevelsAndPhases(response);
    if (!BuildSpectrum(spectrum_, log2Size, grid_, magnitudeDb_, phase_) ||
        !fft_.InverseRealTransform(spectrum_, impulse, static_cast<int>(count))) {
        impulse.SetSize(0);
        step.SetSize(0);
        return false;
    }
    impulse *= kPascalReference;
    if (!StepResponse(step, impulse, static_cast<int>(count), true)) {
        impulse.SetSize(0);
        step.SetSize(0);
        return false;
    }
    return true;
}

// What MagnitudeToDb and Phase give, in batches: the logarithm as ln·20/ln 10
// and the angle from atan2, both within a few units in the last place.
void CResponseEngine::LevelsAndPhases(const VComplexVec& response) {
    const int n = response.GetSize();
    double* re = real_.Data();
    double* im = imaginary_.Data();
    double* magnitude = gridMagnitudes_.Data();
    double* ln = gridLogs_.Data();
    for (int i = 0; i < n; ++i) {
        re[i] = response[i].real();
        im[i] = response[i].imag();
        magnitude[i] = std::sqrt(re[i] * re[i] + im[i] * im[i]);
    }
    BatchLog(magnitude, ln, n);
    BatchAtan2(im, re, phase_.Data(), n);
    double* level = magnitudeDb_.Data();
    double* phase = phase_.Data();
    for (int i = 0; i < n; ++i) {
        const double inRange =
            magnitude[i] > kMaxLevelMagnitude ? -kLevelFloorDb : ln[i] * kDbPerNeper;
        level[i] = magnitude[i] >= kMinLevelMagnitude ? inRange : kLevelFloorDb;
        phase[i] = re[i] == 0.0 && im[i] == 0.0 ? 0.0 : phase[i];
    }
}

bool CResponseEngine::PlanSpectrum(const VDoubleVec& grid, int log2Size) {
    const double fs = sampleRate_ > 0.0 ? sampleRate_ : 2.0 * grid.Max();
    if (log2Size == plan_.log2Size && fs == plan_.sampleRate && SameValues(plannedGrid_, grid)) {
        return true;
    }
    plan_.log2Size = 0;
    plannedGrid_ = grid;
    const int size = 1 << log2Size;
    const int bins = size / 2;
    const int c = grid.GetSize();
    const double fmin = grid.Min();
    const double fmax = grid.Max();
    try {
        for (std::vector<double>* v : {&plan_.octaves, &plan_.weight, &levels_, &angles_,
                                       &magnitudes_, &sines_, &cosines_}) {
            v->assign(static_cast<std::size_t>(bins), 0.0);
        }
        plan_.lower.assign(static_cast<std::size_t>(bins), 0);
        plan_.upper.assign(static_cast<std::size_t>(bins), 0);
        plan_.exactBins.clear();
    } catch (const std::bad_alloc&) {
        return false;
    }
    // The bins rise in frequency, so the regions follow one another.
    plan_.insideBegin = bins;
    plan_.aboveBegin = bins;
    int j = 0;
    for (int k = 1; k < bins; ++k) {
        const auto at = static_cast<std::size_t>(k);
        const double f = k * fs / size;
        if (f < fmin) {
            plan_.octaves[at] = std::log2(fmin / f);
            continue;
        }
        if (f > fmax) {
            plan_.aboveBegin = std::min(plan_.aboveBegin, k);
            plan_.octaves[at] = std::log2(f / fmax);
            continue;
        }
        plan_.insideBegin = std::min(plan_.insideBegin, k);
        while (j < c - 1 && grid[j] < f) {
            ++j;
        }
        if (grid[j] == f || j == 0) {
            plan_.lower[at] = j;
            plan_.upper[at] = j;
            plan_.exactBins.push_back(k);
            continue;
        }
        const double lnLow = GuardedLn(grid[j - 1]);
        double span = GuardedLn(grid[j]) - lnLow;
        if (span == 0.0) {
            span = 1e-37;
        }
        plan_.lower[at] = j - 1;
        plan_.upper[at] = j;
        plan_.weight[at] = (GuardedLn(f) - lnLow) / span;
    }
    plan_.insideBegin = std::min(plan_.insideBegin, plan_.aboveBegin);
    plan_.pointsPerOctave =
        fmax > fmin ? std::max(1, static_cast<int>(RoundHalfAway(c / std::log2(fmax / fmin)))) : 1;
    const EndTrendPoints trend = FindEndTrendPoints(grid);
    plan_.lowSlopePoint = trend.low;
    plan_.highSlopePoint = trend.high;
    plan_.lowSlopeOctaves = trend.lowOctaves;
    plan_.highSlopeOctaves = trend.highOctaves;
    plan_.sampleRate = fs;
    plan_.log2Size = log2Size;
    return true;
}

void CResponseEngine::InterpolateBins(const VDoubleVec& m, const VDoubleVec& p) {
    const int c = m.GetSize();
    const EndSlope low = SlopeTowards(m, p, 0, plan_.lowSlopePoint, plan_.lowSlopeOctaves);
    const EndSlope high = SlopeTowards(m, p, c - 1, plan_.highSlopePoint, plan_.highSlopeOctaves);
    const int bins = static_cast<int>(levels_.size());
    const double* octaves = plan_.octaves.data();
    double* level = levels_.data();
    double* angle = angles_.data();
    for (int k = 1; k < plan_.insideBegin; ++k) {
        level[k] = m[0] - octaves[k] * low.magnitude;
        angle[k] = p[0] - octaves[k] * low.phase;
    }
    const int* lower = plan_.lower.data();
    const int* upper = plan_.upper.data();
    const double* weight = plan_.weight.data();
    for (int k = plan_.insideBegin; k < plan_.aboveBegin; ++k) {
        level[k] = m[lower[k]] + (m[upper[k]] - m[lower[k]]) * weight[k];
        angle[k] = p[lower[k]] + (p[upper[k]] - p[lower[k]]) * weight[k];
    }
    for (int k = plan_.aboveBegin; k < bins; ++k) {
        level[k] = m[c - 1] - octaves[k] * high.magnitude;
        angle[k] = p[c - 1] - octaves[k] * high.phase;
    }
}

bool CResponseEngine::BuildSpectrum(VComplexVec& spectrum, int log2Size, const VDoubleVec& grid,
                                    const VDoubleVec& magnitudeDb, const VDoubleVec& phase) {
    const int c = grid.GetSize();
    if (log2Size < 2 || log2Size > kMaxLog2Size) {
        return false;
    }
    const int bins = 1 << (log2Size - 1);
    if (c == 0 || magnitudeDb.GetSize() != c || phase.GetSize() != c ||
        !spectrum.SetSize(bins + 1) || !wrapped_.SetSize(c) || !PlanSpectrum(grid, log2Size)) {
        return false;
    }
    for (int i = 0; i < c; ++i) {
        wrapped_[i] = WrapPhase(phase[i]);
    }
    if (!UnwrapPhase(unwrapped_, wrapped_, plan_.pointsPerOctave)) {
        return false;
    }
    InterpolateBins(magnitudeDb, unwrapped_);
    // Bin 0 is left out of the batches: it is set below.
    double* level = levels_.data() + 1;
    double* magnitude = magnitudes_.data() + 1;
    const int count = bins - 1;
    for (int k = 0; k < count; ++k) {
        level[k] *= kNepersPerDb;
    }
    BatchExp(level, magnitude, count);
    for (int k = 0; k < count; ++k) {
        const double m =
            magnitude[k] < kMinSpectrumMagnitude ? kMinSpectrumMagnitude : magnitude[k];
        magnitude[k] = m > kMaxSpectrumMagnitude ? kMaxSpectrumMagnitude : m;
    }
    for (const int k : plan_.exactBins) {
        BatchExp(&levels_[static_cast<std::size_t>(k)], &magnitudes_[static_cast<std::size_t>(k)],
                 1);
    }
    BatchSinCos(angles_.data() + 1, sines_.data() + 1, cosines_.data() + 1, count);
    spectrum[0] = Complex(kMinSpectrumMagnitude, 0.0);
    for (int k = 1; k < bins; ++k) {
        const auto at = static_cast<std::size_t>(k);
        spectrum[k] = Complex(magnitudes_[at] * cosines_[at], magnitudes_[at] * sines_[at]);
    }
    spectrum[bins] = Complex();
    return true;
}

double TailMean(const VDoubleVec& values) {
    const int count = values.GetSize() / kTailFraction;
    if (count == 0) {
        return 0.0;
    }
    double sum = 0.0;
    for (int i = values.GetSize() - count; i < values.GetSize(); ++i) {
        sum += values[i];
    }
    return sum / count;
}

bool StepResponse(VDoubleVec& step, const VDoubleVec& impulse, int count, bool removeDc) {
    const int n = (count >= 1 && count <= impulse.GetSize()) ? count : impulse.GetSize();
    if (!step.SetSize(n)) {
        return false;
    }
    const double dc = removeDc ? TailMean(impulse) : 0.0;
    double sum = 0.0;
    for (int t = 0; t < n; ++t) {
        step[t] = sum;
        sum += impulse[t] - dc;
    }
    return true;
}

} // namespace kv
