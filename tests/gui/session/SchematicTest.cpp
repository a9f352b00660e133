#include "session/Schematic.h"

#include "gui/session/SessionTestSupport.h"
#include "math/ResponseCurves.h"
#include "session/FilterItemsEditor.h"

#include <gtest/gtest.h>

namespace kv {
namespace {

const QRect kPane(0, 0, 1000, 300);

QPoint CentreOf(int band, BlockKind kind) {
    return LayOutSchematic(kPane, 3)[static_cast<std::size_t>(band)]
        .blocks[static_cast<std::size_t>(kind)]
        .center();
}

TEST(SchematicLayout, BlocksStand72ApartInEqualRowsWithTheMuteBoxInTheInputBlock) {
    const std::vector<SchematicRow> rows = LayOutSchematic(QRect(2, 10, 950, 240), 3);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[1].top, 10 + 80);
    EXPECT_EQ(rows[1].blockTop, 90 + 10);
    EXPECT_EQ(rows[1].midY, 130);
    EXPECT_EQ(rows[2].blocks[0], QRect(11, 180, 60, 60));
    EXPECT_EQ(rows[2].blocks[12], QRect(2 + 9 + 72 * 12, 180, 60, 60));
    EXPECT_EQ(rows[0].mute, QRect(QPoint(16, 62), QPoint(65, 74)));
    EXPECT_TRUE(LayOutSchematic(QRect(0, 0, 950, 240), 0).empty());
}

TEST(SchematicLayout, HitsAreInclusiveOnTheLeftAndTopOnly) {
    const std::vector<SchematicRow> rows = LayOutSchematic(kPane, 2);
    const QRect hp1 = rows[1].blocks[static_cast<std::size_t>(BlockKind::HighPass1)];
    EXPECT_EQ(HitAt(rows, hp1.topLeft()).kind, static_cast<int>(BlockKind::HighPass1));
    EXPECT_EQ(HitAt(rows, hp1.topLeft() + QPoint(60, 0)).kind, -1) << "between blocks";
    const SchematicHit mute = HitAt(rows, rows[1].mute.topLeft());
    EXPECT_TRUE(mute.mute);
    EXPECT_EQ(mute.band, 1);
}

TEST(SchematicTexts, GainDelayAndBudgetReadAsTheUnitShowsThem) {
    EXPECT_EQ(GainText(-3.0), "G: -3.0dB");
    EXPECT_EQ(GainText(-122.0), "G: -122dB");
    EXPECT_EQ(GainText(-99.94), "G: -99.9dB");
    EXPECT_EQ(DelayText(0.0), "t: 0ms");
    EXPECT_EQ(DelayText(0.0005), "t: 500us");
    EXPECT_EQ(DelayText(0.0025), "t: 2.50ms");
    EXPECT_EQ(DelayText(0.012), "t: 12.0ms");
    EXPECT_EQ(FreeBiquadsText(16), "Free Biquads: 16 of 16");
    EXPECT_EQ(RoutingText(InputRoute::Both), "Using: A+B");
}

TEST(SchematicTexts, BlockFacesCountItemsAndBiquads) {
    CConfiguration design;
    design.New(1, kDesignSampleRate);
    CBand& band = design.bands[0];
    EXPECT_FALSE(UsageOf(band, BlockKind::HighPass1).inUse);
    const CrossoverSettings fourth{.order = 4};
    ASSERT_TRUE(band.SetHighPass(0, fourth));
    ASSERT_TRUE(band.EnableHighPass(0, true));
    EXPECT_EQ(UsageOf(band, BlockKind::HighPass1).biquads, 2);
    ASSERT_TRUE(band.SetPeq(3, -2.0, 800.0, 2.0, true));
    ASSERT_TRUE(band.SetPeq(9, 1.0, 3000.0, 1.0, true));
    const BlockUsage eq = UsageOf(band, BlockKind::Eq);
    EXPECT_EQ(UsageText(eq), "2 of 14 on, 2 biquads");
    EXPECT_EQ(UsageText(UsageOf(band, BlockKind::Notch)), "0 of 6 on");
    EXPECT_EQ(UsageText(UsageOf(band, BlockKind::Driver)), "not in use");
}

class SchematicClicks : public ::testing::Test, public test::SessionHarness {
protected:
    void SetUp() override {
        session.Start();
        NewDesign(3, "Clicks");
    }

    test::RecordingBlockDialogs blocks;
    Schematic schematic{session, blocks, messages};
};

TEST_F(SchematicClicks, AClickSelectsReselectingChangesNothingAndAClickBetweenBlocksClears) {
    EXPECT_TRUE(schematic.HitTest(kPane, CentreOf(2, BlockKind::Eq)));
    EXPECT_EQ(session.View().Selection().kind, static_cast<int>(BlockKind::Eq));
    EXPECT_EQ(session.View().Selection().band, 2);
    EXPECT_EQ(session.View().CurrentBand(), 2);
    EXPECT_FALSE(schematic.HitTest(kPane, CentreOf(2, BlockKind::Eq)));
    EXPECT_TRUE(schematic.HitTest(kPane, CentreOf(2, BlockKind::Eq) + QPoint(36, 0)));
    EXPECT_EQ(session.View().Selection().kind, -1);
    EXPECT_EQ(session.View().CurrentBand(), 2) << "the band pane keeps its band";
    EXPECT_FALSE(schematic.HitTest(kPane, QPoint(1, 1)));
}

TEST_F(SchematicClicks, TheMuteBoxMutesItsBandAndMakesTheDesignUnsaved) {
    files.answers = {dir / "clicks.ksv"};
    ASSERT_TRUE(session.Save());
    const double before =
        MagnitudeToDb(Magnitude(session.Document().Design().sumTotalResponse[100]));
    const QPoint box = LayOutSchematic(kPane, 3)[1].mute.center();
    EXPECT_TRUE(schematic.HitTest(kPane, box));
    EXPECT_TRUE(session.Document().Design().bands[1].muted);
    EXPECT_EQ(session.View().Selection().band, 1);
    EXPECT_EQ(session.View().Selection().kind, static_cast<int>(BlockKind::Input));
    EXPECT_EQ(session.View().CurrentBand(), 1);
    EXPECT_FALSE(session.Document().Saved());
    const double after =
        MagnitudeToDb(Magnitude(session.Document().Design().sumTotalResponse[100]));
    EXPECT_NEAR(before - after, 20.0 * std::log10(3.0 / 2.0), 1e-4) << "recalculated at once";
    EXPECT_TRUE(schematic.HitTest(kPane, box));
    EXPECT_FALSE(session.Document().Design().bands[1].muted);
}

TEST_F(SchematicClicks, RowsOfBandsTheDesignDoesNotUseAreNeverHitNorOpened) {
    EXPECT_TRUE(schematic.HitTest(kPane, CentreOf(2, BlockKind::HighPass1)));
    CConfiguration small;
    small.New(1, kDesignSampleRate);
    ASSERT_TRUE(small.Save(dir / "one.ksv", messages));
    ASSERT_TRUE(session.LoadFile(dir / "one.ksv"));
    EXPECT_EQ(session.View().Selection().kind, -1) << "a load clears the selection";
    schematic.OpenSelectedBlock();
    EXPECT_TRUE(blocks.opened.empty());

    // Where band 3's mute box and blocks were, there is nothing now.
    schematic.HitTest(kPane, LayOutSchematic(kPane, 3)[2].mute.center());
    EXPECT_FALSE(session.Document().Design().bands[2].muted);
    EXPECT_FALSE(schematic.HitTest(kPane, CentreOf(2, BlockKind::Eq)));
    session.View().Select({static_cast<int>(BlockKind::Eq), 2});
    schematic.OpenSelectedBlock();
    EXPECT_TRUE(blocks.opened.empty());
}

TEST_F(SchematicClicks, OkInABlockDialogMakesTheDesignUnsavedCancelDoesNot) {
    files.answers = {dir / "clicks.ksv"};
    ASSERT_TRUE(session.Save());
    schematic.HitTest(kPane, CentreOf(1, BlockKind::LowPass2));
    blocks.closeWithOk = false;
    schematic.OpenSelectedBlock();
    EXPECT_TRUE(session.Document().Saved());
    blocks.closeWithOk = true;
    schematic.OpenSelectedBlock();
    EXPECT_TRUE(session.Document().Saved()) << "OK after no change leaves nothing to save";
    blocks.edit = [this] { session.Document().Design().bands[1].SetGain(-3.0); };
    schematic.OpenSelectedBlock();
    EXPECT_FALSE(session.Document().Saved());
    EXPECT_EQ(session.History().Undo().UndoDescription(), "Edit LP2 of Output 2 (MF)");
    ASSERT_EQ(blocks.opened.size(), 3u);
    EXPECT_EQ(blocks.opened[2], std::make_pair(BlockKind::LowPass2, 1));
}

// The Parametric EQ dialog sorts the equalisers as it opens; Cancel then
// still leaves the design exactly as it was, with nothing to undo or save.
TEST_F(SchematicClicks, CancelTakesBackWhatADialogDidAsItOpened) {
    CBand& band = session.Document().Design().bands[1];
    ASSERT_TRUE(band.SetPeq(0, 2.0, 5000.0, 1.0, true));
    ASSERT_TRUE(band.SetPeq(1, -2.0, 500.0, 1.0, true));
    session.LiveChange();
    files.answers = {dir / "unsorted.ksv"};
    ASSERT_TRUE(session.Save());
    const DesignSettings saved = session.Document().Design().Settings();
    const bool couldUndo = session.History().Undo().CanUndo();
    schematic.HitTest(kPane, CentreOf(1, BlockKind::Eq));
    blocks.edit = [&band] { SortPeqs(band); };
    blocks.closeWithOk = false;
    schematic.OpenSelectedBlock();
    EXPECT_TRUE(session.Document().Design().Settings() == saved);
    EXPECT_TRUE(session.Document().Saved());
    EXPECT_EQ(session.History().Undo().CanUndo(), couldUndo);
}

// While a block's dialog is open its OK or Cancel decides: commands that
// would replace, step back or write the design do nothing (a global menu
// reaches them past the dialog).
TEST_F(SchematicClicks, WhileABlockDialogIsOpenNoCommandTouchesTheDesign) {
    ASSERT_TRUE(session.Change(
        "Gain", [](CConfiguration& design) { return design.bands[0].SetGain(-2.0); }));
    const DesignSettings open = session.Document().Design().Settings();
    schematic.HitTest(kPane, CentreOf(1, BlockKind::Eq));
    blocks.edit = [this] {
        session.SetBlockDialogOpen(true);
        session.Document().Design().bands[1].SetGain(-3.0);
        session.LiveChange();
        files.answers = {dir / "during.ksv", dir / "during.ksv", dir / "during.cfg"};
        session.Undo();
        session.Redo();
        session.New();
        session.Load();
        session.SaveAs();
        session.WriteCfgFile();
        EXPECT_FALSE(session.Change("Align", [](CConfiguration&) { return true; }));
        EXPECT_FALSE(session.Close());
        EXPECT_EQ(files.asked.size(), 0u);
        EXPECT_FALSE(std::filesystem::exists(dir / "during.ksv"));
        session.SetBlockDialogOpen(false);
    };
    blocks.closeWithOk = false;
    schematic.OpenSelectedBlock();
    EXPECT_TRUE(session.Document().Design().Settings() == open);
    EXPECT_EQ(session.History().Undo().UndoDescription(), "Gain");
}

TEST_F(SchematicClicks, TheKeyboardWalksTheChainWithinTheUsedBands) {
    EXPECT_TRUE(schematic.MoveSelection(0, 1));
    EXPECT_EQ(session.View().Selection().kind, static_cast<int>(BlockKind::Input))
        << "first selects";
    EXPECT_EQ(session.View().Selection().band, 0);
    EXPECT_FALSE(schematic.MoveSelection(-1, 0));
    EXPECT_TRUE(schematic.MoveSelection(5, 20));
    EXPECT_EQ(session.View().Selection().band, 2);
    EXPECT_EQ(session.View().Selection().kind, static_cast<int>(BlockKind::Driver));
    EXPECT_EQ(session.View().CurrentBand(), 2);
}

} // namespace
} // namespace kv
