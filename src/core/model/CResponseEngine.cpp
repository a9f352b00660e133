#include "model/CResponseEngine.h"

#include "math/ResponseCurves.h"
#include "math/Rounding.h"

#include <algorithm>
#include <cmath>

namespace kv {
namespace {

constexpr int kMinLog2Size = 10;
// 2^26 points of 16 bytes: far beyond any PIR the program asks for.
constexpr int kMaxLog2Size = 26;
constexpr double kThirdOctave = 1.2599210498948732; // 2^(1/3)
constexpr double kMinSpectrumMagnitude = 1e-37;
constexpr double kMaxSpectrumMagnitude = 1e37;
constexpr double kDbToNeper = 0.11512925464970229; // ln 10 / 20
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
    return {std::max(0.0, (m[inner] - m[end]) / octaves), (p[inner] - p[end]) / octaves};
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
        if (grid_.GetSize() != grid.GetSize() || !phasors_.Create(grid, sampleRate)) {
            grid_.SetSize(0);
            return false;
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
    impulse.SetSize(0);
    step.SetSize(0);
    const int n = response.GetSize();
    if (n == 0 || n != grid_.GetSize() || !magnitudeDb_.SetSize(n) || !phase_.SetSize(n)) {
        return false;
    }
    for (int i = 0; i < n; ++i) {
        magnitudeDb_[i] = MagnitudeToDb(Magnitude(response[i]));
        phase_[i] = Phase(response[i]);
    }
    const int log2Size = TransformLog2Size(sampleRate_, pirLength_);
    if (!BuildSpectrum(spectrum_, log2Size, grid_, magnitudeDb_, phase_)) {
        return false;
    }
    fft_.InverseTransform(spectrum_);
    const long long count = RoundHalfAway(pirLength_ * sampleRate_);
    if (count < 1 || count > spectrum_.GetSize() || !impulse.SetSize(static_cast<int>(count))) {
        return false;
    }
    for (int t = 0; t < impulse.GetSize(); ++t) {
        impulse[t] = spectrum_[t].real() * kPascalReference;
    }
    if (!StepResponse(step, impulse, static_cast<int>(count), true)) {
        impulse.SetSize(0);
        step.SetSize(0);
        return false;
    }
    return true;
}

bool CResponseEngine::PlanBins(const VDoubleVec& grid, int log2Size) {
    const double fs = sampleRate_ > 0.0 ? sampleRate_ : 2.0 * grid.Max();
    if (log2Size == plannedLog2Size_ && fs == plannedSampleRate_ &&
        SameValues(plannedGrid_, grid)) {
        return true;
    }
    plannedLog2Size_ = 0;
    plannedGrid_ = grid;
    const int size = 1 << log2Size;
    const int c = grid.GetSize();
    const double fmin = grid.Min();
    const double fmax = grid.Max();
    try {
        bins_.assign(static_cast<std::size_t>(size / 2),
                     BinPlace{BinPlace::Region::Below, 0, 0.0, 0.0});
    } catch (const std::bad_alloc&) {
        return false;
    }
    int j = 0;
    for (int k = 1; k < size / 2; ++k) {
        const double f = k * fs / size;
        BinPlace& bin = bins_[static_cast<std::size_t>(k)];
        if (f < fmin) {
            bin = {BinPlace::Region::Below, 0, std::log2(fmin / f), 0.0};
            continue;
        }
        if (f > fmax) {
            bin = {BinPlace::Region::Above, c - 1, std::log2(f / fmax), 0.0};
            continue;
        }
        while (j < c - 1 && grid[j] < f) {
            ++j;
        }
        if (grid[j] == f || j == 0) {
            bin = {BinPlace::Region::Exact, j, 0.0, 0.0};
            continue;
        }
        const double lnLow = GuardedLn(grid[j - 1]);
        double span = GuardedLn(grid[j]) - lnLow;
        if (span == 0.0) {
            span = 1e-37;
        }
        bin = {BinPlace::Region::Between, j, 0.0, (GuardedLn(f) - lnLow) / span};
    }
    plannedSampleRate_ = fs;
    plannedLog2Size_ = log2Size;
    return true;
}

bool CResponseEngine::BuildSpectrum(VComplexVec& spectrum, int log2Size, const VDoubleVec& grid,
                                    const VDoubleVec& magnitudeDb, const VDoubleVec& phase) {
    const int c = grid.GetSize();
    if (log2Size < 2 || log2Size > kMaxLog2Size) {
        return false;
    }
    const int size = 1 << log2Size;
    if (c == 0 || magnitudeDb.GetSize() != c || phase.GetSize() != c || !spectrum.SetSize(size) ||
        !PlanBins(grid, log2Size)) {
        return false;
    }
    spectrum.Fill(Complex());
    const double fmin = grid.Min();
    const double fmax = grid.Max();
    const int pointsPerOctave =
        fmax > fmin ? std::max(1, static_cast<int>(RoundHalfAway(c / std::log2(fmax / fmin)))) : 1;
    const VDoubleVec& m = magnitudeDb;
    VDoubleVec wrapped(c);
    for (int i = 0; i < c; ++i) {
        wrapped[i] = WrapPhase(phase[i]);
    }
    VDoubleVec p;
    if (!UnwrapPhase(p, wrapped, pointsPerOctave)) {
        return false;
    }
    int i1 = 1;
    while (i1 < c - 1 && grid[i1] < fmin * kThirdOctave) {
        ++i1;
    }
    int i2 = c - 2;
    while (i2 > 0 && !(grid[i2] < fmax / kThirdOctave)) {
        --i2;
    }
    const EndSlope low = c > 1 ? SlopeTowards(m, p, 0, i1, std::log2(grid[i1] / fmin)) : EndSlope{};
    const EndSlope high =
        c > 1 ? SlopeTowards(m, p, c - 1, std::max(i2, 0), std::log2(fmax / grid[std::max(i2, 0)]))
              : EndSlope{};
    for (int k = 1; k < size / 2; ++k) {
        const BinPlace& bin = bins_[static_cast<std::size_t>(k)];
        double level = 0.0;
        double angle = 0.0;
        switch (bin.region) {
        case BinPlace::Region::Below:
            level = m[0] - bin.octaves * low.magnitude;
            angle = p[0] - bin.octaves * low.phase;
            break;
        case BinPlace::Region::Above:
            level = m[c - 1] - bin.octaves * high.magnitude;
            angle = p[c - 1] - bin.octaves * high.phase;
            break;
        case BinPlace::Region::Exact:
            level = m[bin.index];
            angle = p[bin.index];
            break;
        case BinPlace::Region::Between:
            level = m[bin.index - 1] + (m[bin.index] - m[bin.index - 1]) * bin.weight;
            angle = p[bin.index - 1] + (p[bin.index] - p[bin.index - 1]) * bin.weight;
            break;
        }
        double magnitude = std::exp(level * kDbToNeper);
        if (bin.region != BinPlace::Region::Exact) {
            magnitude = std::clamp(magnitude, kMinSpectrumMagnitude, kMaxSpectrumMagnitude);
        }
        const Complex value = FromPolar(magnitude, angle);
        spectrum[k] = value;
        spectrum[size - k] = std::conj(value);
    }
    spectrum[0] = Complex(kMinSpectrumMagnitude, 0.0);
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
