#pragma once

#include "model/BandSettings.h"

#include <QRect>
#include <array>
#include <string>
#include <vector>

namespace kv {

class CBand;

// The blocks of a band's row, from the input on the left to the driver on
// the right; the numbers are the blocks' places in the row.
enum class BlockKind {
    Input,
    Delay,
    HighPass1,
    HighPass2,
    LowPass1,
    LowPass2,
    Notch,
    AllPass,
    Eq,
    LowShelf,
    HighShelf,
    BassTreble,
    Driver,
};
inline constexpr int kBlockKinds = 13;

// The one or two lines of a block's label.
struct BlockLabel {
    const char* first;
    const char* second;
};
BlockLabel LabelOf(BlockKind kind);
// The label on one line: "Bass & Treble".
std::string BlockName(BlockKind kind);

// The schematic's drawing, in pixels of the pane: 60 x 60 blocks 72 apart.
inline constexpr int kBlockSize = 60;
inline constexpr int kBlockPitch = 72;

// One band's row of the schematic and the areas the mouse hits.
struct SchematicRow {
    int top = 0;
    int blockTop = 0;
    int midY = 0;
    std::array<QRect, kBlockKinds> blocks;
    QRect mute;
};

// The rows of the used bands in a pane: the pane divided into equal rows,
// each block centred in its row's height.
std::vector<SchematicRow> LayOutSchematic(const QRect& pane, int numBands);

// Where a band's block or mute box is under a point: the band, the block
// kind (-1 for none) and whether the point is on the mute box.
struct SchematicHit {
    int band = -1;
    int kind = -1;
    bool mute = false;
};
SchematicHit HitAt(const std::vector<SchematicRow>& rows, const QPoint& point);

// The texts the schematic writes.
std::string RoutingText(InputRoute input);
std::string GainText(double dB);
std::string DelayText(double seconds);
std::string FreeBiquadsText(int free);

// What a block's face tells at a glance: whether its filters are in use,
// the biquads they take, and for blocks of several items how many are on.
struct BlockUsage {
    bool inUse = false;
    int biquads = 0;
    int itemsOn = 0;
    int items = 0;
};
BlockUsage UsageOf(const CBand& band, BlockKind kind);
// "2 biquads", "3 of 14 on, 3 biquads": the face's summary in words, for
// its tooltip.
std::string UsageText(const BlockUsage& usage);

} // namespace kv
