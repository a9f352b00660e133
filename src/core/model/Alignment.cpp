#include "model/Alignment.h"

#include "math/Complex.h"
#include "math/ResponseCurves.h"
#include "model/CConfiguration.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

namespace kv {
namespace {

// The smallest power a sum's level is taken at: the level floor, -760 dB.
constexpr double kMinPower = kMinLevelMagnitude * kMinLevelMagnitude;

// The lowest enabled low-pass or the highest enabled high-pass, 0 for
// none.
double CrossoverEdge(const BandSettings& band, CrossoverSide side) {
    double edge = 0.0;
    for (int k = 0; k < kCrossoverSlots; ++k) {
        CrossoverSettings slot;
        if (band.GetCrossover(side, k, slot) && band.CrossoverEnabled(side, k)) {
            const bool closer =
                side == CrossoverSide::LowPass ? edge == 0.0 || slot.freq < edge : slot.freq > edge;
            edge = closer ? slot.freq : edge;
        }
    }
    return edge;
}

// The ratio of the higher to the lower of the two edges where the low band's
// low-pass meets the high band's high-pass; 0 where they do not, or lie
// more than two octaves apart (the outer bands of a 3-way, with the middle
// band's crossovers between them).
double MeetingRatio(const BandSettings& low, const BandSettings& high) {
    constexpr double kMaxRatio = 4.0;
    const double lowPass = CrossoverEdge(low, CrossoverSide::LowPass);
    const double highPass = CrossoverEdge(high, CrossoverSide::HighPass);
    if (!(lowPass > 0.0 && highPass > 0.0)) {
        return 0.0;
    }
    const double ratio = std::max(lowPass, highPass) / std::min(lowPass, highPass);
    return ratio <= kMaxRatio ? ratio : 0.0;
}

double MeetingFrequency(const BandSettings& low, const BandSettings& high) {
    return std::sqrt(CrossoverEdge(low, CrossoverSide::LowPass) *
                     CrossoverEdge(high, CrossoverSide::HighPass));
}

// The deviation of a sum, given as its level in dB less the targets', over
// the crossover's points.
double Deviation(const std::vector<double>& differences) {
    double mean = 0.0;
    for (const double d : differences) {
        mean += d;
    }
    mean /= static_cast<double>(differences.size());
    double square = 0.0;
    for (const double d : differences) {
        square += (d - mean) * (d - mean);
    }
    return std::sqrt(square / static_cast<double>(differences.size()));
}

double LevelDb(const Complex& value) {
    return 10.0 * std::log10(std::max(std::norm(value), kMinPower));
}

// What the search works on: the two bands' computed totals and their
// targets' sum in dB at the points of the crossover's two octaves.
struct CrossoverPoints {
    std::vector<double> frequencies;
    std::vector<Complex> partner;
    std::vector<Complex> band;
    std::vector<double> targetDb;
};

// The targets carry no polarity: of their sum and their difference the one
// that is flatter is what the crossover means (a second-order
// Linkwitz-Riley pair sums flat only with one band inverted, and in phase
// has a notch that no sum should follow).
CrossoverPoints PointsAround(const CConfiguration& design, const CBand& partner, const CBand& band,
                             double crossoverHz) {
    CrossoverPoints points;
    std::vector<double> differenceDb;
    const VFreqVec& grid = *design.freqGrid;
    for (int i = 0; i < grid.GetSize(); ++i) {
        if (grid[i] >= crossoverHz / 2.0 && grid[i] <= crossoverHz * 2.0) {
            points.frequencies.push_back(grid[i]);
            points.partner.push_back(partner.totalResponse[i]);
            points.band.push_back(band.totalResponse[i]);
            points.targetDb.push_back(LevelDb(partner.targetResponse[i] + band.targetResponse[i]));
            differenceDb.push_back(LevelDb(partner.targetResponse[i] - band.targetResponse[i]));
        }
    }
    if (!points.frequencies.empty() && Deviation(differenceDb) < Deviation(points.targetDb)) {
        points.targetDb = differenceDb;
    }
    return points;
}

bool Computed(const CConfiguration& design, const CBand& band) {
    const int n = design.freqGrid != nullptr ? design.freqGrid->GetSize() : 0;
    return n > 0 && band.totalResponse.GetSize() == n && band.targetResponse.GetSize() == n;
}

// The deviation of the sum with the band turned by phasors (one per point)
// and its polarity flipped or not.
double DeviationWith(const CrossoverPoints& points, const std::vector<Complex>& turn, bool flip,
                     std::vector<double>& differences) {
    const double sign = flip ? -1.0 : 1.0;
    for (std::size_t k = 0; k < points.frequencies.size(); ++k) {
        differences[k] =
            LevelDb(points.partner[k] + sign * points.band[k] * turn[k]) - points.targetDb[k];
    }
    return Deviation(differences);
}

void RecordSums(const CrossoverPoints& points, const CBand& moved, Alignment& alignment) {
    const double sign = alignment.reversedPhase != moved.reversedPhase ? -1.0 : 1.0;
    alignment.frequencies = points.frequencies;
    alignment.targetDb = points.targetDb;
    alignment.sumBeforeDb.clear();
    alignment.sumAfterDb.clear();
    for (std::size_t k = 0; k < points.frequencies.size(); ++k) {
        const double turn =
            -2.0 * std::numbers::pi * points.frequencies[k] * (alignment.delay - moved.delay);
        alignment.sumBeforeDb.push_back(LevelDb(points.partner[k] + points.band[k]));
        alignment.sumAfterDb.push_back(
            LevelDb(points.partner[k] + sign * points.band[k] * FromPolar(1.0, turn)));
    }
}

} // namespace

double SharedCrossoverHz(const BandSettings& a, const BandSettings& b) {
    const double aBelow = MeetingRatio(a, b);
    const double bBelow = MeetingRatio(b, a);
    if (aBelow > 0.0 && (bBelow == 0.0 || aBelow <= bBelow)) {
        return MeetingFrequency(a, b);
    }
    return bBelow > 0.0 ? MeetingFrequency(b, a) : 0.0;
}

// Every whole-sample delay from 0 to what the delay memory leaves, each
// with both polarities; the band's computed total already holds its
// present delay and polarity, which are taken back out.
AlignOutcome FindAlignment(const CConfiguration& design, int partner, int band,
                           Alignment& alignment) {
    if (partner < 0 || band < 0 || partner >= design.numBands || band >= design.numBands) {
        return AlignOutcome::NoSuchBand;
    }
    if (partner == band) {
        return AlignOutcome::SameBand;
    }
    const CBand& other = design.bands[static_cast<std::size_t>(partner)];
    const CBand& moved = design.bands[static_cast<std::size_t>(band)];
    const double crossoverHz = SharedCrossoverHz(other, moved);
    if (!(crossoverHz > 0.0)) {
        return AlignOutcome::NoCrossover;
    }
    if (!Computed(design, other) || !Computed(design, moved)) {
        return AlignOutcome::NotComputed;
    }
    const CrossoverPoints points = PointsAround(design, other, moved, crossoverHz);
    if (points.frequencies.empty()) {
        return AlignOutcome::NotComputed;
    }
    const double fs = design.sampleRate;
    const std::size_t count = points.frequencies.size();
    std::vector<Complex> turn(count);
    std::vector<Complex> step(count);
    std::vector<double> differences(count);
    for (std::size_t k = 0; k < count; ++k) {
        const double radiansPerSecond = 2.0 * std::numbers::pi * points.frequencies[k];
        turn[k] = FromPolar(1.0, radiansPerSecond * moved.delay);
        step[k] = FromPolar(1.0, -radiansPerSecond / fs);
    }
    alignment = Alignment{};
    alignment.band = band;
    alignment.partner = partner;
    alignment.crossoverHz = crossoverHz;
    alignment.delay = moved.delay;
    alignment.reversedPhase = moved.reversedPhase;
    const std::vector<Complex> unturned(count, Complex(1.0, 0.0));
    alignment.deviationBeforeDb = DeviationWith(points, unturned, false, differences);
    alignment.deviationAfterDb = alignment.deviationBeforeDb;
    const int samples = static_cast<int>(std::floor(design.GetMaxDelay(band) * fs + 1e-9));
    for (int delay = 0; delay <= samples; ++delay) {
        for (const bool flip : {false, true}) {
            const double deviation = DeviationWith(points, turn, flip, differences);
            if (deviation < alignment.deviationAfterDb) {
                alignment.deviationAfterDb = deviation;
                alignment.delay = delay / fs;
                alignment.reversedPhase = moved.reversedPhase != flip;
            }
        }
        for (std::size_t k = 0; k < count; ++k) {
            turn[k] *= step[k];
        }
    }
    RecordSums(points, moved, alignment);
    return AlignOutcome::Aligned;
}

bool ApplyAlignment(CConfiguration& design, const Alignment& alignment) {
    if (alignment.band < 0 || alignment.band >= design.numBands) {
        return false;
    }
    return design.SetDelay(alignment.band, alignment.delay) &&
           design.bands[static_cast<std::size_t>(alignment.band)].SetReversedPhase(
               alignment.reversedPhase);
}

std::string DescribeAlignOutcome(AlignOutcome outcome, int partner, int band) {
    const std::string pair =
        "bands " + std::to_string(partner + 1) + " and " + std::to_string(band + 1);
    switch (outcome) {
    case AlignOutcome::NoSuchBand:
        return "The design has no " + pair + ".";
    case AlignOutcome::SameBand:
        return "A band cannot be aligned with itself: choose two bands.";
    case AlignOutcome::NoCrossover:
        return "The " + pair +
               " share no crossover: the low-pass of one must meet the high-pass of the other. "
               "Enable those crossover filters first.";
    case AlignOutcome::NotComputed:
        return "The responses of " + pair + " have not been computed.";
    case AlignOutcome::Aligned:
        break;
    }
    return {};
}

} // namespace kv
