#include "session/BlockWarnings.h"

#include "gui/session/SessionTestSupport.h"
#include "hardware/CTAS3103.h"

#include <gtest/gtest.h>
#include <set>

namespace kv {
namespace {

using MarkedBlock = std::pair<int, BlockKind>;

class HardwareWarningsOfTheSession : public ::testing::Test {
protected:
    void SetUp() override {
        harness.session.Start();
        harness.NewDesign(3, "Marks");
    }

    CConfiguration& design() { return harness.session.Document().Design(); }

    // The blocks the schematic draws in the refusal's style (or, with
    // safety, the drivers' warning style), after the change the user just
    // made.
    std::set<MarkedBlock> Marked(bool safety = false) {
        harness.session.LiveChange();
        harness.session.ViewChanged();
        const DesignDocument& document = harness.session.Document();
        const BlockWarnings& warnings = safety ? document.SafetyWarnings() : document.Warnings();
        std::set<MarkedBlock> marked;
        for (int b = 0; b < kMaxBands; ++b) {
            for (int k = 0; k < kBlockKinds; ++k) {
                if (!warnings.OfBlock(b, static_cast<BlockKind>(k)).empty()) {
                    marked.insert({b, static_cast<BlockKind>(k)});
                }
            }
        }
        return marked;
    }

    test::SessionHarness harness;
};

TEST_F(HardwareWarningsOfTheSession, ExactlyTheBlocksTheCheckNamesAreMarked) {
    EXPECT_TRUE(Marked().empty());
    EXPECT_EQ(harness.session.Document().Warnings().Summary(), "");

    const CrossoverSettings aboveNyquist{.freq = 30000.0,
                                         .order = 2,
                                         .type = CrossoverType::Custom,
                                         .freqOfs = {1.8, 1.0, 1.0, 1.0},
                                         .q = {0.7, 1.0, 1.0, 1.0}};
    ASSERT_TRUE(design().bands[1].SetHighPass(1, aboveNyquist));
    ASSERT_TRUE(design().bands[1].EnableHighPass(1, true));
    ASSERT_TRUE(design().bands[0].SetHighShelf(20.0, 20.0, true));
    design().bands[2].gain = 25.0;
    ASSERT_TRUE(design().bands[2].SetTrebleGain(0.3));
    design().inputGain = 30.0;
    EXPECT_EQ(Marked(), (std::set<MarkedBlock>{{0, BlockKind::HighShelf},
                                               {1, BlockKind::HighPass2},
                                               {2, BlockKind::Input},
                                               {2, BlockKind::BassTreble}}));
    const BlockWarnings& warnings = harness.session.Document().Warnings();
    const std::vector<HardwareProblem> problems = HardwareCheck(design()).Run();
    ASSERT_EQ(problems.size(), 5u);
    EXPECT_EQ(warnings.Summary(), problems[0].advice + " (and 4 more)");
    EXPECT_EQ(problems[0].advice,
              "The input gain of +30.0 dB is too high for the unit: lower it to +24.0 dB or less.");
    for (const HardwareProblem& problem : problems) {
        EXPECT_NE(warnings.Details().find(problem.advice + "\n" + problem.text), std::string::npos)
            << "every problem is told, what to change first: " << problem.text;
    }

    harness.messages.answers = {IMessageBox::Answer::Discard};
    harness.NewDesign(3, "Fixed");
    EXPECT_TRUE(Marked().empty());
}

TEST_F(HardwareWarningsOfTheSession, DelaysTooLongTogetherMarkEveryDelayBlock) {
    design().bands[0].delay = 1500.0 / 96000.0;
    design().bands[2].delay = 600.0 / 96000.0;
    EXPECT_EQ(Marked(), (std::set<MarkedBlock>{
                            {0, BlockKind::Delay}, {1, BlockKind::Delay}, {2, BlockKind::Delay}}));
    design().bands[2].delay = 0.0;
    EXPECT_TRUE(Marked().empty());
}

TEST_F(HardwareWarningsOfTheSession, ABandOverItsBiquadsWarnsInItsBudgetTextOnly) {
    CBand& band = design().bands[1];
    for (int k = 0; k < kEqualisers; ++k) {
        ASSERT_TRUE(band.SetPeq(k, 1.0, 100.0 * (k + 1), 1.0, true));
    }
    ASSERT_TRUE(band.SetNotch(0, 500.0, 4.0, true));
    ASSERT_TRUE(band.SetLowShelf(2.0, 100.0, true));
    ASSERT_TRUE(band.SetHighShelf(2.0, 8000.0, true));
    EXPECT_TRUE(Marked().empty());
    EXPECT_EQ(harness.session.Document().Warnings().OfBiquadBudget(1).size(), 1u);
    EXPECT_TRUE(harness.session.Document().Warnings().OfBiquadBudget(0).empty());
    EXPECT_TRUE(harness.session.Document().Warnings().OfBiquadBudget(7).empty()) << "no such band";
}

// Warnings for the drivers mark the block most to blame and never stop
// programming.
TEST_F(HardwareWarningsOfTheSession,
       SafetyWarningsMarkTheBlockToBlameAndLeaveTheDesignProgrammable) {
    EXPECT_TRUE(Marked(true).empty()) << "a new design harms nothing";
    ASSERT_TRUE(design().bands[2].SetPeq(4, 18.0, 320.0, 8.0, true));
    ASSERT_TRUE(design().bands[0].SetLowShelf(6.0, 200.0, true));
    EXPECT_EQ(Marked(true), (std::set<MarkedBlock>{{2, BlockKind::Eq}}));
    EXPECT_TRUE(Marked().empty());
    const BlockWarnings& safety = harness.session.Document().SafetyWarnings();
    EXPECT_EQ(safety.Summary().rfind("Output 3 rises to +18.0 dB at 320 Hz", 0), 0u)
        << safety.Summary();

    const CrossoverSettings firstOrder{
        .freq = 3000.0, .order = 1, .type = CrossoverType::Butterworth};
    ASSERT_TRUE(design().bands[0].SetHighPass(1, firstOrder));
    ASSERT_TRUE(design().bands[0].EnableHighPass(1, true));
    EXPECT_EQ(Marked(true), (std::set<MarkedBlock>{{0, BlockKind::HighPass2}, {2, BlockKind::Eq}}));

    harness.messages.answers = {IMessageBox::Answer::Discard};
    harness.NewDesign(2, "Fixed");
    EXPECT_TRUE(Marked(true).empty());
}

TEST(BlockOfSection, EveryCrossoverSlotHasItsOwnBlock) {
    EXPECT_EQ(BlockOfSection({FilterGroup::HighPass, 0, 3}), BlockKind::HighPass1);
    EXPECT_EQ(BlockOfSection({FilterGroup::HighPass, 1, 0}), BlockKind::HighPass2);
    EXPECT_EQ(BlockOfSection({FilterGroup::LowPass, 1, 1}), BlockKind::LowPass2);
    EXPECT_EQ(BlockOfSection({FilterGroup::Peq, 13, 0}), BlockKind::Eq);
}

} // namespace
} // namespace kv
