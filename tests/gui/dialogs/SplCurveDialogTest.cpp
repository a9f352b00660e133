#include "dialogs/SplCurveEditor.h"
#include "model/CConfiguration.h"
#include "support/TestSupport.h"

#include <fstream>
#include <gtest/gtest.h>

namespace kv {
namespace {

class SplCurveEditing : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(design.New(2, kDesignSampleRate));
        std::ofstream(dir / "woofer.frd") << "20 80 0\n200 90 -10\n2000 85 -40\n20000 60 -90\n";
        std::ofstream(dir / "tweeter.frd") << "500 70 0\n5000 92 -20\n20000 90 -45\n";
        std::ofstream(dir / "woofer.zma") << "20 6.5 10\n200 12 -30\n2000 9 20\n";
    }

    CBand& band() { return design.bands[1]; }

    test::TempDir dir;
    CConfiguration design;
    test::RecordingMessageBox messages;
    int recalculations = 0;
    std::function<void()> changed = [this] { ++recalculations; };
};

TEST_F(SplCurveEditing, AnImpedanceFileIsRefusedWithTheMessageAndChangesNothing) {
    SplCurveEditor editor(band(), messages, changed);
    ASSERT_TRUE(editor.LoadFile(dir / "woofer.frd"));
    EXPECT_FALSE(editor.LoadFile(dir / "woofer.zma"));
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, "Failed to import the SPL curve!");
    EXPECT_EQ(band().splFreqs.GetSize(), 4);
    EXPECT_EQ(band().splFileName, (dir / "woofer.frd").string());
}

TEST_F(SplCurveEditing, CancelPutsBackTheFileAndTheSmoothingOrNoCurveAtAll) {
    SplCurveEditor first(band(), messages, changed);
    first.LoadFile(dir / "tweeter.frd");
    first.Cancel();
    EXPECT_TRUE(band().splFreqs.Empty()) << "the band had no curve";
    EXPECT_TRUE(band().splFileName.empty());

    ASSERT_TRUE(first.LoadFile(dir / "woofer.frd"));
    SplCurveEditor second(band(), messages, changed);
    ASSERT_TRUE(second.LoadFile(dir / "tweeter.frd"));
    second.SetSmoothing(3);
    recalculations = 0;
    second.Cancel();
    EXPECT_EQ(band().splFileName, (dir / "woofer.frd").string());
    EXPECT_EQ(band().splSmoothing, kMaxSmoothing);
    EXPECT_EQ(band().splFreqs[0], 20.0);
    EXPECT_EQ(recalculations, 1);
}

TEST_F(SplCurveEditing, TheLevelColumnOfASpreadsheetCanBeChosen) {
    std::ofstream(dir / "datasheet.csv") << "freq_hz,spl_db,spl_30deg_db\n100,80,78\n1000,85,82\n"
                                            "10000,83,75\n";
    SplCurveEditor editor(band(), messages, changed);
    ASSERT_TRUE(editor.LoadFile(dir / "datasheet.csv"));
    EXPECT_EQ(editor.LevelColumns(), (std::vector<std::string>{"spl_db", "spl_30deg_db"}));
    EXPECT_EQ(editor.LevelColumn(), "spl_db");
    ASSERT_TRUE(editor.ChooseColumn("spl_30deg_db"));
    EXPECT_NEAR(20.0 * std::log10(std::abs(band().splRaw[2])), 75.0, 1e-9);
}

} // namespace
} // namespace kv
