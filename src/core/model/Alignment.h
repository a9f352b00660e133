#pragma once

#include <string>
#include <vector>

namespace kv {

class BandSettings;
class CConfiguration;

// Aligning two bands at their crossover: the delay and the polarity of one
// of them that make the computed sum of the two follow the sum of their
// targets best, one octave either side of the crossover. Only whole samples
// within the delay memory the other bands leave the band are tried, each
// with both polarities; the deviation is the RMS difference in dB between
// the two sums with their mean difference left out, which the gains, not
// the delay, are for. The targets carry no polarity: their sum is taken
// with the band's target inverted where that is the flatter (as a
// second-order Linkwitz-Riley pair needs).

enum class AlignOutcome {
    Aligned,
    // A band the design does not have.
    NoSuchBand,
    // Both bands are the same.
    SameBand,
    // Neither band's low-pass meets the other's high-pass.
    NoCrossover,
    // The design's responses have not been computed on a grid.
    NotComputed,
};

struct Alignment {
    // The band that gets the delay and polarity, and the band it is
    // aligned with (indexes from 0).
    int band = 0;
    int partner = 0;
    // The geometric mean of the two bands' crossover frequencies, in Hz.
    double crossoverHz = 0.0;
    // In seconds, a whole number of samples.
    double delay = 0.0;
    bool reversedPhase = false;
    // In dB, before and with the delay and polarity found.
    double deviationBeforeDb = 0.0;
    double deviationAfterDb = 0.0;
    // At the grid's points of the crossover's two octaves, in dB: the two
    // bands' sum before and with the delay and polarity found, and the sum
    // of their targets the search followed.
    std::vector<double> frequencies;
    std::vector<double> sumBeforeDb;
    std::vector<double> sumAfterDb;
    std::vector<double> targetDb;
};

// The geometric mean of the lowest enabled low-pass of the one band and the
// highest enabled high-pass of the other, whichever way round they meet
// (the closer pair when both do); 0 when they do not, or lie more than two
// octaves apart.
double SharedCrossoverHz(const BandSettings& a, const BandSettings& b);

// Finds band's delay and polarity against partner in a design whose
// responses are computed (the result goes into alignment).
AlignOutcome FindAlignment(const CConfiguration& design, int partner, int band,
                           Alignment& alignment);

// Gives the band the delay and polarity found; false when a setter refuses
// them (the delay memory changed since).
bool ApplyAlignment(CConfiguration& design, const Alignment& alignment);

// Why bands partner and band (counted from 0) could not be aligned, for the
// user (bands counted from 1); empty for Aligned.
std::string DescribeAlignOutcome(AlignOutcome outcome, int partner, int band);

} // namespace kv
