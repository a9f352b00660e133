#include "session/SchematicLayout.h"

#include "archive/VString.h"
#include "model/CBand.h"

namespace kv {
namespace {

constexpr std::array<BlockLabel, kBlockKinds> kLabels = {{
    {"Input", nullptr},
    {"Delay", nullptr},
    {"HP1", nullptr},
    {"HP2", nullptr},
    {"LP1", nullptr},
    {"LP2", nullptr},
    {"Notch", nullptr},
    {"AllPass", nullptr},
    {"EQ", nullptr},
    {"LSF", nullptr},
    {"HSF", nullptr},
    {"Bass &", "Treble"},
    {"Driver", nullptr},
}};

constexpr int kBlockLeft = 9;
constexpr int kMuteLeft = 5;
constexpr int kMuteTop = 42;
constexpr int kMuteRight = 55;
constexpr int kMuteBottom = 55;

BlockUsage CrossoverUsage(bool enabled, int order) {
    return {enabled, enabled ? BiquadsForOrder(order) : 0, 0, 0};
}

template <typename Items> BlockUsage ItemsUsage(const Items& items) {
    BlockUsage usage{false, 0, 0, static_cast<int>(items.size())};
    for (const auto& item : items) {
        usage.itemsOn += item.enabled ? 1 : 0;
    }
    usage.inUse = usage.itemsOn > 0;
    usage.biquads = usage.itemsOn;
    return usage;
}

BlockUsage SingleUsage(bool enabled) {
    return {enabled, enabled ? 1 : 0, 0, 0};
}

} // namespace

BlockLabel LabelOf(BlockKind kind) {
    return kLabels[static_cast<std::size_t>(kind)];
}

std::string BlockName(BlockKind kind) {
    const BlockLabel label = LabelOf(kind);
    return label.second != nullptr ? std::string(label.first) + " " + label.second : label.first;
}

std::vector<SchematicRow> LayOutSchematic(const QRect& pane, int numBands) {
    std::vector<SchematicRow> rows;
    if (numBands < 1) {
        return rows;
    }
    const int height = pane.height() / numBands;
    const int offset = (height - kBlockSize) / 2;
    for (int b = 0; b < numBands; ++b) {
        SchematicRow row;
        row.top = pane.top() + b * height;
        row.blockTop = row.top + offset;
        row.midY = row.blockTop + kBlockSize / 2;
        for (int k = 0; k < kBlockKinds; ++k) {
            const int x = pane.left() + kBlockLeft + kBlockPitch * k;
            row.blocks[static_cast<std::size_t>(k)] =
                QRect(x, row.blockTop, kBlockSize, kBlockSize);
        }
        const int x = row.blocks[0].left();
        row.mute = QRect(QPoint(x + kMuteLeft, row.blockTop + kMuteTop),
                         QPoint(x + kMuteRight - 1, row.blockTop + kMuteBottom - 1));
        rows.push_back(row);
    }
    return rows;
}

SchematicHit HitAt(const std::vector<SchematicRow>& rows, const QPoint& point) {
    for (std::size_t b = 0; b < rows.size(); ++b) {
        if (rows[b].mute.contains(point)) {
            return {static_cast<int>(b), static_cast<int>(BlockKind::Input), true};
        }
    }
    for (std::size_t b = 0; b < rows.size(); ++b) {
        for (int k = 0; k < kBlockKinds; ++k) {
            if (rows[b].blocks[static_cast<std::size_t>(k)].contains(point)) {
                return {static_cast<int>(b), k, false};
            }
        }
    }
    return {};
}

std::string RoutingText(InputRoute input) {
    switch (input) {
    case InputRoute::A:
        return "Using: A";
    case InputRoute::B:
        return "Using: B";
    case InputRoute::Both:
        return "Using: A+B";
    }
    return "";
}

std::string GainText(double dB) {
    VString text;
    text.Format("G: %.*lfdB", dB > -100.0 ? 1 : 0, dB);
    return text;
}

std::string DelayText(double seconds) {
    VString text;
    if (seconds == 0.0) {
        text = "t: 0ms";
    } else if (seconds < 0.001) {
        text.Format("t: %.0lfus", seconds * 1e6);
    } else {
        text.Format("t: %.*lfms", seconds <= 0.0099999 ? 2 : 1, seconds * 1000.0);
    }
    return text;
}

std::string FreeBiquadsText(int free) {
    VString text;
    text.Format("Free Biquads: %d of %d", free, kBiquadsPerBand);
    return text;
}

BlockUsage UsageOf(const CBand& band, BlockKind kind) {
    switch (kind) {
    case BlockKind::Input:
        return {band.muted || band.gain != 0.0 || band.reversedPhase, 0, 0, 0};
    case BlockKind::Delay:
        return {band.delay != 0.0, 0, 0, 0};
    case BlockKind::HighPass1:
    case BlockKind::HighPass2: {
        const std::size_t k = kind == BlockKind::HighPass1 ? 0 : 1;
        return CrossoverUsage(band.hpEnabled[k], band.hpFilter[k].order);
    }
    case BlockKind::LowPass1:
    case BlockKind::LowPass2: {
        const std::size_t k = kind == BlockKind::LowPass1 ? 0 : 1;
        return CrossoverUsage(band.lpEnabled[k], band.lpFilter[k].order);
    }
    case BlockKind::Notch:
        return ItemsUsage(band.notch);
    case BlockKind::AllPass:
        return SingleUsage(band.allPass.enabled);
    case BlockKind::Eq:
        return ItemsUsage(band.peq);
    case BlockKind::LowShelf:
        return SingleUsage(band.lowShelf.enabled);
    case BlockKind::HighShelf:
        return SingleUsage(band.highShelf.enabled);
    case BlockKind::BassTreble:
        return {band.bassGain != 0.0 || band.trebleGain != 0.0, 0, 0, 0};
    case BlockKind::Driver:
        return {!band.splFreqs.Empty(), 0, 0, 0};
    }
    return {};
}

std::string UsageText(const BlockUsage& usage) {
    std::string text;
    if (usage.items > 0) {
        text = std::to_string(usage.itemsOn) + " of " + std::to_string(usage.items) + " on";
    }
    if (usage.biquads > 0) {
        text += (text.empty() ? "" : ", ") + std::to_string(usage.biquads) +
                (usage.biquads == 1 ? " biquad" : " biquads");
    }
    if (text.empty()) {
        text = usage.inUse ? "in use" : "not in use";
    }
    return text;
}

} // namespace kv
