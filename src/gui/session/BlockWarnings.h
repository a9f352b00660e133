#pragma once

#include "hardware/HardwareCheck.h"
#include "session/SchematicLayout.h"

#include <array>
#include <optional>
#include <string>
#include <vector>

namespace kv {

// The block of the schematic whose dialog edits a section; none for a
// group the schematic has no block for.
std::optional<BlockKind> BlockOfSection(const BandSection& section);

// What the window tells of a check while the user edits (the hardware
// check's problems, or the warnings about drivers' safety): the sentences
// about each block of the schematic and each band's "Free Biquads" text, and
// a line that says what to change first.
class BlockWarnings {
public:
    BlockWarnings() = default;
    // The problems a check found in a design with numBands bands.
    BlockWarnings(const std::vector<HardwareProblem>& problems, int numBands);

    bool Empty() const { return all_.empty(); }
    // What to change about a band's block, each with its exact reason on a
    // line of its own; empty when the unit can run it.
    const std::vector<std::string>& OfBlock(int band, BlockKind kind) const;
    // The sentences about a band needing more biquads than it has.
    const std::vector<std::string>& OfBiquadBudget(int band) const;
    // What to change first, with how many more problems there are; empty
    // when the design may be programmed.
    std::string Summary() const;
    // Every problem in the order of the check: what to change, and under it
    // the exact reason.
    std::string Details() const;
    // What to change, one sentence for each problem in the order of the check.
    std::vector<std::string> Advice() const;

private:
    struct BandWarnings {
        std::array<std::vector<std::string>, kBlockKinds> blocks;
        std::vector<std::string> biquadBudget;
    };

    void Add(const HardwareProblem& problem, int numBands);
    const BandWarnings* Band(int band) const;

    std::vector<BandWarnings> bands_;
    std::vector<HardwareProblem> all_;
};

} // namespace kv
