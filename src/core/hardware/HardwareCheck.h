#pragma once

#include "model/BandCalculators.h"

#include <string>
#include <vector>

namespace kv {

class BandSettings;
class CBand;
class CConfiguration;

// What a problem of the hardware check is about: the part of the design,
// and so the block of the schematic, that has to change.
enum class ProblemSubject {
    // The design as a whole: it has no bands.
    Design,
    // The design's input gain (no band).
    InputGain,
    // A band's gain: the schematic's Input block.
    BandGain,
    // A band's delay: its Delay block. Without a band, the delays of all
    // bands together overrun the chip's shared delay memory.
    Delay,
    // A band's bass (section.item 0) or treble (1): its Bass & Treble block.
    BassTreble,
    // One section of a band's filter: the block of section.group, its slot
    // or entry section.item and, for crossovers, section.section.
    Section,
    // A band needs more biquads than the chip has: the band's "Free
    // Biquads" text.
    BiquadBudget,
};

inline constexpr int kNoBand = -1;

// One reason why the design must not reach the unit.
struct HardwareProblem {
    // The exact reason, naming the band, the filter and the number that is
    // out of the chip's reach.
    std::string text;
    // What the user can change, in the words of the window: "The 12 Hz
    // high-pass of Output 2 (HP1, 8th order) is too steep for the unit at
    // 96 kHz: raise its frequency or lower its order."
    std::string advice;
    // The band, counted from 0, or kNoBand for a problem of the design.
    int band = kNoBand;
    ProblemSubject subject = ProblemSubject::Design;
    // Which section (Section) or stage (BassTreble); unused otherwise.
    BandSection section;
};

// Everything about a design that the TAS3103 cannot run safely, one clear
// sentence each, with what it is about. The window runs it after every
// change to mark the blocks and tell why the design cannot be programmed;
// CTAS3103::CheckConfiguration gives the sentences alone.
//
//     for (const HardwareProblem& p : HardwareCheck(design).Run()) {
//         // mark the block of p.band and p.subject (p.section), tooltip p.text
//     }
class HardwareCheck {
public:
    explicit HardwareCheck(const CConfiguration& design) : design_(design) {}

    // The problems of the whole design in the order the sentences have
    // always come (design, then band by band, then the shared delay
    // memory); empty when it is safe to program.
    std::vector<HardwareProblem> Run();

private:
    void Report(int band, ProblemSubject subject, std::string text, std::string advice,
                const BandSection& section = {});
    // Reports the value, with the advice, unless it fits the chip's
    // coefficient format.
    void CheckCoefficient(int band, ProblemSubject subject, const BandSection& section,
                          const std::string& what, const std::string& name, double value,
                          const std::string& advice);
    void CheckBand(int b, const CBand& band);
    void CheckDelay(int b, const std::string& name, const CBand& band);
    void CheckTotalDelay();
    void CheckTone(int b, const std::string& name, int stage, double dB, int corner);
    void ReportAboveHalfTheSampleRate(int b, const BandSection& where, const std::string& what,
                                      const BiquadCalc& calc, bool stable);
    void CheckSection(int b, const BandSection& where, const std::string& what,
                      const BiquadCalc& calc);

    const CConfiguration& design_;
    std::vector<HardwareProblem> problems_;
    double totalDelaySamples_ = 0.0;
};

// Whether the check finds nothing wrong with a band's settings on their own
// (as the one band of a design): what the changes the program makes by
// itself, such as the optimiser's, must keep.
bool BandPassesHardwareCheck(const BandSettings& band);

} // namespace kv
