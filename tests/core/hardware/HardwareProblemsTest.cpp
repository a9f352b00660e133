#include "hardware/CTAS3103.h"
#include "hardware/HardwareCheck.h"
#include "model/CConfiguration.h"

#include <gtest/gtest.h>
#include <ostream>

namespace kv {

// What a problem is about, without its sentence.
struct Subject {
    int band;
    ProblemSubject subject;
    BandSection section;
};

bool operator==(const Subject& a, const Subject& b) {
    return a.band == b.band && a.subject == b.subject && a.section.group == b.section.group &&
           a.section.item == b.section.item && a.section.section == b.section.section;
}

std::ostream& operator<<(std::ostream& out, const Subject& s) {
    return out << "band " << s.band << ", subject " << static_cast<int>(s.subject) << ", group "
               << static_cast<int>(s.section.group) << ", item " << s.section.item << ", section "
               << s.section.section;
}

namespace {

class HardwareProblems : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(design.New(2, 96000.0)); }

    // What the problems are about; their sentences are those the image
    // builder refuses with, in the same order.
    std::vector<Subject> Subjects() {
        const std::vector<HardwareProblem> problems = HardwareCheck(design).Run();
        std::vector<std::string> sentences;
        std::vector<Subject> subjects;
        for (const HardwareProblem& p : problems) {
            sentences.push_back(p.text);
            subjects.push_back({p.band, p.subject, p.section});
        }
        EXPECT_EQ(sentences, CTAS3103::CheckConfiguration(design));
        return subjects;
    }

    CConfiguration design;
};

TEST_F(HardwareProblems, ADesignWithoutBandsIsAProblemOfTheDesign) {
    design.numBands = 0;
    EXPECT_EQ(Subjects(), (std::vector<Subject>{{kNoBand, ProblemSubject::Design, {}}}));
}

TEST_F(HardwareProblems, TheInputGainBelongsToNoBand) {
    design.inputGain = 30.0;
    EXPECT_EQ(Subjects(), (std::vector<Subject>{{kNoBand, ProblemSubject::InputGain, {}}}));
}

TEST_F(HardwareProblems, ABandGainTheMixersCannotHoldMarksThatBandsInput) {
    design.bands[1].gain = 25.0;
    EXPECT_EQ(Subjects(), (std::vector<Subject>{{1, ProblemSubject::BandGain, {}}}));
}

TEST_F(HardwareProblems, DelaysMarkTheirBandOrAllBandsWhenTheMemoryOverruns) {
    design.bands[0].delay = -1.0 / 96000.0;
    EXPECT_EQ(Subjects(), (std::vector<Subject>{{0, ProblemSubject::Delay, {}}}));
    design.bands[0].delay = 1500.0 / 96000.0;
    design.bands[1].delay = 600.0 / 96000.0;
    EXPECT_EQ(Subjects(), (std::vector<Subject>{{kNoBand, ProblemSubject::Delay, {}}}));
}

TEST_F(HardwareProblems, BassAndTrebleNameTheirStage) {
    ASSERT_TRUE(design.bands[1].SetTrebleGain(0.3));
    design.bands[0].bassCorner = 7;
    EXPECT_EQ(Subjects(), (std::vector<Subject>{
                              {0, ProblemSubject::BassTreble, {FilterGroup::BassTreble, 0, 0}},
                              {1, ProblemSubject::BassTreble, {FilterGroup::BassTreble, 1, 0}}}));
}

// A custom fifth-order high-pass with every section above half the sample
// rate (two second-order sections, then a first-order one); a +20 dB high
// shelf at 20 Hz needs a coefficient near -20; a Q of 0 gives no
// coefficients at all.
TEST_F(HardwareProblems, SectionsNameTheirFilterEntryAndSection) {
    const CrossoverSettings custom{.freq = 30000.0,
                                   .order = 5,
                                   .type = CrossoverType::Custom,
                                   .freqOfs = {1.7, 1.8, 1.9, 1.0},
                                   .q = {0.6, 1.1, 1.0, 1.0}};
    ASSERT_TRUE(design.bands[1].SetHighPass(1, custom));
    ASSERT_TRUE(design.bands[1].EnableHighPass(1, true));
    ASSERT_TRUE(design.bands[0].SetHighShelf(20.0, 20.0, true));
    ASSERT_TRUE(design.bands[0].SetPeq(2, 20.0, 1000.0, 1.0, true));
    design.bands[0].peq[2].q = 0.0;
    std::vector<Subject> expected = {
        {0, ProblemSubject::Section, {FilterGroup::HighShelf, 0, 0}},
        {0, ProblemSubject::Section, {FilterGroup::Peq, 2, 0}},
    };
    for (int k = 0; k < 3; ++k) {
        expected.push_back({1, ProblemSubject::Section, {FilterGroup::HighPass, 1, k}});
    }
    EXPECT_EQ(Subjects(), expected);
}

// The equaliser and shelf setters leave the budget to the caller.
TEST_F(HardwareProblems, MoreSectionsThanSlotsMarkTheBandsBudget) {
    ASSERT_TRUE(design.bands[1].SetNotch(0, 500.0, 4.0, true));
    for (int k = 0; k < 14; ++k) {
        ASSERT_TRUE(design.bands[1].SetPeq(k, 1.0, 100.0 * (k + 1), 1.0, true));
    }
    ASSERT_TRUE(design.bands[1].SetLowShelf(2.0, 100.0, true));
    ASSERT_TRUE(design.bands[1].SetHighShelf(2.0, 8000.0, true));
    EXPECT_EQ(Subjects(), (std::vector<Subject>{{1, ProblemSubject::BiquadBudget, {}}}));
}

// The window checks after every change with one checker per change, and a
// checker asked twice must not report its problems twice.
// The window leads with what the user can change, in its own words.
TEST_F(HardwareProblems, EachProblemSaysWhatToChange) {
    const auto advice = [this] {
        std::vector<std::string> all;
        for (const HardwareProblem& p : HardwareCheck(design).Run()) {
            all.push_back(p.advice);
        }
        return all;
    };
    const CrossoverSettings steep{.freq = 1.0,
                                  .order = 8,
                                  .type = CrossoverType::Butterworth,
                                  .freqOfs = {1.0, 1.0, 1.0, 1.0},
                                  .q = {0.51, 0.6, 0.9, 2.56}};
    ASSERT_TRUE(design.bands[1].SetHighPass(0, steep));
    ASSERT_TRUE(design.bands[1].EnableHighPass(0, true));
    const std::vector<std::string> steepAdvice = advice();
    ASSERT_FALSE(steepAdvice.empty());
    EXPECT_EQ(steepAdvice[0], "The 1 Hz high-pass of Output 2 (HP1, 8th order) is too steep for "
                              "the unit at 96 kHz: raise its frequency or lower its order.");
    ASSERT_TRUE(design.bands[1].EnableHighPass(0, false));

    // Beyond what the setters take, as a design file made elsewhere may hold.
    design.bands[0].peq[2] = {6.0, 60000.0, 1.0, true};
    design.bands[1].gain = 30.0;
    design.bands[0].delay = 1500.0 / 96000.0;
    design.bands[1].delay = 600.0 / 96000.0;
    EXPECT_EQ(advice(),
              (std::vector<std::string>{
                  "The 60000 Hz equaliser of Output 1 (EQ 3) lies above what the unit can play at "
                  "48000 Hz: lower its frequency below 48000 Hz.",
                  "The gain of Output 2 (+30.0 dB) is too high for the unit: lower it to +24.0 dB "
                  "or less.",
                  "The delays of the outputs add up to 21.88 ms, more than the 21.30 ms the unit "
                  "can hold in all: shorten them.",
              }));
}

TEST_F(HardwareProblems, AskingAgainGivesTheSameProblems) {
    design.inputGain = 30.0;
    design.bands[0].delay = 1500.0 / 96000.0;
    design.bands[1].delay = 600.0 / 96000.0;
    HardwareCheck check(design);
    const std::vector<HardwareProblem> first = check.Run();
    ASSERT_EQ(first.size(), 2u);
    EXPECT_EQ(check.Run().size(), 2u);
}

} // namespace
} // namespace kv
