#include "session/FieldTable.h"

#include "model/CConfiguration.h"
#include "model/ImpulseGate.h"

#include <gtest/gtest.h>
#include <map>
#include <string>
#include <utility>

namespace kv {
namespace {

class FieldRows : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(design.New(3, kDesignSampleRate));
        const CrossoverSettings custom{.order = 8, .type = CrossoverType::Custom};
        ASSERT_TRUE(design.bands[1].SetLowPass(1, custom));
    }

    // The context of a row: band 2, its low-pass slot 2 (a custom one) or
    // its third item, the high shelf, and a gate of its own.
    FieldContext Context(const FieldRow& row) {
        const bool shelf = std::string(row.name).starts_with("shelf");
        FieldContext context{design, 1, shelf ? 1 : (row.numbered ? 2 : 1), CrossoverSide::LowPass,
                             &gate};
        return context;
    }

    CConfiguration design;
    ImpulseGate gate;
};

// Each row writes a value inside its range through the setter and reads it
// back; a value outside the setter's range is refused and changes nothing.
TEST_F(FieldRows, EveryRowWritesItsSettingAndReadsItBack) {
    const std::map<std::string, double> values = {{"targetFreq", 1234.5}, {"filterFreq", 2345.6},
                                                  {"ratio1", 1.25},       {"q1", 0.75},
                                                  {"ratio2", 0.9},        {"q2", 1.3},
                                                  {"ratio3", 1.1},        {"q3", 0.6},
                                                  {"ratio4", 1.05},       {"q4", 0.55},
                                                  {"allPassFreq", 700.0}, {"allPassQ", 2.5},
                                                  {"shelfGain", -4.5},    {"shelfFreq", 6000.0},
                                                  {"notchFreq", 3150.0},  {"notchQ", 8.0},
                                                  {"peqFreq", 440.0},     {"peqQ", 3.5},
                                                  {"peqGain", 2.5},       {"bassGain", 4.0},
                                                  {"trebleGain", -1.5},   {"gain", -12.5},
                                                  {"targetLevel", 86.0},  {"smoothing", 6.0},
                                                  {"gate", 12.5},         {"targetOrder", 4.0},
                                                  {"filterOrder", 6.0}};
    for (const auto& [name, value] : values) {
        const FieldRow& row = Row(name);
        ASSERT_EQ(row.name, name);
        const FieldContext context = Context(row);
        EXPECT_TRUE(row.write(context, value)) << name;
        EXPECT_EQ(row.read(context), value) << name;
    }
    const FieldContext delay{design, 1};
    EXPECT_TRUE(Row("delay").write(delay, 1.0));
    EXPECT_EQ(design.bands[1].delay, 96.0 / kDesignSampleRate) << "whole samples";

    const DesignSettings before = design.Settings();
    for (const auto& [name, value] :
         {std::pair{"allPassFreq", 0.5}, {"peqQ", 30.0}, {"gain", 25.0}, {"targetLevel", 250.0}}) {
        EXPECT_FALSE(Row(name).write(Context(Row(name)), value)) << name;
    }
    EXPECT_TRUE(design.Settings() == before);
}

// The fields show what the band's own ranges allow, from the design's
// sample rate and the delay memory the other bands leave.
TEST_F(FieldRows, RangesFollowTheDesign) {
    const FieldContext context{design, 0};
    const FieldBounds frequency = BoundsOf(Row("filterFreq"), context);
    EXPECT_EQ(frequency.minimum, kMinCrossoverFrequency);
    EXPECT_EQ(frequency.maximum, kDesignSampleRate * kMaxFrequencyFactor);
    ASSERT_TRUE(design.SetDelay(1, 0.01));
    EXPECT_NEAR(BoundsOf(Row("delay"), context).maximum, (2045.0 - 960.0) / 96.0, 1e-9);
    EXPECT_EQ(BoundsOf(Row("gain"), context).minimum, kMinBandGainDb);
    EXPECT_EQ(FieldObjectName(Row("peqGain"), {design, 0, 13}), "peqGainField14");
    EXPECT_EQ(FieldObjectName(Row("gain"), context), "gainField");
}

// A crossover field shows an empty slot of an old file as order 2 and a
// missing section's ratio as 1, and the field clamps a Q of 0.
TEST_F(FieldRows, CrossoverFieldsShowWhatTheDialogShows) {
    CBand& band = design.bands[0];
    band.hpFilter[0].order = 0;
    band.hpFilter[0].freqOfs = {1.0, 0.0, 0.0, 0.0};
    band.hpFilter[0].q = {0.5, 0.0, 0.0, 0.0};
    const FieldContext slot{design, 0, 0, CrossoverSide::HighPass};
    EXPECT_EQ(Row("filterOrder").read(slot), 2.0);
    EXPECT_EQ(Row("ratio2").read(slot), 1.0);
    EXPECT_EQ(ShownValue(Row("q2"), slot), kMinTuningValue);
}

} // namespace
} // namespace kv
