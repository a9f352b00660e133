#include "hardware/HardwareCheck.h"

#include "filters/BiquadCalc.h"
#include "filters/TAS3103Words.h"
#include "hardware/ProblemWords.h"
#include "math/NumberFormat.h"
#include "math/ResponseCurves.h"
#include "model/CConfiguration.h"
#include "unit/UnitLimits.h"

#include <cmath>

namespace kv {
namespace {

constexpr std::array<const char*, 5> kBiquadWordNames = {"-a1/a0", "-a2/a0", "b0/a0", "b1/a0",
                                                         "b2/a0"};
constexpr std::array<const char*, 2> kToneStages = {"bass", "treble"};

// The chip's denominator is 1 − w0·z⁻¹ − w1·z⁻² in the rounded words. Judged
// on the rounded words, because a section far below the sample rate (a few Hz)
// can be stable in double precision and still have a pole exactly at z = 1
// on the chip: an integrator that drives any input offset to full scale.
bool StableOnChip(const std::array<double, 5>& words) {
    return PolesInsideUnitCircle(-Rounded523(words[0]), -Rounded523(words[1]));
}

std::string BandName(int b) {
    return "Band " + std::to_string(b + 1);
}

bool IsCrossover(FilterGroup group) {
    return group == FilterGroup::HighPass || group == FilterGroup::LowPass;
}

bool HasGain(FilterGroup group) {
    return group == FilterGroup::Peq || group == FilterGroup::LowShelf ||
           group == FilterGroup::HighShelf;
}

// What to change about a section the chip cannot run as it is.
std::string SectionRemedy(FilterGroup group) {
    return IsCrossover(group) ? "raise its frequency or lower its order"
           : HasGain(group)   ? "lower its gain or Q, or move its frequency"
                              : "change its frequency or Q";
}

} // namespace

std::vector<HardwareProblem> HardwareCheck::Run() {
    problems_.clear();
    totalDelaySamples_ = 0.0;
    if (design_.numBands < 1 || design_.numBands > kMaxBands) {
        Report(kNoBand, ProblemSubject::Design,
               "The design has no output bands: there is nothing to program.",
               "There is nothing to program: make a new design or open one.");
        return problems_;
    }
    CheckCoefficient(kNoBand, ProblemSubject::InputGain, {}, "The input gain",
                     "its mixer coefficient", DbToGain(design_.inputGain),
                     "The input gain of " + SignedDbText(design_.inputGain) +
                         " is too high for the unit: lower it to " + SignedDbText(kMaxBandGainDb) +
                         " or less.");
    for (int b = 0; b < design_.numBands; ++b) {
        CheckBand(b, design_.bands[static_cast<std::size_t>(b)]);
    }
    CheckTotalDelay();
    return problems_;
}

void HardwareCheck::Report(int band, ProblemSubject subject, std::string text, std::string advice,
                           const BandSection& section) {
    problems_.push_back({std::move(text), std::move(advice), band, subject, section});
}

void HardwareCheck::CheckCoefficient(int band, ProblemSubject subject, const BandSection& section,
                                     const std::string& what, const std::string& name, double value,
                                     const std::string& advice) {
    if (!std::isfinite(value)) {
        Report(band, subject, what + ": " + name + " is not a finite number.", advice, section);
    } else if (!Fits523(value)) {
        Report(band, subject,
               what + ": " + name + " is " + FormatGeneral(value, 4) +
                   ", beyond the range of the TAS3103's 5.23 format (-16 to +16) by " +
                   FormatGeneral(std::fabs(value) - 16.0, 4) + ".",
               advice, section);
    }
}

void HardwareCheck::CheckBand(int b, const CBand& band) {
    const std::string name = BandName(b);
    CheckCoefficient(b, ProblemSubject::BandGain, {}, name + " (gain)", "its volume coefficient",
                     DbToGain(band.OutputLevelDb()),
                     "The gain of " + OutputName(b) + " (" + SignedDbText(band.OutputLevelDb()) +
                         ") is too high for the unit: lower it to " + SignedDbText(kMaxBandGainDb) +
                         " or less.");
    CheckDelay(b, name, band);
    CheckTone(b, name, 0, band.bassGain, band.bassCorner);
    CheckTone(b, name, 1, band.trebleGain, band.trebleCorner);
    int sections = 0;
    DesignBiquads(band, [&](const BiquadCalc& calc, const BandSection& where) {
        ++sections;
        CheckSection(b, where, name + ", " + DescribeSection(where), calc);
    });
    if (sections > kBiquadsPerBand) {
        Report(b, ProblemSubject::BiquadBudget,
               name + " needs " + std::to_string(sections) + " biquads, but the TAS3103 has only " +
                   std::to_string(kBiquadsPerBand) + " per band.",
               OutputName(b) + " needs " + std::to_string(sections) + " biquads, more than the " +
                   std::to_string(kBiquadsPerBand) +
                   " the unit has: switch filters off or lower a crossover's order.");
    }
}

// NaN passes every comparison, so it is caught first: the sample count of the
// delay word would be undefined.
void HardwareCheck::CheckDelay(int b, const std::string& name, const CBand& band) {
    const std::string advice =
        "The delay of " + OutputName(b) + " is not one the unit can play: set it again.";
    if (!std::isfinite(band.delay)) {
        Report(b, ProblemSubject::Delay, name + ": the delay is not a finite number.", advice);
    } else if (band.delay < 0.0) {
        Report(b, ProblemSubject::Delay,
               name + ": the delay of " + FormatFixed(band.delay * 1000.0, 3) + " ms is negative.",
               advice);
    } else {
        totalDelaySamples_ += std::round(band.delay * design_.sampleRate);
    }
}

void HardwareCheck::CheckTotalDelay() {
    if (totalDelaySamples_ > kSharedDelaySamples) {
        const double toMs = 1000.0 / design_.sampleRate;
        Report(kNoBand, ProblemSubject::Delay,
               "The delays of the bands add up to " + FormatFixed(totalDelaySamples_, 0) +
                   " samples, but the TAS3103's delay memory holds only " +
                   std::to_string(kSharedDelaySamples) + ".",
               "The delays of the outputs add up to " + FormatFixed(totalDelaySamples_ * toMs, 2) +
                   " ms, more than the " + FormatFixed(kSharedDelaySamples * toMs, 2) +
                   " ms the unit can hold in all: shorten them.");
    }
}

// A gain of exactly 0 bypasses the stage; any other gain must be one of the
// chip's settings, or the unit would play it at -18 dB. A corner outside the
// chip's selections would spill into the neighbouring channel's byte.
void HardwareCheck::CheckTone(int b, const std::string& name, int stage, double dB, int corner) {
    const BandSection where{FilterGroup::BassTreble, stage, 0};
    const std::string stageName = kToneStages[static_cast<std::size_t>(stage)];
    const std::string what = name + ": the " + stageName;
    const std::string ofOutput = " of " + OutputName(b);
    if (dB != 0.0 && !OnToneGrid(dB)) {
        const std::string settings = "-" + FormatGeneral(kMaxToneGainDb, 6) + " to +" +
                                     FormatGeneral(kMaxToneGainDb, 6) + " dB in " +
                                     FormatGeneral(kToneGainStepDb, 6) + " dB steps";
        Report(b, ProblemSubject::BassTreble,
               what + " gain of " + FormatGeneral(dB, 6) +
                   " dB is not one of the TAS3103's settings (" + settings + ").",
               "The " + stageName + ofOutput +
                   " is set between the unit's settings: choose one from " + settings + ".",
               where);
    }
    if (corner < kMinToneCorner || corner > kMaxToneCorner) {
        Report(b, ProblemSubject::BassTreble,
               what + " corner selection " + std::to_string(corner) +
                   " is not one of the TAS3103's " + std::to_string(kMinToneCorner) + " to " +
                   std::to_string(kMaxToneCorner) + ".",
               "The " + stageName + " corner" + ofOutput +
                   " is not one the unit offers: choose one of its corners.",
               where);
    }
}

// Above half the sample rate a section comes out unstable or, a whole number
// of sample rates higher, stable with the very coefficients of a section at
// its alias frequency: the unit would filter in the wrong place.
void HardwareCheck::ReportAboveHalfTheSampleRate(int b, const BandSection& where,
                                                 const std::string& what, const BiquadCalc& calc,
                                                 bool stable) {
    const double fs = calc.SampleRate();
    const double f = calc.Frequency();
    const std::string why = "its frequency of " + HzText(f) + " lies above half the sample rate (" +
                            HzText(fs / 2.0) + ")";
    const std::string advice = Capitalised(FilterPhrase(design_, b, where)) +
                               " lies above what the unit can play at " + HzText(fs / 2.0) +
                               ": lower its frequency below " + HzText(fs / 2.0) + ".";
    if (!stable) {
        Report(b, ProblemSubject::Section, what + " is unstable: " + why + ".", advice, where);
        return;
    }
    const double alias = std::fabs(f - fs * std::round(f / fs));
    Report(b, ProblemSubject::Section,
           what + " is aliased: " + why + ", so the unit would filter at " + HzText(alias) +
               " instead.",
           advice, where);
}

// An unstable section is reported for that alone: its coefficients are
// meaningless until its frequency or Q changes.
void HardwareCheck::CheckSection(int b, const BandSection& where, const std::string& what,
                                 const BiquadCalc& calc) {
    const std::array<double, 5> words = BiquadWords(calc.GetCoefficients());
    const std::string beyondReach =
        Capitalised(FilterPhrase(design_, b, where)) + " is " +
        (IsCrossover(where.group) ? "too steep" : "too extreme") + " for the unit at " +
        FormatFixed(calc.SampleRate() / 1000.0, 0) + " kHz: " + SectionRemedy(where.group) + ".";
    for (const double w : words) {
        if (!std::isfinite(w)) {
            Report(b, ProblemSubject::Section, what + ": its coefficients are not finite numbers.",
                   beyondReach, where);
            return;
        }
    }
    if (calc.Frequency() > calc.SampleRate() / 2.0) {
        ReportAboveHalfTheSampleRate(b, where, what, calc, StableOnChip(words));
        return;
    }
    if (!StableOnChip(words)) {
        Report(b, ProblemSubject::Section,
               what + " is unstable: with its coefficients in the TAS3103's 5.23 format a pole "
                      "lies on or outside the unit circle.",
               beyondReach, where);
        return;
    }
    for (std::size_t i = 0; i < words.size(); ++i) {
        CheckCoefficient(b, ProblemSubject::Section, where, what,
                         std::string("coefficient ") + kBiquadWordNames[i], words[i], beyondReach);
    }
}

bool BandPassesHardwareCheck(const BandSettings& band) {
    CConfiguration design;
    if (!design.New(1, band.SampleRate())) {
        return false;
    }
    design.bands[0].SetSettings(band);
    return HardwareCheck(design).Run().empty();
}

} // namespace kv
