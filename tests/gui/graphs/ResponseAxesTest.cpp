#include "graphs/ResponseAxes.h"

#include <cmath>
#include <gtest/gtest.h>

namespace kv {
namespace {

TEST(ResponseAxes, LevelAxisTopLeavesFiveDecibelsAboveTheHighestLevel) {
    EXPECT_EQ(LevelAxisTop(92.3), 95.0);
    EXPECT_EQ(LevelAxisTop(-7.0), 0.0);
    EXPECT_EQ(LevelAxisTop(0.0), 5.0);
    EXPECT_EQ(LevelAxisTop(5.0), 10.0);
    EXPECT_EQ(LevelAxisTop(-1000.0), -990.0);

    ResponseAxesRequest request;
    request.maxLevel = 92.3;
    const std::vector<CurveAxisDescriptor> axes = BuildResponseAxes(request);
    ASSERT_EQ(axes.size(), 1u);
    EXPECT_EQ(axes[0].top, 95.0);
    EXPECT_EQ(axes[0].top - axes[0].span, 55.0);
    EXPECT_EQ(axes[0].span / axes[0].divisions, 5.0);
    EXPECT_EQ(axes[0].unit, "dB");
    EXPECT_EQ(axes[0].colour, QColor(0, 0, 192));
}

// Round steps in the axis's unit, at most eight to the spread: degrees in
// 45, 90, 180 and whole turns, milliseconds and decibels in 1-2-5 steps.
TEST(ResponseAxes, StepsAreRoundInTheirUnitAndFewEnoughToRead) {
    EXPECT_EQ(PhaseAxisStep(2.0), 5.0);
    EXPECT_EQ(PhaseAxisStep(100.0), 15.0);
    EXPECT_EQ(PhaseAxisStep(359.0), 45.0);
    EXPECT_EQ(PhaseAxisStep(690.0), 90.0);
    EXPECT_EQ(PhaseAxisStep(1440.0), 180.0);
    EXPECT_EQ(PhaseAxisStep(2000.0), 360.0);
    EXPECT_EQ(PhaseAxisStep(5000.0), 720.0);
    EXPECT_EQ(PhaseAxisStep(14000.0), 1800.0);
    EXPECT_EQ(DelayAxisStep(0.4), 0.1);
    EXPECT_EQ(DelayAxisStep(1.5), 0.2);
    EXPECT_EQ(DelayAxisStep(7.0), 1.0);
    EXPECT_EQ(DelayAxisStep(16.0), 2.0);
    EXPECT_EQ(DelayAxisStep(999.0), 200.0);
    EXPECT_EQ(DelayAxisStep(1000.0), 200.0);
    EXPECT_EQ(LevelAxisStep(40.0), 5.0);
    EXPECT_EQ(LevelAxisStep(20.0), 2.0);
    EXPECT_EQ(LevelAxisStep(100.0), 10.0);
    EXPECT_EQ(LevelAxisStep(7.3), 1.0);
    EXPECT_EQ(OneTwoFiveStep(0.0), 1.0) << "a spread of nothing still has a step";
}

// The phase that made "-1.5075K" and "0.3375" reads in whole quarter turns
// now, and no axis of the response views writes an engineering suffix.
TEST(ResponseAxes, LabelsAreRoundNumbersWithoutSuffixes) {
    ResponseAxesRequest request;
    request.showPhase = true;
    request.unwrapped = true;
    request.phaseMax = 430.0;
    request.phaseMin = -2230.0;
    request.showDelay = true;
    request.delayMax = 2.7;
    request.delayMin = -0.3;
    const std::vector<CurveAxisDescriptor> axes = BuildResponseAxes(request);
    ASSERT_EQ(axes.size(), 3u);
    for (const CurveAxisDescriptor& axis : axes) {
        const std::vector<ValueLabel> labels = ValueAxisLabels(axis);
        ASSERT_GE(labels.size(), 4u) << axis.unit;
        EXPECT_LE(labels.size(), 11u) << axis.unit;
        for (const ValueLabel& label : labels) {
            EXPECT_EQ(label.text.find_first_of("KM"), std::string::npos) << label.text;
            const double steps = label.value / axis.step;
            EXPECT_NEAR(steps, std::round(steps), 1e-9) << axis.unit << " " << label.text;
        }
    }
    EXPECT_EQ(axes[1].step, 360.0);
    EXPECT_EQ(ValueAxisLabels(axes[1]).front().text, "720");
    EXPECT_EQ(ValueAxisLabels(axes[1]).back().text, "-2520");
    EXPECT_EQ(axes[2].step, 0.5);
    std::vector<std::string> delays;
    for (const ValueLabel& label : ValueAxisLabels(axes[2])) {
        delays.push_back(label.text);
    }
    EXPECT_EQ(delays, (std::vector<std::string>{"3", "2.5", "2", "1.5", "1", "0.5", "0", "-0.5"}));
}

// A level axis the user zoomed keeps its ends and takes round steps inside
// them; one that follows the curves spans the pane's level range.
TEST(ResponseAxes, ALevelAxisSpansTheLevelRangeOrWhatTheUserChose) {
    ResponseAxesRequest request;
    request.maxLevel = 92.3;
    request.levelRange = 60.0;
    CurveAxisDescriptor level = BuildResponseAxes(request).front();
    EXPECT_EQ(level.top, 95.0);
    EXPECT_EQ(level.span, 60.0);
    EXPECT_EQ(level.step, 10.0);
    request.level = LevelWindow{87.3, 12.6};
    level = BuildResponseAxes(request).front();
    EXPECT_EQ(level.top, 87.3);
    EXPECT_EQ(level.span, 12.6);
    EXPECT_EQ(level.step, 2.0);
    std::vector<std::string> texts;
    for (const ValueLabel& label : ValueAxisLabels(level)) {
        texts.push_back(label.text);
    }
    EXPECT_EQ(texts, (std::vector<std::string>{"86", "84", "82", "80", "78", "76"}));
}

TEST(ResponseAxes, RangeRuleWidensToStepsAndClearsCurvesOnAStep) {
    const AxisRange unwrapped = WidenToSteps(-700.0, -10.0, 90.0);
    EXPECT_EQ(unwrapped.top, 0.0);
    EXPECT_EQ(unwrapped.bottom, -720.0);
    // Extremes right on a step get one step more at their end.
    const AxisRange onSteps = WidenToSteps(-90.0, 90.0, 45.0);
    EXPECT_EQ(onSteps.top, 135.0);
    EXPECT_EQ(onSteps.bottom, -135.0);
    // A flat curve still gets a range around it.
    const AxisRange flat = WidenToSteps(0.0, 0.0, 11.25);
    EXPECT_EQ(flat.top, 11.25);
    EXPECT_EQ(flat.bottom, -11.25);
    // Steps that do not add up exactly in binary still count as landing.
    const AxisRange tenths = WidenToSteps(0.1, 0.3, 0.1);
    EXPECT_NEAR(tenths.top, 0.4, 1e-12);
    EXPECT_NEAR(tenths.bottom, 0.0, 1e-12);
    // Nothing to span (no finite value came) is taken as 0 … 0.
    const AxisRange none = WidenToSteps(1e37, -1e37, 11.25);
    EXPECT_EQ(none.top, 11.25);
    EXPECT_EQ(none.bottom, -11.25);
    const AxisRange huge = WidenToSteps(-3e6, 2e6, 1000.0);
    EXPECT_EQ(huge.top, 2001000.0);
    EXPECT_EQ(huge.bottom, -3001000.0);
}

TEST(ResponseAxes, PhaseOnTheFirstRightAxisAndDelayOnTheNext) {
    ResponseAxesRequest request;
    request.showPhase = true;
    request.showDelay = true;
    request.phaseMax = -10.0;
    request.phaseMin = -700.0;
    request.delayMax = 3.2;
    request.delayMin = 0.1;
    request.unwrapped = true;
    std::vector<CurveAxisDescriptor> axes = BuildResponseAxes(request);
    ASSERT_EQ(axes.size(), 3u);
    EXPECT_EQ(axes[1].unit, "deg");
    EXPECT_EQ(axes[1].top, 0.0);
    EXPECT_EQ(axes[1].span, 720.0);
    EXPECT_EQ(axes[1].colour, QColor(192, 128, 0));
    EXPECT_EQ(axes[2].unit, "ms");
    EXPECT_EQ(axes[2].top, 3.5);
    EXPECT_EQ(axes[2].top - axes[2].span, 0.0);
    EXPECT_EQ(axes[2].colour, QColor(128, 0, 128));

    request.unwrapped = false;
    request.showDelay = false;
    axes = BuildResponseAxes(request);
    ASSERT_EQ(axes.size(), 2u);
    EXPECT_EQ(axes[1].top, 180.0);
    EXPECT_EQ(axes[1].span, 360.0);
    EXPECT_EQ(axes[1].divisions, 8);

    request.showPhase = false;
    request.showDelay = true;
    axes = BuildResponseAxes(request);
    ASSERT_EQ(axes.size(), 2u);
    EXPECT_EQ(axes[1].unit, "ms");
}

} // namespace
} // namespace kv
