#include "model/FilterImport.h"

#include "import/FilterText.h"
#include "import/VInputFile.h"
#include "model/CConfiguration.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <string>

namespace kv {
namespace {

CrossoverSettings EighthOrder() {
    const CrossoverSettings s{.order = 8};
    return s;
}

class FilterImport : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(design.New(2, 96000.0)); }

    CBand& band() { return design.bands[0]; }

    FilterImportPlan Plan(const std::string& content) {
        VInputFile file;
        file.OpenMemory(reinterpret_cast<const std::uint8_t*>(content.data()), content.size());
        FilterText text;
        std::string error;
        EXPECT_TRUE(ReadFilterText(file, text, error)) << error;
        return PlanFilterImport(text, band());
    }

    static std::vector<std::string> Lines(const std::vector<FilterLineMessage>& messages) {
        std::vector<std::string> lines;
        for (const FilterLineMessage& m : messages) {
            lines.push_back(DescribeLineMessage(m));
        }
        return lines;
    }

    // n peaking filters at 100, 200, ... Hz.
    static std::string Peaks(int n) {
        std::string text;
        for (int i = 1; i <= n; ++i) {
            text += "Filter " + std::to_string(i) + ": ON PK Fc " + std::to_string(100 * i) +
                    " Hz Gain -3 dB Q 2\n";
        }
        return text;
    }

    CConfiguration design;
};

TEST_F(FilterImport, EachKindGoesIntoItsEntriesInFileOrder) {
    const FilterImportPlan plan = Plan("Filter: ON PK Fc 63 Hz Gain -5 dB Q 4\n"
                                       "Filter: ON NO Fc 3000 Hz Q 8\n"
                                       "Filter: ON PEQ Fc 1000 Hz Gain 2.5 dB Q 1.5\n"
                                       "Filter: ON LS Fc 100 Hz Gain 3 dB\n"
                                       "Filter: ON HS Fc 8000 Hz Gain -2 dB\n"
                                       "Filter: ON AP Fc 500 Hz Q 0.7\n");
    EXPECT_TRUE(plan.misfits.empty()) << testing::PrintToString(Lines(plan.misfits));
    EXPECT_TRUE(plan.notes.empty());
    ASSERT_TRUE(plan.peq && plan.notch && plan.lowShelf && plan.highShelf && plan.allPass);
    EXPECT_EQ((*plan.peq)[0], (PeqSettings{-5.0, 63.0, 4.0, true}));
    EXPECT_EQ((*plan.peq)[1], (PeqSettings{2.5, 1000.0, 1.5, true}));
    EXPECT_FALSE((*plan.peq)[2].enabled);
    EXPECT_EQ((*plan.notch)[0], (NotchSettings{3000.0, 8.0, true}));
    EXPECT_EQ(*plan.lowShelf, (ShelfSettings{3.0, 100.0, true}));
    EXPECT_EQ(*plan.highShelf, (ShelfSettings{-2.0, 8000.0, true}));
    EXPECT_EQ(*plan.allPass, (AllPassSettings{500.0, 0.7, true}));
    ASSERT_EQ(plan.placements.size(), 6u);
    EXPECT_EQ(plan.placements[2].line, 3);
    EXPECT_EQ(plan.placements[2].group, FilterGroup::Peq);
    EXPECT_EQ(plan.placements[2].item, 1);
    EXPECT_EQ(plan.placements[1].group, FilterGroup::Notch);

    ASSERT_TRUE(ApplyFilterImport(plan, band()));
    EXPECT_EQ(band().peq[0], (*plan.peq)[0]);
    EXPECT_EQ(band().peq[1], (*plan.peq)[1]);
    EXPECT_EQ(band().notch[0], (*plan.notch)[0]);
    EXPECT_EQ(band().lowShelf, *plan.lowShelf);
    EXPECT_EQ(band().highShelf, *plan.highShelf);
    EXPECT_EQ(band().allPass, *plan.allPass);
    EXPECT_EQ(band().FreeBiquads(), 10);
    EXPECT_TRUE(band().modified);
}

TEST_F(FilterImport, TheKindsTheFileBringsAreReplacedAndTheOthersKept) {
    ASSERT_TRUE(band().SetPeq(0, 6.0, 2000.0, 1.0, true));
    ASSERT_TRUE(band().SetPeq(5, 4.0, 4000.0, 2.0, true));
    ASSERT_TRUE(band().SetNotch(2, 700.0, 5.0, true));
    ASSERT_TRUE(band().SetLowShelf(2.0, 300.0, true));
    const NotchSettings notch = band().notch[2];
    const ShelfSettings lowShelf = band().lowShelf;

    const FilterImportPlan plan = Plan(Peaks(2));
    EXPECT_FALSE(plan.notch || plan.lowShelf || plan.highShelf || plan.allPass);
    ASSERT_TRUE(ApplyFilterImport(plan, band()));
    EXPECT_EQ(band().peq[0], (PeqSettings{-3.0, 100.0, 2.0, true}));
    EXPECT_EQ(band().peq[1], (PeqSettings{-3.0, 200.0, 2.0, true}));
    // Switched off, its settings kept for the user to switch on again.
    EXPECT_EQ(band().peq[5], (PeqSettings{4.0, 4000.0, 2.0, false}));
    EXPECT_EQ(band().notch[2], notch);
    EXPECT_EQ(band().lowShelf, lowShelf);
    EXPECT_EQ(band().FreeBiquads(), 16 - 4);
}

TEST_F(FilterImport, EveryLineThatDoesNotFitIsListedWithItsReason) {
    const FilterImportPlan plan = Plan("Filter Settings file\n"
                                       "Filter 1: ON XYZ Fc 100 Hz\n"
                                       "Filter 2: ON LP Fc 80 Hz\n"
                                       "Filter 3: ON PK Fc 50000 Hz Gain -3 dB Q 2\n"
                                       "Filter 4: ON PK Fc 0.5 Hz Gain -3 dB Q 2\n"
                                       "Filter 5: ON PK Fc 100 Hz Gain -25 dB Q 2\n"
                                       "Filter 6: ON PK Fc 100 Hz Gain -3 dB Q 40\n"
                                       "Filter 7: ON PK Fc 100 Hz Q 2\n"
                                       "Filter 8: ON PK Fc 100 Hz Gain 1 dB\n"
                                       "Filter 9: ON NO Fc 100 Hz Gain -3 dB Q 2\n"
                                       "Filter 10: ON PK Fc 100 Hz Gain 1 dB Q 2 BW Oct 1\n"
                                       "Filter 11: ON PK Gain 1 dB Q 2\n"
                                       "Filter 12: ON PK Fc 100 Hz Gain 1 dB BW Oct 0\n"
                                       "Filter 13: ON PK Fc x Hz Gain 1 dB Q 1\n"
                                       "Filter 14: ON LS Fc 100 Hz Gain 3 dB\n"
                                       "Filter 15: ON LS Fc 200 Hz Gain 3 dB\n");
    EXPECT_EQ(Lines(plan.misfits), (std::vector<std::string>{
                                       "line 2: unknown filter type \"XYZ\"",
                                       "line 3: a band has no filter of type \"LP\"",
                                       "line 4: frequency 50000 Hz is outside 1 to 47894.4 Hz",
                                       "line 5: frequency 0.5 Hz is outside 1 to 47894.4 Hz",
                                       "line 6: gain -25 dB is outside -20 to 20 dB",
                                       "line 7: Q 40 is outside 0.001 to 25",
                                       "line 8: the filter has no gain",
                                       "line 9: the filter has no Q",
                                       "line 10: a band's notch takes no gain",
                                       "line 11: the filter has both a Q and a bandwidth",
                                       "line 12: the filter has no frequency (Fc)",
                                       "line 13: a bandwidth of 0 octaves is no bandwidth",
                                       "line 14: Fc \"x\" is not a number",
                                       "line 16: the band's only low shelf is taken by line 15",
                                   }));
    ASSERT_EQ(plan.placements.size(), 1u);
    EXPECT_EQ(plan.placements[0].line, 15);
}

TEST_F(FilterImport, TheEntriesAndTheBiquadsOfTheBandLimitTheImport) {
    // Twenty filters, as room-measurement programs often make: fourteen
    // equalisers take the first fourteen.
    const FilterImportPlan twenty = Plan(Peaks(20));
    EXPECT_EQ(twenty.placements.size(), 14u);
    ASSERT_EQ(twenty.misfits.size(), 6u);
    EXPECT_EQ(DescribeLineMessage(twenty.misfits[0]),
              "line 15: all 14 equalisers of the band are taken");

    // 12 biquads of crossovers and 2 equalisers leave 2 free; the
    // equalisers' own 2 are free for the file's.
    ASSERT_TRUE(band().SetHighPass(0, EighthOrder()) && band().EnableHighPass(0, true));
    ASSERT_TRUE(band().SetHighPass(1, EighthOrder()) && band().EnableHighPass(1, true));
    ASSERT_TRUE(band().SetLowPass(0, EighthOrder()) && band().EnableLowPass(0, true));
    ASSERT_TRUE(band().SetPeq(3, 1.0, 500.0, 1.0, true) && band().SetPeq(4, 1.0, 600.0, 1.0, true));
    const FilterImportPlan plan = Plan(Peaks(5) + "Filter: ON NO Fc 100 Hz Q 2\n");
    EXPECT_EQ(plan.placements.size(), 4u);
    EXPECT_EQ(Lines(plan.misfits), (std::vector<std::string>{
                                       "line 5: no biquad is left: all 16 of the band are in use",
                                       "line 6: no biquad is left: all 16 of the band are in use",
                                   }));
    ASSERT_TRUE(ApplyFilterImport(plan, band()));
    EXPECT_EQ(band().FreeBiquads(), 0);
    EXPECT_FALSE(band().peq[4].enabled);
}

TEST_F(FilterImport, WhatTheImportDoesDifferentlyIsNoted) {
    const FilterImportPlan plan =
        Plan("Preamp: -6.5 dB\n"
             "Delay: 2 ms\n"
             "Filter: ON Modal Fc 45 Hz Gain -4.5 dB Q 9.48 T60 target 600 ms\n"
             "Filter: ON LSC Fc 100 Hz Gain 3 dB Q 0.9\n"
             "Filter: ON HS 6dB Fc 8000 Hz Gain -2 dB\n"
             "Filter: ON NO Fc 1000 Hz BW Oct 1\n"
             "Channel: L\n"
             "Filter: ON NO Fc 50 Hz\n"
             "Filter: ON AP Fc 2000 Hz\n");
    EXPECT_EQ(Lines(plan.notes),
              (std::vector<std::string>{
                  "line 1: \"Preamp: -6.5 dB\" is not taken over: the band keeps its gain",
                  "line 2: \"Delay: 2 ms\" is not taken over: the band keeps its delay",
                  "line 3: a modal filter, taken as a peaking filter; its T60 target of 600 ms "
                  "is an aim of the measurement, no filter setting",
                  "line 4: \"LSC\" taken as a shelf of the band's fixed slope; its Q of 0.9 is "
                  "not used",
                  "line 5: \"HS\" taken as a shelf of the band's fixed slope; its slope of 6 dB "
                  "is not used",
                  "line 6: the bandwidth of 1 octaves taken as Q 1.41421",
                  "line 8: no Q given: taken as Q 25, the usual for a notch",
                  "line 9: no Q given: taken as Q 0.707, the usual for an all-pass",
              }));
    EXPECT_EQ(Lines(plan.misfits),
              (std::vector<std::string>{
                  "line 7: \"Channel: L\" is no filter, and a band has no setting for it"}));
    ASSERT_EQ(plan.placements.size(), 6u);
    EXPECT_DOUBLE_EQ((*plan.notch)[0].q, std::sqrt(2.0));
    EXPECT_EQ((*plan.notch)[1], (NotchSettings{50.0, 25.0, true}))
        << "the equaliser's own example of a notch";
    EXPECT_EQ(plan.allPass->q, 0.707);
}

TEST_F(FilterImport, AFailedApplyLeavesTheBandAsItWas) {
    ASSERT_TRUE(band().SetPeq(0, 6.0, 2000.0, 1.0, true));
    const FilterImportPlan plan = Plan(Peaks(3) + "Filter: ON AP Fc 500 Hz Q 1\n");
    // The band changes after the plan: its crossovers now take every biquad.
    for (int k = 0; k < 2; ++k) {
        ASSERT_TRUE(band().SetHighPass(k, EighthOrder()) && band().EnableHighPass(k, true));
    }
    ASSERT_TRUE(band().SetLowPass(0, EighthOrder()) && band().EnableLowPass(0, true));
    CrossoverSettings six = EighthOrder();
    six.order = 6;
    ASSERT_TRUE(band().SetLowPass(1, six) && band().EnableLowPass(1, true));
    ASSERT_EQ(band().FreeBiquads(), 0);
    const auto peq = band().peq;
    const auto allPass = band().allPass;
    band().modified = false;

    EXPECT_FALSE(ApplyFilterImport(plan, band()));
    EXPECT_EQ(band().peq, peq);
    EXPECT_EQ(band().allPass, allPass);
    EXPECT_FALSE(band().modified);
}

TEST_F(FilterImport, ARealRoomMeasurementExportFitsABand) {
    const std::filesystem::path file = std::filesystem::path(KV_MEASUREMENTS_DIR) /
                                       "autosound-measurements/rew_filter_settings_text.txt";
    if (!std::filesystem::exists(file)) {
        GTEST_SKIP() << "no measurement files at " << KV_MEASUREMENTS_DIR;
    }
    FilterImportPlan plan;
    std::string error;
    ASSERT_TRUE(PlanFilterImport(file, band(), plan, error)) << error;
    EXPECT_TRUE(plan.misfits.empty()) << testing::PrintToString(Lines(plan.misfits));
    ASSERT_EQ(plan.placements.size(), 3u);
    ASSERT_TRUE(plan.peq);
    EXPECT_EQ((*plan.peq)[0], (PeqSettings{-6.0, 120.0, 11.59, true}));
    EXPECT_EQ((*plan.peq)[1], (PeqSettings{-4.5, 45.0, 9.48, true}));
    EXPECT_EQ((*plan.peq)[2], (PeqSettings{-2.0, 200.0, 4.0, true}));
    ASSERT_EQ(plan.notes.size(), 2u);
    EXPECT_EQ(plan.notes[0].line, 10);
    EXPECT_NE(plan.notes[0].text.find("modal filter"), std::string::npos);
}

TEST_F(FilterImport, AFileThatIsNoFilterListPlansNothing) {
    test::TempDir dir;
    test::WriteBytes(dir / "w.wav", {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E'});
    FilterImportPlan plan;
    plan.placements.push_back({});
    std::string error;
    EXPECT_FALSE(PlanFilterImport(dir / "w.wav", band(), plan, error));
    EXPECT_EQ(error, "The file holds bytes that are not text: it is no filter list.");
    EXPECT_TRUE(plan.placements.empty());
}

} // namespace
} // namespace kv
