#include "SessionTestSupport.h"
#include "session/FilterHandles.h"
#include "session/HandleEditor.h"

#include <gtest/gtest.h>

namespace kv {
namespace {

// A 2-way design whose second band has a high-pass, a notch, a low shelf
// and two equalisers on (the second off).
class Handles : public ::testing::Test, public test::SessionHarness {
protected:
    void SetUp() override {
        NewDesign(2, "Handles");
        CBand& band = Band();
        const CrossoverSettings slot{.freq = 300.0};
        ASSERT_TRUE(band.SetHighPass(0, slot));
        ASSERT_TRUE(band.EnableHighPass(0, true));
        ASSERT_TRUE(band.SetNotch(1, 3000.0, 8.0, true));
        ASSERT_TRUE(band.SetLowShelf(2.0, 200.0, true));
        ASSERT_TRUE(band.SetPeq(0, -2.0, 1100.0, 2.0, true));
        ASSERT_TRUE(band.SetPeq(1, 3.0, 5000.0, 1.0, false));
        ASSERT_TRUE(band.SetPeq(2, 1.0, 8000.0, 4.0, true));
        session.View().SetCurrentBand(1);
        session.LiveChange();
        session.History().Undo().Clear(false);
    }

    CBand& Band() { return session.Document().Design().bands[1]; }

    FilterHandle HandleNamed(const std::string& name) {
        for (const FilterHandle& handle : editor.Handles()) {
            if (handle.name == name) {
                return handle;
            }
        }
        ADD_FAILURE() << "no handle " << name;
        return {};
    }

    HandleEditor editor{session};
};

TEST_F(Handles, EveryEnabledFilterHasAHandleWithItsValues) {
    const std::vector<FilterHandle> handles = editor.Handles();
    std::vector<std::string> names;
    for (const FilterHandle& handle : handles) {
        names.push_back(handle.name);
    }
    EXPECT_EQ(names, (std::vector<std::string>{"HP1", "Notch 2", "LSF", "EQ 1", "EQ 3"}));
    const FilterHandle eq = HandleNamed("EQ 1");
    EXPECT_EQ(eq.freq, 1100.0);
    EXPECT_EQ(eq.gain, -2.0);
    EXPECT_EQ(eq.q, 2.0);
    EXPECT_FALSE(HandleNamed("HP1").gain);
    EXPECT_FALSE(HandleNamed("HP1").q);
    EXPECT_EQ(HandleNamed("LSF").gain, 2.0);
    EXPECT_FALSE(HandleNamed("LSF").q);
    EXPECT_EQ(HandleNamed("Notch 2").q, 8.0);
    EXPECT_EQ(HandleReadout(eq), "EQ 1: 1.10 kHz, -2.0 dB, Q 2.00");
    EXPECT_EQ(HandleReadout(HandleNamed("LSF")), "LSF: 200.0 Hz, +2.0 dB");

    session.View().Flags()[ShowFlag::Handles] = false;
    EXPECT_TRUE(editor.Handles().empty()) << "Show Handles off";
    session.View().Flags()[ShowFlag::Handles] = true;
    session.View().SetCurrentBand(5);
    EXPECT_TRUE(editor.Handles().empty()) << "a band the design does not use";
}

// The values a drag leaves are those of the dialog's fields, through the
// band's setters; a whole drag is one step of undo.
TEST_F(Handles, ADragMovesFrequencyAndGainAndIsOneStepOfUndo) {
    const DesignSettings before = session.Document().Design().Settings();
    editor.BeginDrag(HandleNamed("EQ 1"));
    for (int step = 1; step <= 10; ++step) {
        editor.DragTo(1100.0 * (1.0 + step / 10.0), -2.0 + 0.4 * step);
        EXPECT_EQ(editor.Dragged()->freq, Band().peq[0].freq);
    }
    EXPECT_FALSE(session.Document().Saved()) << "the design shows every step";
    editor.EndDrag();
    EXPECT_FALSE(editor.Dragged());
    EXPECT_EQ(Band().peq[0].freq, 2200.0);
    EXPECT_EQ(Band().peq[0].gain, 2.0);
    EXPECT_EQ(Band().peq[0].q, 2.0);
    EXPECT_EQ(session.History().Undo().UndoDescription(), "Drag EQ 1 of Output 2 (LF)");
    session.Undo();
    EXPECT_TRUE(session.Document().Design().Settings() == before);
    EXPECT_FALSE(session.History().Undo().CanUndo());

    // Three significant digits, gains to 0.1 dB, within the fields' ranges.
    editor.BeginDrag(HandleNamed("EQ 1"));
    editor.DragTo(1234.567, 3.456);
    EXPECT_EQ(Band().peq[0].freq, 1230.0);
    EXPECT_EQ(Band().peq[0].gain, 3.5);
    editor.DragTo(1e9, 99.0);
    EXPECT_LT(Band().peq[0].freq, 48000.0);
    EXPECT_EQ(Band().peq[0].gain, 20.0);
    editor.EndDrag();
}

TEST_F(Handles, ARefusedValueLeavesTheFilterWhereTheBandHasIt) {
    editor.BeginDrag(HandleNamed("EQ 1"));
    // The equaliser's setter takes no frequency under 1 Hz.
    editor.DragTo(0.2, -2.0);
    EXPECT_EQ(Band().peq[0].freq, 1100.0);
    editor.DragTo(std::nan(""), std::nan(""));
    EXPECT_EQ(Band().peq[0].freq, 1100.0);
    EXPECT_EQ(Band().peq[0].gain, -2.0);
    editor.EndDrag();
    EXPECT_FALSE(session.History().Undo().CanUndo()) << "a drag that changed nothing";

    // A crossover slot and a notch move sideways only.
    editor.BeginDrag(HandleNamed("HP1"));
    editor.DragTo(600.0, 10.0);
    editor.EndDrag();
    CrossoverSettings slot;
    ASSERT_TRUE(Band().GetHighPass(0, slot));
    EXPECT_EQ(slot.freq, 600.0);
    EXPECT_EQ(Band().gain, 0.0);
}

TEST_F(Handles, TheWheelScalesTheQOfFiltersThatHaveOne) {
    editor.TurnQ(HandleNamed("EQ 1"), 6);
    EXPECT_EQ(Band().peq[0].q, 4.0);
    editor.TurnQ(HandleNamed("EQ 1"), -12);
    EXPECT_EQ(Band().peq[0].q, 1.0);
    EXPECT_EQ(session.History().Undo().UndoDescription(), "Change Q of EQ 1 of Output 2 (LF)");
    session.Undo();
    EXPECT_EQ(Band().peq[0].q, 4.0) << "each turn is a step";
    const DesignSettings before = session.Document().Design().Settings();
    editor.TurnQ(HandleNamed("LSF"), 3);
    EXPECT_TRUE(session.Document().Design().Settings() == before) << "a shelf has no Q";
}

// With a block's dialog open the drag belongs to the dialog's change: no
// step of its own; a drag under way when the dialog closes ends there.
TEST_F(Handles, WithADialogOpenADragIsPartOfTheDialogsChange) {
    session.SetBlockDialogOpen(true);
    editor.BeginDrag(HandleNamed("EQ 3"));
    editor.DragTo(4000.0, -1.0);
    editor.EndDrag();
    EXPECT_EQ(Band().peq[2].freq, 4000.0);
    EXPECT_FALSE(session.History().Undo().CanUndo());
    editor.TurnQ(HandleNamed("EQ 3"), 6);
    EXPECT_EQ(Band().peq[2].q, 8.0);
    EXPECT_FALSE(session.History().Undo().CanUndo());

    editor.BeginDrag(HandleNamed("EQ 3"));
    session.SetBlockDialogOpen(false);
    EXPECT_FALSE(editor.Dragged());
    editor.DragTo(500.0, 0.0);
    editor.EndDrag();
    EXPECT_EQ(Band().peq[2].freq, 4000.0);
    EXPECT_FALSE(session.History().Undo().CanUndo());
}

// A shortcut pressed while the button is held (Ctrl+Z, Ctrl+O) replaces the
// design under the drag: the drag is dropped, and neither moves a filter of
// the design now open nor records a step back to the old one.
TEST_F(Handles, ADragOutlivedByItsDesignIsDropped) {
    editor.BeginDrag(HandleNamed("EQ 1"));
    editor.DragTo(2000.0, 1.0);
    session.PutBack(session.Document().Design().Settings());
    const DesignSettings replaced = session.Document().Design().Settings();
    editor.DragTo(4000.0, 3.0);
    editor.EndDrag();
    EXPECT_FALSE(editor.Dragged());
    EXPECT_TRUE(session.Document().Design().Settings() == replaced);
    EXPECT_FALSE(session.History().Undo().CanUndo());

    editor.BeginDrag(HandleNamed("EQ 1"));
    messages.answers = {IMessageBox::Answer::Discard};
    NewDesign(2, "Another");
    ASSERT_EQ(session.Document().Design().title, "Another");
    session.View().SetCurrentBand(1);
    ASSERT_TRUE(Band().SetPeq(0, -2.0, 1100.0, 2.0, true));
    editor.DragTo(4000.0, 3.0);
    editor.EndDrag();
    EXPECT_EQ(Band().peq[0].freq, 1100.0);
    EXPECT_FALSE(session.History().Undo().CanUndo());
}

} // namespace
} // namespace kv
