#include "session/FilterHandles.h"

#include "archive/VString.h"
#include "graphs/GraphLabels.h"
#include "model/CConfiguration.h"
#include "session/FieldTable.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace kv {
namespace {

constexpr int kDragDigits = 3;
constexpr double kGainResolutionDb = 0.1;

// What a kind of handle edits: the dialog rows of its frequency, gain and
// Q (null where it has none), how many filters of the kind a band has,
// whether one of them is on, and the name of the handle.
struct HandleKindRow {
    HandleKind kind;
    int count;
    CrossoverSide side;
    // The first of a kind is index 0 of the rows; shelves share their rows.
    int rowIndex;
    const char* freqRow;
    const char* gainRow;
    const char* qRow;
    bool (*enabled)(const BandSettings& band, int index);
    const char* name;
};

const std::array<HandleKindRow, 6> kHandleKinds = {{
    {HandleKind::HighPass, kCrossoverSlots, CrossoverSide::HighPass, 0, "filterFreq", nullptr,
     nullptr, [](const BandSettings& b, int k) { return b.hpEnabled[static_cast<std::size_t>(k)]; },
     "HP%d"},
    {HandleKind::LowPass, kCrossoverSlots, CrossoverSide::LowPass, 0, "filterFreq", nullptr,
     nullptr, [](const BandSettings& b, int k) { return b.lpEnabled[static_cast<std::size_t>(k)]; },
     "LP%d"},
    {HandleKind::Notch, kNotches, CrossoverSide::HighPass, 0, "notchFreq", nullptr, "notchQ",
     [](const BandSettings& b, int k) { return b.notch[static_cast<std::size_t>(k)].enabled; },
     "Notch %d"},
    {HandleKind::LowShelf, 1, CrossoverSide::HighPass, 0, "shelfFreq", "shelfGain", nullptr,
     [](const BandSettings& b, int) { return b.lowShelf.enabled; }, "LSF"},
    {HandleKind::HighShelf, 1, CrossoverSide::HighPass, 1, "shelfFreq", "shelfGain", nullptr,
     [](const BandSettings& b, int) { return b.highShelf.enabled; }, "HSF"},
    {HandleKind::Equaliser, kEqualisers, CrossoverSide::HighPass, 0, "peqFreq", "peqGain", "peqQ",
     [](const BandSettings& b, int k) { return b.peq[static_cast<std::size_t>(k)].enabled; },
     "EQ %d"},
}};

const HandleKindRow& RowOf(HandleKind kind) {
    return *std::find_if(kHandleKinds.begin(), kHandleKinds.end(),
                         [kind](const HandleKindRow& row) { return row.kind == kind; });
}

bool UsedBand(const CConfiguration& design, int band) {
    return band >= 0 && band < design.numBands && band < kMaxBands;
}

FieldContext ContextOf(CConfiguration& design, int band, const HandleKindRow& kind, int index) {
    return {design, band, kind.rowIndex + index, kind.side};
}

std::optional<double> ReadRow(const char* row, const FieldContext& context) {
    if (row == nullptr) {
        return std::nullopt;
    }
    return Row(row).read(context);
}

FilterHandle HandleOf(CConfiguration& design, int band, const HandleKindRow& kind, int index) {
    const FieldContext context = ContextOf(design, band, kind, index);
    VString name;
    name.Format(kind.name, index + 1);
    return {kind.kind,
            index,
            name,
            Row(kind.freqRow).read(context),
            ReadRow(kind.gainRow, context),
            ReadRow(kind.qRow, context)};
}

double ToSignificantDigits(double value, int digits) {
    if (!(value > 0.0) || !std::isfinite(value)) {
        return value;
    }
    const double unit = std::pow(10.0, std::floor(std::log10(value)) + 1 - digits);
    return std::round(value / unit) * unit;
}

// A value for a row's field: rounded to what the field shows, within its
// range.
double ForField(const FieldRow& row, const FieldContext& context, double value) {
    const double unit = std::pow(10.0, row.decimals);
    const FieldBounds bounds = BoundsOf(row, context);
    return std::clamp(std::round(value * unit) / unit, bounds.minimum, bounds.maximum);
}

// Writes a row when its value would change; true when the band took it.
bool WriteRow(const char* row, const FieldContext& context, double value) {
    const FieldRow& field = Row(row);
    const double shown = ForField(field, context, value);
    return shown != field.read(context) && field.write(context, shown);
}

} // namespace

std::vector<FilterHandle> FilterHandles(CConfiguration& design, int band) {
    std::vector<FilterHandle> handles;
    if (!UsedBand(design, band)) {
        return handles;
    }
    const CBand& settings = design.bands[static_cast<std::size_t>(band)];
    for (const HandleKindRow& kind : kHandleKinds) {
        for (int index = 0; index < kind.count; ++index) {
            if (kind.enabled(settings, index)) {
                handles.push_back(HandleOf(design, band, kind, index));
            }
        }
    }
    return handles;
}

std::optional<FilterHandle> CurrentHandle(CConfiguration& design, int band,
                                          const FilterHandle& handle) {
    const HandleKindRow& kind = RowOf(handle.kind);
    if (!UsedBand(design, band) || handle.index < 0 || handle.index >= kind.count ||
        !kind.enabled(design.bands[static_cast<std::size_t>(band)], handle.index)) {
        return std::nullopt;
    }
    return HandleOf(design, band, kind, handle.index);
}

bool MoveFilterHandle(CConfiguration& design, int band, const FilterHandle& handle, double hz,
                      std::optional<double> dB) {
    if (!CurrentHandle(design, band, handle) || !std::isfinite(hz)) {
        return false;
    }
    const HandleKindRow& kind = RowOf(handle.kind);
    const FieldContext context = ContextOf(design, band, kind, handle.index);
    bool changed = WriteRow(kind.freqRow, context, ToSignificantDigits(hz, kDragDigits));
    if (kind.gainRow != nullptr && dB && std::isfinite(*dB)) {
        const double gain = std::round(*dB / kGainResolutionDb) * kGainResolutionDb;
        changed = WriteRow(kind.gainRow, context, gain) || changed;
    }
    return changed;
}

bool ScaleFilterHandleQ(CConfiguration& design, int band, const FilterHandle& handle,
                        double factor) {
    const std::optional<FilterHandle> current = CurrentHandle(design, band, handle);
    const HandleKindRow& kind = RowOf(handle.kind);
    if (!current || !current->q || kind.qRow == nullptr || !(factor > 0.0)) {
        return false;
    }
    const FieldContext context = ContextOf(design, band, kind, handle.index);
    return WriteRow(kind.qRow, context, ToSignificantDigits(*current->q * factor, kDragDigits));
}

std::string HandleReadout(const FilterHandle& handle) {
    std::string readout = handle.name + ": " + ReadoutFrequencyText(handle.freq);
    if (handle.gain) {
        VString gain;
        gain.Format(", %+.1f dB", *handle.gain);
        readout += gain;
    }
    if (handle.q) {
        VString q;
        q.Format(", Q %.2f", *handle.q);
        readout += q;
    }
    return readout;
}

} // namespace kv
