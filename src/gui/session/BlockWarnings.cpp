#include "session/BlockWarnings.h"

namespace kv {
namespace {

const std::vector<std::string> kNone;

BlockKind CrossoverBlock(BlockKind first, int slot) {
    return static_cast<BlockKind>(static_cast<int>(first) + (slot == 0 ? 0 : 1));
}

} // namespace

std::optional<BlockKind> BlockOfSection(const BandSection& section) {
    switch (section.group) {
    case FilterGroup::HighPass:
    case FilterGroup::HighPassTarget:
        return CrossoverBlock(BlockKind::HighPass1, section.item);
    case FilterGroup::LowPass:
    case FilterGroup::LowPassTarget:
        return CrossoverBlock(BlockKind::LowPass1, section.item);
    case FilterGroup::Notch:
        return BlockKind::Notch;
    case FilterGroup::AllPass:
        return BlockKind::AllPass;
    case FilterGroup::LowShelf:
        return BlockKind::LowShelf;
    case FilterGroup::HighShelf:
        return BlockKind::HighShelf;
    case FilterGroup::Peq:
        return BlockKind::Eq;
    case FilterGroup::BassTreble:
        return BlockKind::BassTreble;
    }
    return std::nullopt;
}

BlockWarnings::BlockWarnings(const std::vector<HardwareProblem>& problems, int numBands)
    : bands_(static_cast<std::size_t>(std::max(numBands, 0))) {
    for (const HardwareProblem& problem : problems) {
        Add(problem, numBands);
    }
}

void BlockWarnings::Add(const HardwareProblem& problem, int numBands) {
    all_.push_back(problem);
    // A block's tooltip leads with what to change and keeps the exact reason.
    const std::string sentence = problem.advice + "\n" + problem.text;
    if (problem.subject == ProblemSubject::Delay && problem.band == kNoBand) {
        // The bands' delays together overrun the shared memory: any of
        // them may give way.
        for (BandWarnings& band : bands_) {
            band.blocks[static_cast<std::size_t>(BlockKind::Delay)].push_back(sentence);
        }
        return;
    }
    if (problem.band < 0 || problem.band >= numBands) {
        return;
    }
    BandWarnings& band = bands_[static_cast<std::size_t>(problem.band)];
    std::optional<BlockKind> block;
    switch (problem.subject) {
    case ProblemSubject::BandGain:
        block = BlockKind::Input;
        break;
    case ProblemSubject::Delay:
        block = BlockKind::Delay;
        break;
    case ProblemSubject::BassTreble:
        block = BlockKind::BassTreble;
        break;
    case ProblemSubject::Section:
        block = BlockOfSection(problem.section);
        break;
    case ProblemSubject::BiquadBudget:
        band.biquadBudget.push_back(sentence);
        return;
    case ProblemSubject::Design:
    case ProblemSubject::InputGain:
        return;
    }
    if (block) {
        band.blocks[static_cast<std::size_t>(*block)].push_back(sentence);
    }
}

const BlockWarnings::BandWarnings* BlockWarnings::Band(int band) const {
    return band >= 0 && band < static_cast<int>(bands_.size())
               ? &bands_[static_cast<std::size_t>(band)]
               : nullptr;
}

const std::vector<std::string>& BlockWarnings::OfBlock(int band, BlockKind kind) const {
    const BandWarnings* warnings = Band(band);
    return warnings != nullptr ? warnings->blocks[static_cast<std::size_t>(kind)] : kNone;
}

const std::vector<std::string>& BlockWarnings::OfBiquadBudget(int band) const {
    const BandWarnings* warnings = Band(band);
    return warnings != nullptr ? warnings->biquadBudget : kNone;
}

std::string BlockWarnings::Summary() const {
    if (all_.empty()) {
        return {};
    }
    std::string text = all_.front().advice;
    if (all_.size() > 1) {
        text += " (and " + std::to_string(all_.size() - 1) + " more)";
    }
    return text;
}

std::string BlockWarnings::Details() const {
    std::string text;
    for (const HardwareProblem& problem : all_) {
        text += (text.empty() ? "" : "\n\n") + problem.advice + "\n" + problem.text;
    }
    return text;
}

std::vector<std::string> BlockWarnings::Advice() const {
    std::vector<std::string> advice;
    advice.reserve(all_.size());
    for (const HardwareProblem& problem : all_) {
        advice.push_back(problem.advice);
    }
    return advice;
}

} // namespace kv
