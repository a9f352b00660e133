#include "filters/AlignmentTable.h"

#include <cstddef>

namespace kv {
namespace {

constexpr std::int32_t kLowPass = 0;
constexpr std::int32_t kHighPass = 1;

// One order of an alignment: its sections, in order.
struct OrderSections {
    std::int32_t order;
    std::array<AlignmentSection, kCrossoverSections> sections;
};

constexpr OrderSections kButterworthFirstOrder = {1, {{{1.0, 0.0}}}};

constexpr std::array<OrderSections, 3> kLinkwitzRiley = {{
    {2, {{{1.0, 0.5}}}},
    {4, {{{1.0, 0.7071}, {1.0, 0.7071}}}},
    {8, {{{1.0, 0.5412}, {1.0, 1.3065}, {1.0, 0.5412}, {1.0, 1.3065}}}},
}};

// The filter frequency is the −3 dB point, so the low-pass sections lie
// above it and the high-pass ones below.
constexpr std::array<OrderSections, 7> kBesselLowPass = {{
    {2, {{{1.2736, 0.5773}}}},
    {3, {{{1.4524, 0.691}, {1.327, 0.0}}}},
    {4, {{{1.4192, 0.5219}, {1.5912, 0.8055}}}},
    {5, {{{1.5611, 0.5635}, {1.7607, 0.9165}, {1.5069, 0.0}}}},
    {6, {{{1.606, 0.5103}, {1.6913, 0.6112}, {1.9071, 1.0234}}}},
    {7, {{{1.7174, 0.5324}, {1.8235, 0.6608}, {2.0507, 1.1262}, {1.6853, 0.0}}}},
    {8, {{{1.7837, 0.506}, {2.1953, 1.2258}, {1.9591, 0.7109}, {1.8376, 0.5596}}}},
}};

constexpr std::array<OrderSections, 7> kBesselHighPass = {{
    {2, {{{0.7852, 0.5773}}}},
    {3, {{{0.6885, 0.691}, {0.7536, 0.0}}}},
    {4, {{{0.7046, 0.5219}, {0.6285, 0.8055}}}},
    {5, {{{0.6406, 0.5635}, {0.568, 0.9165}, {0.6636, 0.0}}}},
    {6, {{{0.6227, 0.5103}, {0.5913, 0.6112}, {0.5244, 1.0234}}}},
    {7, {{{0.5823, 0.5324}, {0.5484, 0.6608}, {0.4876, 1.1262}, {0.5934, 0.0}}}},
    {8, {{{0.5606, 0.506}, {0.4555, 1.2258}, {0.5104, 0.7109}, {0.5442, 0.5596}}}},
}};

// Order 5 carries 1.618 = 1/(2·sin 18°); the swapped digits 1.681 put a
// 0.3 dB bump at the corner of every such filter.
constexpr std::array<OrderSections, 7> kButterworth = {{
    {2, {{{1.0, 0.7071}}}},
    {3, {{{1.0, 1.0}, {1.0, 0.0}}}},
    {4, {{{1.0, 0.5412}, {1.0, 1.3065}}}},
    {5, {{{1.0, 0.618}, {1.0, 1.618}, {1.0, 0.0}}}},
    {6, {{{1.0, 0.5177}, {1.0, 0.7071}, {1.0, 1.932}}}},
    {7, {{{1.0, 0.5549}, {1.0, 0.8019}, {1.0, 2.2472}, {1.0, 0.0}}}},
    {8, {{{1.0, 0.5098}, {1.0, 0.6013}, {1.0, 0.8999}, {1.0, 2.5628}}}},
}};

constexpr std::size_t kRecords = 36;

// Appends records in the table's order; the lookup returns the first match,
// so the order is part of the table.
struct TableBuilder {
    std::array<AlignmentRecord, kRecords> records{};
    std::size_t count = 0;

    constexpr void Add(CrossoverType type, std::int32_t direction, const OrderSections& entry) {
        records[count++] = {type, direction, entry.order, entry.sections};
    }
    template <std::size_t N>
    constexpr void Add(CrossoverType type, std::int32_t direction,
                       const std::array<OrderSections, N>& entries) {
        for (const OrderSections& entry : entries) {
            Add(type, direction, entry);
        }
    }
};

constexpr TableBuilder BuildTable() {
    TableBuilder table;
    table.Add(CrossoverType::Butterworth, kLowPass, kButterworthFirstOrder);
    table.Add(CrossoverType::Butterworth, kHighPass, kButterworthFirstOrder);
    table.Add(CrossoverType::LinkwitzRiley, kLowPass, kLinkwitzRiley);
    table.Add(CrossoverType::LinkwitzRiley, kHighPass, kLinkwitzRiley);
    table.Add(CrossoverType::Bessel, kLowPass, kBesselLowPass);
    table.Add(CrossoverType::Bessel, kHighPass, kBesselHighPass);
    table.Add(CrossoverType::Butterworth, kLowPass, kButterworth);
    table.Add(CrossoverType::Butterworth, kHighPass, kButterworth);
    return table;
}

constexpr TableBuilder kBuilt = BuildTable();
static_assert(kBuilt.count == kRecords);
constexpr std::array<AlignmentRecord, kRecords> kAlignments = kBuilt.records;

} // namespace

std::span<const AlignmentRecord> AlignmentTable() {
    return kAlignments;
}

bool LookupAlignment(AlignmentRecord& out, int order, CrossoverType type, bool highPass) {
    const std::int32_t direction = highPass ? kHighPass : kLowPass;
    for (const AlignmentRecord& record : kAlignments) {
        if (record.type == type && record.order == order && record.highPass == direction) {
            out = record;
            return true;
        }
    }
    return false;
}

CrossoverSettings AlignedSettings(CrossoverType type, int order, double freq, CrossoverSide side) {
    CrossoverSettings settings;
    settings.type = type;
    settings.order = order;
    settings.freq = freq;
    AlignmentRecord record;
    LookupAlignment(record, order, type, side == CrossoverSide::HighPass);
    for (std::size_t k = 0; k < kCrossoverSections; ++k) {
        settings.freqOfs[k] = record.sections[k].ratio;
        settings.q[k] = record.sections[k].q;
    }
    return settings;
}

} // namespace kv
