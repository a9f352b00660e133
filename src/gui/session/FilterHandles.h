#pragma once

#include <optional>
#include <string>
#include <vector>

namespace kv {

class CConfiguration;

// The filters of a band that have a handle in the band pane.
enum class HandleKind { HighPass, LowPass, Notch, LowShelf, HighShelf, Equaliser };

// The handle of one enabled filter of a band: which filter (kind and its
// number among its kind, from 0), its name ("EQ 3", "HP1") and its values:
// the frequency in Hz, the gain in dB of equalisers and shelves, the Q of
// equalisers and notches.
struct FilterHandle {
    HandleKind kind = HandleKind::Equaliser;
    int index = 0;
    std::string name;
    double freq = 0.0;
    std::optional<double> gain;
    std::optional<double> q;

    bool operator==(const FilterHandle&) const = default;
};

// The handles of a band's enabled crossover slots, notches, shelves and
// equalisers, in the order of its schematic; none for a band the design
// does not use.
std::vector<FilterHandle> FilterHandles(CConfiguration& design, int band);

// The handle of that filter with the values the band holds now; none when
// the filter is off.
std::optional<FilterHandle> CurrentHandle(CConfiguration& design, int band,
                                          const FilterHandle& handle);

// Moves a handle: its frequency and, for filters with one, its gain, through
// the band's setters. The values are rounded as a drag can place them (three
// significant digits, the gain to 0.1 dB) and held within the ranges of the
// dialog's fields. False when the band refused them or nothing changed.
bool MoveFilterHandle(CConfiguration& design, int band, const FilterHandle& handle, double hz,
                      std::optional<double> dB);

// Multiplies the Q of a handle's filter by factor (to three significant
// digits, within the field's range); false for a filter without Q, a value
// refused, or no change.
bool ScaleFilterHandleQ(CConfiguration& design, int band, const FilterHandle& handle,
                        double factor);

// "EQ 3: 1.41 kHz, +3.5 dB, Q 2.00": the readout beside a dragged handle.
std::string HandleReadout(const FilterHandle& handle);

} // namespace kv
