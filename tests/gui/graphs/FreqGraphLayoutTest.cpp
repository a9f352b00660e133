#include "graphs/FreqGraphLayout.h"

#include "GraphTestSupport.h"
#include "graphs/GraphLabels.h"
#include "graphs/VGraphics.h"
#include "math/VDoubleVec.h"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>

namespace kv {
namespace {

using test::FindText;
using test::FixedMetrics;

std::vector<std::string> LabelTexts(const std::vector<AxisLabel>& labels) {
    std::vector<std::string> texts;
    for (const AxisLabel& label : labels) {
        texts.push_back(label.text);
    }
    return texts;
}

TEST(FrequencyAxis, LabelsEveryOneTwoFiveFromTenHertzToTwentyKilohertz) {
    const LogFrequencyAxis axis(10.0, 40000.0, 50, 1000);
    ASSERT_TRUE(axis.Valid());
    EXPECT_EQ(axis.PixelX(10.0), 50);
    EXPECT_NEAR(axis.X(40000.0), 1050.0, 1.0);
    const std::vector<AxisLabel> labels = FrequencyLabels(axis, FixedMetrics(), 1050 - 14 - 1);
    EXPECT_EQ(LabelTexts(labels), (std::vector<std::string>{"10", "20", "50", "100", "200", "500",
                                                            "1K", "2K", "5K", "10K", "20K"}));
    EXPECT_EQ(labels.front().x, 50);
}

TEST(FrequencyAxis, GridIsSolidAtDecadesAndLeavesBothEndsBare) {
    const LogFrequencyAxis axis(10.0, 40000.0, 0, 1200);
    const std::vector<FrequencyGridLine> lines = FrequencyGridLines(axis);
    std::vector<int> solid;
    for (const FrequencyGridLine& line : lines) {
        if (line.solid) {
            solid.push_back(line.x);
        }
        EXPECT_GT(line.x, axis.PixelX(10.0));
        EXPECT_LT(line.x, axis.PixelX(40000.0));
    }
    EXPECT_EQ(solid,
              (std::vector<int>{axis.PixelX(100.0), axis.PixelX(1000.0), axis.PixelX(10000.0)}));
    // 15 … 90 Hz, the two full decades above, then 10K, 15K, 20K and 30K.
    EXPECT_EQ(lines.size(), 9u + 10u + 10u + 4u);
    EXPECT_EQ(std::count_if(lines.begin(), lines.end(),
                            [&](const FrequencyGridLine& line) {
                                return line.x == axis.PixelX(15.0) && !line.solid;
                            }),
              1);
}

TEST(FrequencyAxis, NarrowPlotLeavesOutLabelsThatWouldTouch) {
    const LogFrequencyAxis axis(10.0, 40000.0, 0, 180);
    const TextMetrics metrics = FixedMetrics();
    const int limit = 180 - metrics.width("Hz") - 1;
    const std::vector<AxisLabel> labels = FrequencyLabels(axis, metrics, limit);
    ASSERT_GE(labels.size(), 3u);
    EXPECT_LT(labels.size(), 11u);
    EXPECT_EQ(labels.front().text, "10");
    for (std::size_t i = 1; i < labels.size(); ++i) {
        EXPECT_GT(labels[i].left, labels[i - 1].right) << labels[i].text;
    }
    EXPECT_LT(labels.back().right, limit);
}

// Zoomed in to less than a decade, the axis labels its grid lines (1.5K,
// 3K …), and no label reaches into the level axis's unit at the left.
TEST(FrequencyAxis, AZoomedAxisLabelsItsGridLinesClearOfTheUnit) {
    const LogFrequencyAxis axis(1200.0, 9000.0, 100, 1000);
    const std::vector<AxisLabel> labels = FrequencyLabels(axis, FixedMetrics(), 1100, 100 - 9);
    EXPECT_EQ(LabelTexts(labels),
              (std::vector<std::string>{"1.5K", "2K", "3K", "4K", "5K", "6K", "7K", "8K"}));
    const std::vector<FrequencyTick> ticks = FrequencyTicks(axis, 8, 1100);
    ASSERT_EQ(ticks.size(), labels.size());
    for (const FrequencyTick& tick : ticks) {
        EXPECT_EQ(tick.length, 8);
    }
    // "100" centred on the plot's left edge would run into the unit.
    const LogFrequencyAxis fromHundred(100.0, 10000.0, 100, 1000);
    EXPECT_EQ(FrequencyLabels(fromHundred, FixedMetrics(), 1100, 100 - 9).front().text, "200");
    EXPECT_EQ(FrequencyLabels(fromHundred, FixedMetrics(), 1100).front().text, "100");
}

TEST(FrequencyAxis, TicksAreLongAtOneTwoAndFiveAndStopBeforeTheLimit) {
    const LogFrequencyAxis axis(10.0, 40000.0, 0, 1000);
    const std::vector<FrequencyTick> ticks = FrequencyTicks(axis, 8, 900);
    ASSERT_GE(ticks.size(), 9u);
    const std::vector<int> firstDecade = {8, 5, 8, 5, 5, 5, 5, 5, 8};
    for (std::size_t i = 0; i < firstDecade.size(); ++i) {
        EXPECT_EQ(ticks[i].length, firstDecade[i]) << i;
    }
    EXPECT_EQ(ticks[9].x, axis.PixelX(100.0));
    EXPECT_LT(ticks.back().x, 900);
}

TEST(FrequencyAxis, RangeALogarithmicAxisCannotShowDrawsNothing) {
    for (const auto& [fMin, fMax] :
         {std::pair(0.0, 100.0), std::pair(100.0, 10.0), std::pair(-5.0, 100.0)}) {
        const LogFrequencyAxis axis(fMin, fMax, 0, 500);
        EXPECT_FALSE(axis.Valid());
        EXPECT_TRUE(FrequencyGridLines(axis).empty());
        EXPECT_TRUE(FrequencyLabels(axis, FixedMetrics(), 500).empty());
    }
}

TEST(LabelFormats, FrequencyAndValueLabels) {
    EXPECT_EQ(FrequencyLabelText(0.05), "0.05");
    EXPECT_EQ(FrequencyLabelText(0.5), "0.5");
    EXPECT_EQ(FrequencyLabelText(500.0), "500");
    EXPECT_EQ(FrequencyLabelText(20000.0), "20K");
    EXPECT_EQ(FrequencyLabelText(1500.0), "1.5K");
    EXPECT_EQ(FrequencyLabelText(2000000.0), "2M");
    EXPECT_EQ(ValueLabelText(2.5), "2.5");
    EXPECT_EQ(ValueLabelText(-180.0), "-180");
    EXPECT_EQ(ValueLabelText(2500.0), "2.5K");
    EXPECT_EQ(ValueLabelText(-35.0), "-35");
    EXPECT_EQ(ValueLabelText(0.03125), "0.0312");
    EXPECT_EQ(ValueLabelText(0.00005), "5e-05");
    EXPECT_EQ(ValueLabelText(1e-12), "0");
    EXPECT_EQ(ValueLabelText(-1e-12), "0");
    EXPECT_EQ(ValueLabelText(2500000.0), "2.5M");
    // Degrees and milliseconds read plainly, and zero as "0".
    EXPECT_EQ(ValueLabelText(-1440.0, LabelStyle::Plain), "-1440");
    EXPECT_EQ(ValueLabelText(0.25, LabelStyle::Plain), "0.25");
    EXPECT_EQ(ValueLabelText(-2.7e-17, LabelStyle::Plain), "0");
}

// An axis of an explicit step ticks at the step's multiples, wherever its
// ends lie, minor ticks too.
TEST(ValueAxis, AnAxisOfStepsTicksAtTheirMultiples) {
    CurveAxisDescriptor axis{87.3, 12.6, 1.0, 6, "dB", QColor(0, 0, 192), 2.0};
    std::vector<double> values;
    for (const ValueLabel& label : ValueAxisLabels(axis)) {
        values.push_back(label.value);
    }
    EXPECT_EQ(values, (std::vector<double>{86, 84, 82, 80, 78, 76}));
    const PixelRect plot{0, 0, 500, 252};
    const LinearValueAxis scale = ValueAxisScale(axis, plot);
    const std::vector<int> minor = MinorTickPositions(axis, scale, plot);
    // 0.2 dB is 4 pixels: minor ticks at 87.2 … 74.8, but not on a major one.
    EXPECT_EQ(minor.size(), 63u - 6u);
    EXPECT_EQ(minor.front(), scale.PixelY(87.2));
}

CurveAxisDescriptor LevelAxis(double top) {
    return {top, 40.0, 1.0, 8, "dB", QColor(0, 0, 192)};
}

TEST(ValueAxis, LevelAxisIsLabelledEveryFiveDecibelsWithMinorTicksAsRoomAllows) {
    const CurveAxisDescriptor axis = LevelAxis(5.0);
    std::vector<std::string> texts;
    for (const ValueLabel& label : ValueAxisLabels(axis)) {
        texts.push_back(label.text);
    }
    EXPECT_EQ(texts,
              (std::vector<std::string>{"5", "0", "-5", "-10", "-15", "-20", "-25", "-30", "-35"}));
    // 400 pixels: 10 per dB, so a minor tick every 0.5 dB.
    const PixelRect tall{0, 0, 500, 400};
    const LinearValueAxis tallScale = ValueAxisScale(axis, tall);
    EXPECT_EQ(ValueAxisTicks(axis, tallScale, tall).size(), 9u);
    EXPECT_EQ(ValueAxisTicks(axis, tallScale, tall).back().y, 400);
    EXPECT_EQ(MinorTickPositions(axis, tallScale, tall).size(), 8u * 9u);
    // 100 pixels: 0.5 dB would be 1.25 pixels, so every 1 dB (2.5 pixels).
    const PixelRect short_{0, 0, 500, 100};
    EXPECT_EQ(MinorTickPositions(axis, ValueAxisScale(axis, short_), short_).size(), 8u * 4u);
    // 60 pixels: 1 dB is 1.5 pixels, too close for minor ticks.
    const PixelRect tiny{0, 0, 500, 60};
    EXPECT_TRUE(MinorTickPositions(axis, ValueAxisScale(axis, tiny), tiny).empty());
}

TEST(ValueAxis, ValuePositionsRunFromTopToBottomEdge) {
    const LinearValueAxis scale(5.0, 40.0, 20, 400);
    EXPECT_EQ(scale.PixelY(5.0), 20);
    EXPECT_EQ(scale.PixelY(-35.0), 420);
    EXPECT_EQ(scale.PixelY(0.0), 70);
    EXPECT_DOUBLE_EQ(scale.Y(0.05, 2.0), 69.5);
    // Wild values stay within what a paint device takes.
    EXPECT_LE(scale.Y(-1e300), 32020.0);
    EXPECT_FALSE(LinearValueAxis(0.0, 0.0, 0, 100).Valid());
}

TEST(ValueAxis, DegenerateDescriptorsGiveNoRunawayTicks) {
    EXPECT_TRUE(ValueAxisLabels({0.0, 0.0, 1.0, 8, "dB", {}}).empty());
    EXPECT_TRUE(ValueAxisLabels({std::nan(""), 40.0, 1.0, 8, "dB", {}}).empty());
    EXPECT_EQ(ValueAxisLabels({0.0, 40.0, 1.0, 0, "dB", {}}).size(), 2u);
    EXPECT_EQ(ValueAxisLabels({0.0, 40.0, 1.0, 1 << 30, "dB", {}}).size(),
              static_cast<std::size_t>(kMaxAxisDivisions) + 1u);
}

TEST(FreqGraphLayout, PlotLeavesRoomForEveryAxisAndFontFollowsTheHeight) {
    EXPECT_EQ(GraphFontHeight(400, 9), 10);
    EXPECT_EQ(GraphFontHeight(200, 9), 9);
    EXPECT_EQ(GraphFontHeight(200, 2), 5);
    const TextMetrics metrics = FixedMetrics();
    const PixelRect rect{0, 0, 1000, 400};
    const PixelRect plot = FreqPlotRect(rect, metrics, {40, 50, 60});
    EXPECT_EQ(plot.left, 4 + 40 + 9);
    EXPECT_EQ(plot.top, 2 * 4 + 1);
    EXPECT_EQ(plot.right, 1000 - 3 - 4 - (4 + 9 + 50) - (4 + 9 + 60));
    EXPECT_EQ(plot.bottom, 400 - 2 - 8 - 13);
}

TEST(FreqGraphLayout, SceneHasHzLabelUnitsAndNoAxesMeansMarginOnly) {
    FreqGraphSetup setup;
    const PixelRect rect{0, 0, 1000, 400};
    GraphLayout empty = LayOutFreqGraph(setup, rect, FixedMetrics(), 10);
    EXPECT_FALSE(empty.hasPlot);
    ASSERT_EQ(empty.scene.fills.size(), 1u);
    EXPECT_TRUE(empty.scene.texts.empty());

    setup.axes = {LevelAxis(5.0), {180.0, 360.0, 1.0, 8, "deg", QColor(192, 128, 0)}};
    const GraphLayout layout = LayOutFreqGraph(setup, rect, FixedMetrics(), 10);
    ASSERT_TRUE(layout.hasPlot);
    for (const char* expected : {"Hz", "dB", "180", "135", "-180", "20K"}) {
        EXPECT_NE(FindText(layout.scene, expected), nullptr) << expected;
    }
    const SceneText* unit = FindText(layout.scene, "deg");
    ASSERT_NE(unit, nullptr);
    EXPECT_TRUE(unit->bold);
    EXPECT_EQ(unit->colour, QColor(192, 128, 0));
    EXPECT_GT(unit->at.x(), layout.plot.right);
}

TEST(FreqCurvePoints, RunToTheEdgesAndSkipRepeatsAndTheFloor) {
    const LogFrequencyAxis frequencyAxis(20.0, 20000.0, 0, 300);
    const LinearValueAxis valueAxis(10.0, 40.0, 0, 400);
    const double hz[] = {10.0, 15.0, 1000.0, 1000.2, 5000.0, 40000.0};
    const double dB[] = {0.0, 0.0, 0.0, 0.0, -1e38, 0.0};
    VDoubleVec frequencies(6);
    VDoubleVec values(6);
    for (int i = 0; i < 6; ++i) {
        frequencies[i] = hz[i];
        values[i] = dB[i];
    }
    const std::vector<QPointF> points =
        FreqCurvePoints(frequencyAxis, FrequencyPositions(frequencyAxis, frequencies, 1.0),
                        valueAxis, frequencies, values, -1e37, 1.0);
    // 10 Hz is two points outside the range; 15 Hz leads into it; 1000.2 Hz
    // lands on the pixel of 1000 Hz; 5 kHz is below the floor; 40 kHz
    // follows a point in range.
    ASSERT_EQ(points.size(), 3u);
    EXPECT_LT(points[0].x(), 0.0);
    EXPECT_EQ(points[1], QPointF(frequencyAxis.PixelX(1000.0), 100.0));
    EXPECT_GT(points[2].x(), 300.0);
}

} // namespace
} // namespace kv
