#include "graphs/CurveLegend.h"

#include "GraphTestSupport.h"

#include <gtest/gtest.h>

namespace kv {
namespace {

using test::FixedMetrics;

const PixelRect kPlot{100, 20, 900, 420};

Legend TwoCurves(bool phase, bool delay) {
    return {{LookOf(CurveKind::Filter), LookOf(CurveKind::Total)}, phase, delay};
}

// A row per curve, and one more for the key of the line patterns when
// phase or group delay is shown.
TEST(CurveLegend, ARowPerCurveAndAKeyOnlyWithPhaseOrDelay) {
    const LegendLayout plain = MeasureLegend(TwoCurves(false, false), FixedMetrics(), kPlot);
    EXPECT_EQ(plain.box.Height(), 2 * 13 + 8);
    const LegendLayout keyed = MeasureLegend(TwoCurves(true, true), FixedMetrics(), kPlot);
    EXPECT_EQ(keyed.box.Height(), 3 * 13 + 8);
    EXPECT_EQ(keyed.box.right, kPlot.right - 6) << "at the top right at first";
    EXPECT_EQ(keyed.box.top, kPlot.top + 6);
    EXPECT_EQ(MeasureLegend(Legend{}, FixedMetrics(), kPlot).box.Width(), 0);
    EXPECT_EQ(MeasureLegend(TwoCurves(true, true), FixedMetrics(), {0, 0, 60, 30}).box.Width(), 0)
        << "no legend where it does not fit";
}

TEST(CurveLegend, ItGoesToTheCornerWhereItHidesTheFewestPoints) {
    const LegendLayout measured = MeasureLegend(TwoCurves(true, false), FixedMetrics(), kPlot);
    // Points along the top of the plot: the legend goes down, to the right,
    // above the titles written in the bottom corners.
    std::vector<QPointF> top;
    for (int x = kPlot.left; x < kPlot.right; x += 3) {
        top.emplace_back(x, kPlot.top + 10);
    }
    LegendLayout placed = PlaceLegend(measured, kPlot, top, 15);
    EXPECT_EQ(placed.box.right, kPlot.right - 6);
    EXPECT_EQ(placed.box.bottom, kPlot.bottom - 6 - 15);
    // A curve falling from the top left to the bottom right leaves the top
    // right clear.
    std::vector<QPointF> falling;
    for (int x = kPlot.left; x < kPlot.right; x += 3) {
        falling.emplace_back(x, kPlot.top + (x - kPlot.left) * kPlot.Height() / kPlot.Width());
    }
    placed = PlaceLegend(measured, kPlot, falling, 15);
    EXPECT_EQ(placed.box.right, kPlot.right - 6);
    EXPECT_EQ(placed.box.top, kPlot.top + 6);
    EXPECT_EQ(placed.box.Width(), measured.box.Width());
    EXPECT_EQ(placed.box.Height(), measured.box.Height());
}

// Every kind of curve has its own name; the kinds shown together in one
// pane have colours of their own, and phase and group delay their own
// patterns, so that they tell apart without colour.
TEST(CurveLegend, KindsShownTogetherDifferInColourAndQuantitiesInPattern) {
    const std::vector<CurveKind> band = {CurveKind::ImportedSpl, CurveKind::Filter,
                                         CurveKind::Hardware, CurveKind::Target, CurveKind::Total};
    for (std::size_t i = 0; i < band.size(); ++i) {
        for (std::size_t j = i + 1; j < band.size(); ++j) {
            EXPECT_NE(LookOf(band[i]).colour, LookOf(band[j]).colour) << i << " " << j;
            EXPECT_NE(LookOf(band[i]).name, LookOf(band[j]).name);
        }
    }
    std::vector<QColor> total = {LookOf(CurveKind::SumFilter).colour,
                                 LookOf(CurveKind::SumTarget).colour,
                                 LookOf(CurveKind::SumTotal).colour};
    for (int b = 0; b < 3; ++b) {
        total.push_back(BandLook(b, "").colour);
    }
    for (std::size_t i = 0; i < total.size(); ++i) {
        for (std::size_t j = i + 1; j < total.size(); ++j) {
            EXPECT_NE(total[i], total[j]) << i << " " << j;
        }
    }
    const CurveLook& look = LookOf(CurveKind::Total);
    EXPECT_NE(QuantityPen(Quantity::Phase, look), QuantityPen(Quantity::Level, look));
    EXPECT_NE(QuantityPen(Quantity::GroupDelay, look), QuantityPen(Quantity::Level, look));
    EXPECT_NE(QuantityPen(Quantity::GroupDelay, look), QuantityPen(Quantity::Phase, look));
    EXPECT_EQ(BandLook(1, "Output 2 (MF)").name, "Output 2 (MF)");
}

} // namespace
} // namespace kv
