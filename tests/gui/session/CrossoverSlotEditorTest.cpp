#include "session/CrossoverSlotEditor.h"

#include "model/CConfiguration.h"
#include "support/TestSupport.h"

#include <algorithm>
#include <gtest/gtest.h>

namespace kv {
namespace {

constexpr const char* kNotEnoughBiquads =
    "There are not enough available biquads ! \n\nTry turning off any unused filters...";

TEST(OrderSnapping, LinkwitzRileyWalksTwoFourEightAndBesselStartsAtTwo) {
    using T = CrossoverType;
    EXPECT_EQ(SnapOrderOnField(T::LinkwitzRiley, 3, 2), 4);
    EXPECT_EQ(SnapOrderOnField(T::LinkwitzRiley, 5, 4), 8);
    EXPECT_EQ(SnapOrderOnField(T::LinkwitzRiley, 7, 8), 4);
    EXPECT_EQ(SnapOrderOnField(T::LinkwitzRiley, 3, 4), 2);
    EXPECT_EQ(SnapOrderOnField(T::LinkwitzRiley, 6, 4), 8);
    EXPECT_EQ(SnapOrderOnField(T::LinkwitzRiley, 6, 8), 4);
    EXPECT_EQ(SnapOrderOnField(T::LinkwitzRiley, 1, 2), 2);
    EXPECT_EQ(SnapOrderOnField(T::Bessel, 1, 2), 2);
    EXPECT_EQ(SnapOrderOnField(T::Butterworth, 1, 2), 1);
    EXPECT_EQ(SnapOrderOnTypeChange(T::LinkwitzRiley, 3), 4);
    EXPECT_EQ(SnapOrderOnTypeChange(T::LinkwitzRiley, 7), 8);
    EXPECT_EQ(SnapOrderOnTypeChange(T::LinkwitzRiley, 1), 2);
    EXPECT_EQ(SnapOrderOnTypeChange(T::Bessel, 1), 2);
    EXPECT_EQ(SnapOrderOnTypeChange(T::Butterworth, 5), 5);
    const auto custom3 = TuningFieldsEnabled(T::Custom, 3);
    EXPECT_EQ(std::count(custom3.begin(), custom3.end(), true), 3);
    EXPECT_FALSE(TuningFieldsEnabled(T::Butterworth, 8)[0]);
}

class CrossoverEditing : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(design.New(2, kDesignSampleRate)); }

    CrossoverSlotEditor Editor(CrossoverSide side = CrossoverSide::HighPass, int slot = 0) {
        return CrossoverSlotEditor({design, 0, slot, side}, messages);
    }
    CBand& band() { return design.bands[0]; }

    CConfiguration design;
    test::RecordingMessageBox messages;
};

TEST_F(CrossoverEditing, TheOrderFieldWalksALinkwitzRileyFilterTwoFourEightAndBack) {
    CrossoverSlotEditor editor = Editor();
    std::vector<int> walked;
    for (const int step : {1, 1, -1, -1}) {
        editor.ApplyField(Row("filterOrder"), band().hpFilter[0].order + step);
        walked.push_back(band().hpFilter[0].order);
    }
    EXPECT_EQ(walked, (std::vector<int>{4, 8, 4, 2}));
    EXPECT_EQ(band().hpFilter[0].q[1], 0.0) << "order 2 has one section";
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(CrossoverEditing, TypeChangesSnapTheStoredOrderAndCustomStoresNothingYet) {
    CrossoverSlotEditor editor = Editor(CrossoverSide::LowPass, 1);
    editor.FilterTypeChosen(CrossoverType::Butterworth);
    editor.ApplyField(Row("filterOrder"), 3);
    ASSERT_EQ(band().lpFilter[1].order, 3);
    editor.FilterTypeChosen(CrossoverType::LinkwitzRiley);
    EXPECT_EQ(band().lpFilter[1].order, 4);

    const CrossoverSettings before = band().lpFilter[1];
    editor.FilterTypeChosen(CrossoverType::Custom);
    EXPECT_EQ(band().lpFilter[1], before) << "Custom... alone stores nothing";
    EXPECT_EQ(editor.FilterType(), CrossoverType::Custom);
    editor.ApplyField(Row("ratio2"), 0.8);
    EXPECT_EQ(band().lpFilter[1].type, CrossoverType::Custom);
    EXPECT_EQ(band().lpFilter[1].freqOfs[1], 0.8);
    EXPECT_EQ(band().lpFilter[1].q[0], before.q[0]) << "the tuning shown is what is stored";
    EXPECT_EQ(band().lpFilter[1].q[2], kMinTuningValue) << "a Q of 0 shows, and stores, clamped";
    editor.ApplyField(Row("q1"), 0.6);
    EXPECT_EQ(band().lpFilter[1].q[0], 0.6);
}

// Older files may hold a Linkwitz-Riley order the table has no record for;
// a field change that keeps it must not store a filter of no sections.
TEST_F(CrossoverEditing, AStoredLinkwitzRileyOrderWithoutARecordIsSnapped) {
    band().hpFilter[0].order = 5;
    Editor().ApplyField(Row("filterFreq"), 1200.0);
    EXPECT_EQ(band().hpFilter[0].order, 8);
    EXPECT_EQ(band().hpFilter[0].freq, 1200.0);
    EXPECT_EQ(band().hpFilter[0].freqOfs[3], 1.0);
    EXPECT_GT(band().hpFilter[0].q[3], 0.0);
}

TEST_F(CrossoverEditing, ARefusedChangeIsSaidOnceAndTheBandKeepsItsFilter) {
    CrossoverSlotEditor editor = Editor();
    editor.EnabledClicked();
    ASSERT_TRUE(band().hpEnabled[0]);
    for (int k = 0; k < kEqualisers; ++k) {
        ASSERT_TRUE(band().SetPeq(k, 1.0, 1000.0, 1.0, true));
    }
    ASSERT_TRUE(band().SetNotch(0, 1000.0, 4.0, true));
    ASSERT_EQ(band().FreeBiquads(), 0);
    editor.ApplyField(Row("filterOrder"), 3);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, kNotEnoughBiquads);
    EXPECT_EQ(band().hpFilter[0].order, 2);

    // Choosing "Custom..." and then refusing the first field keeps the
    // aligned filter the band had.
    const CrossoverSettings aligned = band().hpFilter[0];
    editor.FilterTypeChosen(CrossoverType::Custom);
    editor.ApplyField(Row("filterOrder"), 4);
    EXPECT_EQ(messages.shown.size(), 2u);
    EXPECT_EQ(band().hpFilter[0], aligned);
}

} // namespace
} // namespace kv
