#include "graphs/ResponseAxes.h"

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

TEST(ResponseAxes, PhaseAndDelayStepsFollowTheirSpread) {
    EXPECT_EQ(PhaseAxisStep(8.9), 11.25);
    EXPECT_EQ(PhaseAxisStep(9.0), 22.5);
    EXPECT_EQ(PhaseAxisStep(359.0), 45.0);
    EXPECT_EQ(PhaseAxisStep(690.0), 90.0);
    EXPECT_EQ(PhaseAxisStep(720.0), 180.0);
    EXPECT_EQ(DelayAxisStep(0.4), 0.1);
    EXPECT_EQ(DelayAxisStep(0.5), 0.25);
    EXPECT_EQ(DelayAxisStep(7.0), 2.5);
    EXPECT_EQ(DelayAxisStep(999.0), 250.0);
    EXPECT_EQ(DelayAxisStep(1000.0), 1000.0);
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
    EXPECT_EQ(axes[2].top, 4.0);
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
