#include "hardware/DriverSafety.h"

#include "filters/BiquadCalc.h"
#include "hardware/ProblemWords.h"
#include "math/NumberFormat.h"
#include "math/ResponseCurves.h"
#include "model/BandCalculators.h"
#include "model/CConfiguration.h"
#include "model/HardwareDeviation.h"

#include <cmath>
#include <map>
#include <utility>

namespace kv {
namespace {

constexpr double kMaxSafeBoostDb = 12.0;
// A band whose high-pass lies above this is taken for a tweeter's.
constexpr double kTweeterHighPassHz = 1000.0;
// What a tweeter's filters must at least take away an octave below its
// high-pass, relative to the band's gain.
constexpr double kTweeterOctaveBelowDb = -12.0;

// The highest level of the response in dB over the grid points from..to, and
// where; a level below every real one when no point lies there.
std::pair<double, double> Highest(const VComplexVec& response, const VDoubleVec& grid, double from,
                                  double to) {
    std::pair<double, double> highest{-HUGE_VAL, 0.0};
    const int n = std::min(response.GetSize(), grid.GetSize());
    for (int i = 0; i < n; ++i) {
        if (grid[i] >= from && grid[i] <= to) {
            const double dB = MagnitudeToDb(Magnitude(response[i]));
            if (dB > highest.first) {
                highest = {dB, grid[i]};
            }
        }
    }
    return highest;
}

// What the filter the boost comes from most is, and its share in dB: each
// section of the band at that frequency, its gain and its bass and treble.
struct Culprit {
    ProblemSubject subject = ProblemSubject::BandGain;
    BandSection section;
    double dB = -HUGE_VAL;
};

Culprit MostToBlame(const CBand& band, double frequency) {
    Culprit culprit;
    culprit.dB = band.OutputLevelDb();
    VDoubleVec at(1);
    at[0] = frequency;
    GridPhasors phasor;
    VComplexVec one(1);
    if (!phasor.Create(at, band.SampleRate())) {
        return culprit;
    }
    one.FillReal(1.0);
    ApplyBassTreble(band, phasor, one);
    const double tone = MagnitudeToDb(Magnitude(one[0]));
    if (tone > culprit.dB) {
        culprit = {ProblemSubject::BassTreble, {FilterGroup::BassTreble, 0, 0}, tone};
    }
    // A filter of several sections counts as one.
    std::map<std::pair<FilterGroup, int>, double> shares;
    DesignBiquads(band, [&](const BiquadCalc& calc, const BandSection& where) {
        VComplexVec value(1);
        if (calc.Evaluate(value, phasor)) {
            shares[{where.group, where.item}] += MagnitudeToDb(Magnitude(value[0]));
        }
    });
    for (const auto& [filter, dB] : shares) {
        if (dB > culprit.dB) {
            culprit = {ProblemSubject::Section, {filter.first, filter.second, 0}, dB};
        }
    }
    return culprit;
}

std::string RemedyFor(const CConfiguration& design, int b, const Culprit& culprit) {
    switch (culprit.subject) {
    case ProblemSubject::BassTreble:
        return "lower its bass or treble";
    case ProblemSubject::Section: {
        const bool crossover = culprit.section.group == FilterGroup::HighPass ||
                               culprit.section.group == FilterGroup::LowPass;
        return std::string(crossover ? "lower the Q of " : "lower the gain or Q of ") +
               FilterPhrase(design, b, culprit.section);
    }
    default:
        return "lower its gain";
    }
}

void CheckBoost(const CConfiguration& design, int b, const VDoubleVec& grid,
                std::vector<HardwareProblem>& warnings) {
    const CBand& band = design.bands[static_cast<std::size_t>(b)];
    const auto [peak, at] = Highest(band.filterResponse, grid, kJudgedLowestHz, kJudgedHighestHz);
    if (!(peak > kMaxSafeBoostDb)) {
        return;
    }
    const Culprit culprit = MostToBlame(band, at);
    warnings.push_back(
        {"Band " + std::to_string(b + 1) + ": the filter response reaches " + SignedDbText(peak) +
             " at " + HzText(at) + ", above the " + SignedDbText(kMaxSafeBoostDb) +
             " that is safe from " + HzText(kJudgedLowestHz) + " to " +
             FormatFixed(kJudgedHighestHz / 1000.0, 0) + " kHz; most of it (" +
             SignedDbText(culprit.dB) + ") comes from " +
             (culprit.subject == ProblemSubject::Section ? FilterPhrase(design, b, culprit.section)
              : culprit.subject == ProblemSubject::BassTreble ? std::string("its bass and treble")
                                                              : std::string("its gain")) +
             ".",
         OutputName(b) + " rises to " + SignedDbText(peak) + " at " + HzText(at) +
             ", which can damage a driver or an amplifier: " + RemedyFor(design, b, culprit) + ".",
         b, culprit.subject, culprit.section});
}

// The enabled high-pass slot of the highest frequency above the tweeter
// limit; -1 when there is none.
int TweeterHighPass(const CBand& band) {
    int slot = -1;
    for (int k = 0; k < kCrossoverSlots; ++k) {
        const double f = band.hpFilter[static_cast<std::size_t>(k)].freq;
        if (band.hpEnabled[static_cast<std::size_t>(k)] && f > kTweeterHighPassHz &&
            (slot < 0 || f > band.hpFilter[static_cast<std::size_t>(slot)].freq)) {
            slot = k;
        }
    }
    return slot;
}

void CheckTweeter(const CConfiguration& design, int b, const VDoubleVec& grid,
                  std::vector<HardwareProblem>& warnings) {
    const CBand& band = design.bands[static_cast<std::size_t>(b)];
    const int slot = TweeterHighPass(band);
    if (slot < 0) {
        return;
    }
    const double highPass = band.hpFilter[static_cast<std::size_t>(slot)].freq;
    const auto [level, at] = Highest(band.filterResponse, grid, 0.0, highPass / 2.0);
    const double relative = level - band.OutputLevelDb();
    if (!(relative > kTweeterOctaveBelowDb)) {
        return;
    }
    warnings.push_back(
        {"Band " + std::to_string(b + 1) + ": an octave and more below its " + HzText(highPass) +
             " high-pass, the filter response reaches " + SignedDbText(relative) +
             " relative to the band's gain at " + HzText(at) + "; a tweeter should be at least " +
             FormatFixed(-kTweeterOctaveBelowDb, 0) + " dB down there.",
         OutputName(b) + " (high-pass at " + HzText(highPass) + ") passes " +
             SignedDbText(relative) + " at " + HzText(at) +
             ", an octave below its high-pass: a tweeter played that low can be damaged; raise "
             "the high-pass or make it steeper.",
         b, ProblemSubject::Section, BandSection{FilterGroup::HighPass, slot, 0}});
}

} // namespace

std::vector<HardwareProblem> CheckDriverSafety(const CConfiguration& design,
                                               const VDoubleVec& grid) {
    std::vector<HardwareProblem> warnings;
    for (int b = 0; b < design.numBands && b < kMaxBands; ++b) {
        if (design.bands[static_cast<std::size_t>(b)].muted) {
            continue;
        }
        CheckBoost(design, b, grid, warnings);
        CheckTweeter(design, b, grid, warnings);
    }
    return warnings;
}

} // namespace kv
