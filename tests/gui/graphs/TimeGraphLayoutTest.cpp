#include "graphs/TimeGraphLayout.h"

#include "GraphTestSupport.h"
#include "graphs/GraphLabels.h"
#include "math/VDoubleVec.h"

#include <gtest/gtest.h>

namespace kv {
namespace {

using test::FindText;
using test::FixedMetrics;

TEST(TimeLabels, EngineeringSuffixesAndTrimmedDecimals) {
    EXPECT_EQ(TimeValueLabelText(0.25), "0.25");
    EXPECT_EQ(TimeValueLabelText(1.0), "1");
    EXPECT_EQ(TimeValueLabelText(2600.0), "3k");
    EXPECT_EQ(TimeValueLabelText(-2600.0), "-3k");
    EXPECT_EQ(TimeValueLabelText(0.002), "2m");
    EXPECT_EQ(TimeValueLabelText(-0.0016), "-1.6m");
    EXPECT_EQ(TimeValueLabelText(0.000004), std::string("4") + kMicroSign);
    EXPECT_EQ(TimeValueLabelText(0.0000025), std::string("2.5") + kMicroSign);
    // Zero, and a tick a rounding error off it, read "0", without a sign.
    EXPECT_EQ(TimeValueLabelText(-4.3e-19), "0");
    EXPECT_EQ(TimeValueLabelText(0.0), "0");
    EXPECT_EQ(TimeLabelText(2.5), "2.5");
    EXPECT_EQ(TimeLabelText(20.0), "20");
    EXPECT_EQ(TimeLabelText(0.126), "0.13");
    EXPECT_EQ(TimeAxisUnit(0.2), "ms");
    EXPECT_EQ(TimeAxisUnit(0.5), "s");
}

TEST(TimeValueAxis, TicksRunFromTopToBottomInSteps) {
    TimeGraphSetup setup;
    setup.yMax = 0.002;
    setup.yMin = -0.002;
    setup.yStep = 0.0004;
    const std::vector<double> values = TimeValueTickValues(setup);
    ASSERT_EQ(values.size(), 11u);
    EXPECT_EQ(TimeValueLabelText(values[0]), "2m");
    EXPECT_EQ(TimeValueLabelText(values[1]), "1.6m");
    EXPECT_EQ(TimeValueLabelText(values[5]), "0");
    EXPECT_EQ(TimeValueLabelText(values[10]), "-2m");

    // A silent range or a step of nothing must not loop for ever.
    setup.yMin = setup.yMax;
    EXPECT_TRUE(TimeValueTickValues(setup).empty());
    setup.yMin = -1.0;
    setup.yStep = 0.0;
    EXPECT_TRUE(TimeValueTickValues(setup).empty());
}

TEST(TimeAxis, TicksAreSpacedForTheirLabelsInTheRightUnit) {
    TimeGraphSetup setup;
    setup.tMax = 0.02;
    const PixelRect plot{100, 0, 1100, 200};
    const std::vector<TimeTick> ticks = TimeTicks(setup, plot, FixedMetrics());
    ASSERT_GE(ticks.size(), 5u);
    EXPECT_EQ(ticks[0].x, 100);
    EXPECT_EQ(ticks[0].text, "0");
    // 0.5 ms would leave 25 pixels, too few for "19.5" and a gap; 1 ms
    // leaves 50.
    EXPECT_EQ(ticks[1].x - ticks[0].x, 50);
    EXPECT_EQ(ticks[1].text, "1");
    EXPECT_EQ(ticks[2].text, "2");
    EXPECT_EQ(ticks.back().x, 1050);

    setup.tMax = 2.0;
    const std::vector<TimeTick> seconds = TimeTicks(setup, plot, FixedMetrics());
    ASSERT_GE(seconds.size(), 2u);
    EXPECT_EQ(seconds[1].text, "0.1");
}

TEST(TimeCurve, DecimationKeepsEachGroupsPeak) {
    EXPECT_EQ(TimeDecimation(4096), 1);
    EXPECT_EQ(TimeDecimation(4097), 2);
    EXPECT_EQ(TimeDecimation(48000), 12);

    TimeGraphSetup setup;
    setup.tMax = 0.5;
    const double samplePeriod = 0.5 / 47999.0;
    VDoubleVec samples(48000);
    for (int i = 0; i < samples.GetSize(); ++i) {
        samples[i] = (i % 2 == 0 ? 0.001 : -0.001) * (i % 24);
    }
    // A spike in the middle of a group, another at a group's last sample.
    samples[12 * 100 + 5] = 0.9;
    samples[12 * 200 + 11] = -0.8;
    const PixelRect plot{0, 0, 4000, 400};
    const std::vector<QPointF> points = TimeCurvePoints(setup, plot, samples, samplePeriod, 1.0);
    ASSERT_EQ(points.size(), 4001u);
    const LinearValueAxis scale = TimeValueScale(setup, plot);
    EXPECT_EQ(points[100].y(), scale.Y(0.9));
    EXPECT_EQ(points[200].y(), scale.Y(-0.8));
    EXPECT_EQ(points[1].y(), scale.Y(-0.023));
    EXPECT_EQ(points.back(), QPointF(4000.0, points[3999].y()));
}

TEST(TimeCurve, NothingToDrawWhenTheShownSpanHoldsNoSecondSample) {
    TimeGraphSetup setup;
    setup.tMax = 0.02;
    const PixelRect plot{0, 0, 500, 200};
    VDoubleVec one(1);
    EXPECT_TRUE(TimeCurvePoints(setup, plot, one, 1.0 / 96000.0, 1.0).empty());
    VDoubleVec many(100);
    setup.tMin = 0.02;
    EXPECT_TRUE(TimeCurvePoints(setup, plot, many, 1.0 / 96000.0, 1.0).empty());
    setup.tMin = 0.0;
    EXPECT_TRUE(TimeCurvePoints(setup, plot, many, 0.0, 1.0).empty());
    EXPECT_EQ(TimeCurvePoints(setup, plot, many, 1.0 / 96000.0, 1.0).size(), 101u);
}

TEST(TimeGraphLayout, PlotStartsClearOfTheFrameAndLabelsItsAxes) {
    TimeGraphSetup setup;
    setup.tMax = 0.02;
    setup.unit = "Pa";
    const PixelRect rect{0, 0, 1000, 300};
    const GraphLayout layout = LayOutTimeGraph(setup, rect, FixedMetrics(), 10);
    ASSERT_TRUE(layout.hasPlot);
    // The widest value labels, "-0.2" and the like, set the label column.
    const int frameLeft = layout.scene.frames.at(0).rect.left;
    EXPECT_EQ(frameLeft, 7 * 4 + 9 + 4);
    EXPECT_EQ(layout.plot.left, frameLeft + (1000 - 2 - 4 - frameLeft) / 128);
    for (const char* expected : {"Pa", "ms", "1", "-1", "0.2", "0"}) {
        EXPECT_NE(FindText(layout.scene, expected), nullptr) << expected;
    }
}

} // namespace
} // namespace kv
