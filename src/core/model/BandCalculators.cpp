#include "model/BandCalculators.h"

#include "filters/TAS3103Words.h"
#include "model/BandSettings.h"

#include <array>
#include <numbers>

namespace kv {
namespace {

constexpr std::array<FilterGroup, 7> kHardwareGroups = {
    FilterGroup::HighPass, FilterGroup::LowPass,   FilterGroup::Notch, FilterGroup::AllPass,
    FilterGroup::LowShelf, FilterGroup::HighShelf, FilterGroup::Peq,
};

using SlotFlags = std::array<bool, kCrossoverSlots>;
using SlotSettings = std::array<CrossoverSettings, kCrossoverSlots>;

BiquadKind CrossoverKind(bool highPass, bool secondOrder) {
    if (highPass) {
        return secondOrder ? BiquadKind::HighPass2 : BiquadKind::HighPass1;
    }
    return secondOrder ? BiquadKind::LowPass2 : BiquadKind::LowPass1;
}

// Pairs of orders become second-order sections, an odd remainder a
// first-order one. The section bound keeps a corrupt order from reading past
// the per-section arrays.
void DesignCrossovers(const BandSettings& band, FilterGroup group, const SlotFlags& enabled,
                      const SlotSettings& slots, bool highPass, const SectionVisitor& visit) {
    BiquadCalc calc;
    for (int j = 0; j < kCrossoverSlots; ++j) {
        if (!enabled[j]) {
            continue;
        }
        const CrossoverSettings& s = slots[j];
        int remaining = s.order;
        for (int k = 0; remaining > 0 && k < kCrossoverSections; ++k) {
            const bool secondOrder = remaining > 1;
            calc.Design(CrossoverKind(highPass, secondOrder), band.SampleRate(),
                        s.freqOfs[k] * s.freq, 0.0, secondOrder ? s.q[k] : 0.0);
            visit(calc, {group, j, k});
            remaining -= secondOrder ? 2 : 1;
        }
    }
}

// One section per enabled entry.
struct SingleSection {
    bool enabled;
    BiquadKind kind;
    double freq;
    double gain;
    double q;
};

void DesignSingle(const BandSettings& band, FilterGroup group, int item, const SingleSection& entry,
                  const SectionVisitor& visit) {
    if (!entry.enabled) {
        return;
    }
    BiquadCalc calc;
    calc.Design(entry.kind, band.SampleRate(), entry.freq, entry.gain, entry.q);
    visit(calc, {group, item, 0});
}

void DesignNotches(const BandSettings& band, const SectionVisitor& visit) {
    for (int i = 0; i < kNotches; ++i) {
        const NotchSettings& n = band.notch[i];
        DesignSingle(band, FilterGroup::Notch, i, {n.enabled, BiquadKind::Notch, n.freq, 0.0, n.q},
                     visit);
    }
}

void DesignPeqs(const BandSettings& band, const SectionVisitor& visit) {
    for (int i = 0; i < kEqualisers; ++i) {
        const PeqSettings& p = band.peq[i];
        DesignSingle(band, FilterGroup::Peq, i,
                     {p.enabled, BiquadKind::Peaking, p.freq, p.gain, p.q}, visit);
    }
}

void DesignShelf(const BandSettings& band, FilterGroup group, const ShelfSettings& shelf,
                 BiquadKind kind, const SectionVisitor& visit) {
    DesignSingle(band, group, 0, {shelf.enabled, kind, shelf.freq, shelf.gain, 0.0}, visit);
}

// The TAS3103's own bass and treble stage, modelled as shelves at these
// gains; a gain of exactly 0 leaves the stage out.
void DesignBassTreble(const BandSettings& band, double bassDb, double trebleDb,
                      const SectionVisitor& visit) {
    double bassHz = 0.0;
    double trebleHz = 0.0;
    band.GetBassTrebleCorners(bassHz, trebleHz);
    DesignSingle(band, FilterGroup::BassTreble, 0,
                 {bassDb != 0.0, BiquadKind::LowShelf, bassHz, bassDb, 0.0}, visit);
    DesignSingle(band, FilterGroup::BassTreble, 1,
                 {trebleDb != 0.0, BiquadKind::HighShelf, trebleHz, trebleDb, 0.0}, visit);
}

void Apply(const BandSettings& band, FilterGroup group, const GridPhasors& grid,
           VComplexVec& response, BiquadList* list) {
    DesignSections(band, group, [&](const BiquadCalc& calc, const BandSection&) {
        calc.MultiplyResponse(response, grid);
        if (list != nullptr) {
            list->push_back(calc.GetCoefficients());
        }
    });
}

std::string Numbered(const char* what, int item) {
    return what + std::to_string(item + 1);
}

std::string CrossoverSection(const char* what, const BandSection& where) {
    return Numbered(what, where.item) + Numbered(", section ", where.section);
}

} // namespace

std::string DescribeSection(const BandSection& where) {
    switch (where.group) {
    case FilterGroup::HighPass:
        return CrossoverSection("high-pass filter ", where);
    case FilterGroup::LowPass:
        return CrossoverSection("low-pass filter ", where);
    case FilterGroup::Notch:
        return Numbered("notch ", where.item);
    case FilterGroup::AllPass:
        return "all-pass";
    case FilterGroup::LowShelf:
        return "low shelf";
    case FilterGroup::HighShelf:
        return "high shelf";
    case FilterGroup::Peq:
        return Numbered("equaliser ", where.item);
    case FilterGroup::BassTreble:
        return where.item == 0 ? "bass" : "treble";
    case FilterGroup::HighPassTarget:
        return CrossoverSection("high-pass target ", where);
    case FilterGroup::LowPassTarget:
        return CrossoverSection("low-pass target ", where);
    }
    return {};
}

void DesignSections(const BandSettings& band, FilterGroup group, const SectionVisitor& visit) {
    switch (group) {
    case FilterGroup::HighPass:
        return DesignCrossovers(band, group, band.hpEnabled, band.hpFilter, true, visit);
    case FilterGroup::LowPass:
        return DesignCrossovers(band, group, band.lpEnabled, band.lpFilter, false, visit);
    case FilterGroup::Notch:
        return DesignNotches(band, visit);
    case FilterGroup::AllPass:
        return DesignSingle(
            band, group, 0,
            {band.allPass.enabled, BiquadKind::AllPass, band.allPass.freq, 0.0, band.allPass.q},
            visit);
    case FilterGroup::LowShelf:
        return DesignShelf(band, group, band.lowShelf, BiquadKind::LowShelf, visit);
    case FilterGroup::HighShelf:
        return DesignShelf(band, group, band.highShelf, BiquadKind::HighShelf, visit);
    case FilterGroup::Peq:
        return DesignPeqs(band, visit);
    case FilterGroup::BassTreble:
        return DesignBassTreble(band, band.bassGain, band.trebleGain, visit);
    case FilterGroup::HighPassTarget:
        return DesignCrossovers(band, group, band.hpEnabled, band.hpTarget, true, visit);
    case FilterGroup::LowPassTarget:
        return DesignCrossovers(band, group, band.lpEnabled, band.lpTarget, false, visit);
    }
}

void DesignBiquads(const BandSettings& band, const SectionVisitor& visit) {
    for (const FilterGroup group : kHardwareGroups) {
        DesignSections(band, group, visit);
    }
}

void ApplyHighPassFilters(const BandSettings& band, const GridPhasors& grid, VComplexVec& response,
                          BiquadList* list) {
    Apply(band, FilterGroup::HighPass, grid, response, list);
}

void ApplyLowPassFilters(const BandSettings& band, const GridPhasors& grid, VComplexVec& response,
                         BiquadList* list) {
    Apply(band, FilterGroup::LowPass, grid, response, list);
}

void ApplyNotches(const BandSettings& band, const GridPhasors& grid, VComplexVec& response,
                  BiquadList* list) {
    Apply(band, FilterGroup::Notch, grid, response, list);
}

void ApplyAllPass(const BandSettings& band, const GridPhasors& grid, VComplexVec& response,
                  BiquadList* list) {
    Apply(band, FilterGroup::AllPass, grid, response, list);
}

void ApplyLowShelf(const BandSettings& band, const GridPhasors& grid, VComplexVec& response,
                   BiquadList* list) {
    Apply(band, FilterGroup::LowShelf, grid, response, list);
}

void ApplyHighShelf(const BandSettings& band, const GridPhasors& grid, VComplexVec& response,
                    BiquadList* list) {
    Apply(band, FilterGroup::HighShelf, grid, response, list);
}

void ApplyPeqs(const BandSettings& band, const GridPhasors& grid, VComplexVec& response,
               BiquadList* list) {
    Apply(band, FilterGroup::Peq, grid, response, list);
}

void ApplyBassTreble(const BandSettings& band, const GridPhasors& grid, VComplexVec& response) {
    Apply(band, FilterGroup::BassTreble, grid, response, nullptr);
}

void ApplyHighPassTargets(const BandSettings& band, const GridPhasors& grid,
                          VComplexVec& response) {
    Apply(band, FilterGroup::HighPassTarget, grid, response, nullptr);
}

void ApplyLowPassTargets(const BandSettings& band, const GridPhasors& grid, VComplexVec& response) {
    Apply(band, FilterGroup::LowPassTarget, grid, response, nullptr);
}

void ApplyDelayAndPolarity(const BandSettings& band, const VDoubleVec& grid,
                           VComplexVec& response) {
    if (band.delay != 0.0 && response.GetSize() == grid.GetSize()) {
        for (int i = 0; i < response.GetSize(); ++i) {
            response[i] = Multiply(response[i],
                                   FromPolar(1.0, -2.0 * std::numbers::pi * grid[i] * band.delay));
        }
    }
    if (band.reversedPhase) {
        const Complex flip = FromPolar(1.0, -std::numbers::pi);
        for (Complex& value : response) {
            value = Multiply(value, flip);
        }
    }
}

void ComputeHardwareResponse(const BandSettings& band, const BiquadList& sections,
                             const GridPhasors& phasors, const VDoubleVec& grid,
                             VComplexVec& response) {
    if (!response.SetSize(phasors.GetSize())) {
        response.SetSize(0);
        return;
    }
    response.FillReal(ChipVolumeGain(band.OutputLevelDb(), band.reversedPhase));
    BiquadList chain;
    chain.reserve(sections.size() + 2);
    for (const BiquadCoefs& section : sections) {
        chain.push_back(ChipSection(section));
    }
    // The tone stage is the chip's own: it plays at the chip's gains, not
    // from words of ours.
    DesignBassTreble(band, ChipToneGainDb(band.bassGain), ChipToneGainDb(band.trebleGain),
                     [&chain](const BiquadCalc& calc, const BandSection&) {
                         chain.push_back(calc.GetCoefficients());
                     });
    MultiplyResponse(response, chain, phasors);
    ApplyDelayAndPolarity(band, grid, response);
}

int CollectBiquads(const BandSettings& band, BiquadList& list) {
    list.clear();
    DesignBiquads(band, [&list](const BiquadCalc& calc, const BandSection&) {
        list.push_back(calc.GetCoefficients());
    });
    return static_cast<int>(list.size());
}

} // namespace kv
