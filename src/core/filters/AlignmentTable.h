#pragma once

#include "filters/FilterSettings.h"

#include <array>
#include <cstdint>
#include <span>

namespace kv {

// One section of an alignment: its frequency as a multiple of the filter
// frequency, and its Q (0 for the first-order section of an odd order).
struct AlignmentSection {
    double ratio = 0.0;
    double q = 0.0;
};

// The sections of one crossover type, direction and order; sections beyond
// the filter's ⌈order/2⌉ are (0, 0).
struct AlignmentRecord {
    CrossoverType type{};
    std::int32_t highPass = 0;
    std::int32_t order = 0;
    std::array<AlignmentSection, kCrossoverSections> sections{};
};

// The 36 records of the Linkwitz-Riley, Bessel and Butterworth alignments in
// their fixed order, without the end marker. Custom filters have none: they
// keep what the user typed.
std::span<const AlignmentRecord> AlignmentTable();

// Copies the first record for (order, type, direction) into out; false, and
// out untouched, when the table has none.
bool LookupAlignment(AlignmentRecord& out, int order, CrossoverType type, bool highPass);

// The settings of an aligned filter: the table's sections for its order
// (the defaults' where the table has none).
CrossoverSettings AlignedSettings(CrossoverType type, int order, double freq, CrossoverSide side);

} // namespace kv
