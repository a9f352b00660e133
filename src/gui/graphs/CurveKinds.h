#pragma once

#include <QColor>
#include <string>

namespace kv {

// The kinds of curve the response views draw. Each kind has one colour for
// everything it shows (level, phase, group delay, impulse and step), so
// that a pane of many curves reads by kind; what a line shows is told by
// its pattern (see QuantityPen), which needs no colour vision at all.
enum class CurveKind {
    ImportedSpl,
    Filter,
    Hardware,
    Target,
    Total,
    SumFilter,
    SumTarget,
    SumTotal,
    // One band's total in the total pane, in its band's colour (BandLook).
    BandTotal,
};

// How a curve looks: the name the legend and the readout give it, its
// colour, and the width and pattern of its level line.
struct CurveLook {
    std::string name;
    QColor colour;
    int levelWidth = 1;
    Qt::PenStyle levelPen = Qt::SolidLine;
};

struct CurveKindRow {
    CurveKind kind;
    CurveLook look;
};

// The colours come from a palette that stays apart for the common
// colour-vision deficiencies (Okabe and Ito's); the target's black and the
// total's blue are kept as they were. The hardware curve mostly lies on the
// filter curve and is drawn dash-dotted so that the filter shows through.
inline const CurveKindRow kCurveKinds[] = {
    {CurveKind::ImportedSpl, {"Imported SPL", QColor(86, 180, 233)}},
    {CurveKind::Filter, {"Filter", QColor(213, 94, 0)}},
    {CurveKind::Hardware, {"Hardware", QColor(0, 158, 115), 2, Qt::DashDotLine}},
    {CurveKind::Target, {"Target", QColor(0, 0, 0)}},
    {CurveKind::Total, {"Total", QColor(0, 0, 192), 2}},
    {CurveKind::SumFilter, {"Sum of filters", QColor(213, 94, 0)}},
    {CurveKind::SumTarget, {"Sum of targets", QColor(0, 0, 0)}},
    {CurveKind::SumTotal, {"Sum of totals", QColor(0, 0, 192), 2}},
    {CurveKind::BandTotal, {"Band", QColor(204, 121, 167)}},
};

const CurveLook& LookOf(CurveKind kind);

// A band's own curve in the total pane: thin, under the band's name, in the
// band's colour (apart from each other and from the sums drawn with them).
CurveLook BandLook(int band, const std::string& name);

// What a frequency-view line shows.
enum class Quantity { Level, Phase, GroupDelay };

// The pattern of a line: a level line takes its curve's, phase lines are
// dashed and group-delay lines dotted.
Qt::PenStyle QuantityPen(Quantity quantity, const CurveLook& look);

// Titles written into a plot's corner (the band's name, "PIR").
inline const QColor kCornerTitleColour{192, 0, 0};

} // namespace kv
