#pragma once

#include <array>
#include <cstdint>

namespace kv {

// The alignment of a crossover slot. Targets use the first three only.
enum class CrossoverType : std::int32_t {
    LinkwitzRiley = 1,
    Bessel = 2,
    Butterworth = 3,
    Custom = 1000,
};

// The two sides of a band's crossover slots.
enum class CrossoverSide { HighPass, LowPass };

// A band's slots: high-pass and low-pass pairs, notches, equalisers.
inline constexpr int kCrossoverSlots = 2;
inline constexpr int kNotches = 6;
inline constexpr int kEqualisers = 14;
inline constexpr int kCrossoverSections = 4;
inline constexpr int kMinCrossoverOrder = 1;
inline constexpr int kMaxCrossoverOrder = 8;

// One high-pass or low-pass slot, realised filter or target alike. A fresh
// slot is the second-order Linkwitz-Riley alignment: one section, ratio 1,
// q 0.5.
struct CrossoverSettings {
    double freq = 2500.0;
    std::int32_t order = 2;
    CrossoverType type = CrossoverType::LinkwitzRiley;
    std::array<double, kCrossoverSections> freqOfs{1.0, 1.0, 1.0, 1.0};
    std::array<double, kCrossoverSections> q{0.5, 1.0, 1.0, 1.0};

    bool operator==(const CrossoverSettings&) const = default;
};

// Everything one high-pass or low-pass slot holds.
struct CrossoverSlot {
    CrossoverSettings target;
    CrossoverSettings filter;
    bool enabled = false;
};

struct NotchSettings {
    double freq = 1000.0;
    double q = 4.0;
    bool enabled = false;

    bool operator==(const NotchSettings&) const = default;
};

struct AllPassSettings {
    double freq = 1000.0;
    double q = 1.0;
    bool enabled = false;

    bool operator==(const AllPassSettings&) const = default;
};

struct ShelfSettings {
    double gain = 0.0;
    double freq = 1000.0;
    bool enabled = false;

    bool operator==(const ShelfSettings&) const = default;
};

struct PeqSettings {
    double gain = 0.0;
    double freq = 1000.0;
    double q = 1.0;
    bool enabled = false;

    bool operator==(const PeqSettings&) const = default;
};

// Every one-section filter of a band: what the notch and equaliser dialogs
// and a filter import change.
struct SectionFilters {
    std::array<NotchSettings, kNotches> notch{};
    AllPassSettings allPass{};
    ShelfSettings lowShelf{};
    ShelfSettings highShelf{};
    std::array<PeqSettings, kEqualisers> peq{};

    bool operator==(const SectionFilters&) const = default;
};

} // namespace kv
