#include "hardware/HardwareCheck.h"
#include "import/CImportEngine.h"
#include "import/ImportFormat.h"
#include "model/CConfiguration.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

namespace kv {
namespace {

const std::filesystem::path kExamples = std::filesystem::path(KV_SOURCE_DIR) / "examples";

// What ships as a first look must open, carry its drivers' curves and be
// something the unit can run.
TEST(Examples, EveryDesignLoadsWithItsDriversAndTheUnitCanRunIt) {
    for (const char* name : {"three-way.ksv", "two-way.ksv"}) {
        test::RecordingMessageBox messages;
        CConfiguration design;
        ASSERT_TRUE(design.Load(kExamples / name, messages)) << name;
        EXPECT_TRUE(messages.shown.empty()) << name;
        for (int b = 0; b < design.numBands; ++b) {
            EXPECT_GT(design.bands[b].splFreqs.GetSize(), 500) << name << " band " << b;
        }
        EXPECT_TRUE(HardwareCheck(design).Run().empty()) << name;
    }
}

TEST(Examples, TheDriverFilesReadAsFrequencyResponses) {
    for (const char* name : {"woofer.frd", "midrange.frd", "tweeter.frd"}) {
        test::RecordingMessageBox messages;
        CImportEngine engine;
        ASSERT_TRUE(engine.Import(messages, kExamples / "drivers" / name)) << name;
        EXPECT_EQ(engine.Kind(), ImportKind::FrequencyResponse) << name;
        EXPECT_EQ(engine.Frequencies()[0], 10.0) << name;
    }
}

} // namespace
} // namespace kv
