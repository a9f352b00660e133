#pragma once

#include "filters/BiquadCalc.h"
#include "math/VComplexVec.h"
#include "math/VDoubleVec.h"

#include <functional>
#include <string>

namespace kv {

class BandSettings;

// The filters of a band that become sections, in the order of their
// calculators. The first seven are realised on the TAS3103 and are listed
// in hardware order.
enum class FilterGroup {
    HighPass,
    LowPass,
    Notch,
    AllPass,
    LowShelf,
    HighShelf,
    Peq,
    BassTreble,
    HighPassTarget,
    LowPassTarget,
};

// Where a section comes from: its group, the slot or entry within the group
// (0-based; bass 0, treble 1) and, for crossover filters, the section within
// the filter (0-based).
struct BandSection {
    FilterGroup group = FilterGroup::HighPass;
    int item = 0;
    int section = 0;
};

// "high-pass filter 1, section 2", "equaliser 3", "low shelf": how a message
// to the user names a section.
std::string DescribeSection(const BandSection& where);

using SectionVisitor = std::function<void(const BiquadCalc&, const BandSection&)>;

// Designs every section of the group's enabled filters at the band's sample
// rate, in order, and hands each to visit. Crossover slot j yields ⌈order/2⌉
// sections: second-order ones first, a first-order one last for an odd
// order, section k at freq × freqOfs[k] with Q q[k].
void DesignSections(const BandSettings& band, FilterGroup group, const SectionVisitor& visit);
// Every section the TAS3103 realises for the band, in hardware order (the
// order of CollectBiquads).
void DesignBiquads(const BandSettings& band, const SectionVisitor& visit);

// The calculators: each multiplies response (one value per point of grid,
// which was made at the band's sample rate) by the response of the band's
// enabled sections of its kind, and appends one record per section to list
// when one is given. A response of another length than the grid is left
// untouched. Bass and treble and the targets never produce biquads.
void ApplyHighPassFilters(const BandSettings& band, const GridPhasors& grid, VComplexVec& response,
                          BiquadList* list = nullptr);
void ApplyLowPassFilters(const BandSettings& band, const GridPhasors& grid, VComplexVec& response,
                         BiquadList* list = nullptr);
void ApplyNotches(const BandSettings& band, const GridPhasors& grid, VComplexVec& response,
                  BiquadList* list = nullptr);
void ApplyAllPass(const BandSettings& band, const GridPhasors& grid, VComplexVec& response,
                  BiquadList* list = nullptr);
void ApplyLowShelf(const BandSettings& band, const GridPhasors& grid, VComplexVec& response,
                   BiquadList* list = nullptr);
void ApplyHighShelf(const BandSettings& band, const GridPhasors& grid, VComplexVec& response,
                    BiquadList* list = nullptr);
void ApplyPeqs(const BandSettings& band, const GridPhasors& grid, VComplexVec& response,
               BiquadList* list = nullptr);
void ApplyBassTreble(const BandSettings& band, const GridPhasors& grid, VComplexVec& response);
void ApplyHighPassTargets(const BandSettings& band, const GridPhasors& grid, VComplexVec& response);
void ApplyLowPassTargets(const BandSettings& band, const GridPhasors& grid, VComplexVec& response);

// Multiplies response (one value per point of grid) by the band's delay, a
// phase of −2πf·delay, and its polarity.
void ApplyDelayAndPolarity(const BandSettings& band, const VDoubleVec& grid, VComplexVec& response);

// The band's response as the TAS3103 plays it (CBand::hardwareResponse) on
// a grid and its phasors, from the band's sections in hardware order (as
// CollectBiquads lists them) and its other settings: the sections from
// their words rounded to 5.23, bass and treble at ChipToneGainDb of their
// gains, the gain as the volume word holds it, delay and polarity as
// designed.
void ComputeHardwareResponse(const BandSettings& band, const BiquadList& sections,
                             const GridPhasors& phasors, const VDoubleVec& grid,
                             VComplexVec& response);

// Empties list and fills it with the band's biquads in the order the
// TAS3103 image lays them out: high-pass slots, low-pass slots, notches,
// all-pass, low shelf, high shelf, equalisers; disabled filters take no
// place. Returns the number of records. The list depends on the settings
// alone, so no frequency grid is needed (an image must never lose its
// filters because no response was computed yet).
int CollectBiquads(const BandSettings& band, BiquadList& list);

} // namespace kv
