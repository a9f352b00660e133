#include "gui/session/SessionTestSupport.h"
#include "session/RecoveryFile.h"
#include "session/Schematic.h"
#include "session/UndoHistory.h"

#include <csignal>
#include <fstream>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace kv {
namespace {

using Snapshot = DesignSettings;

// Settings that differ by their title alone.
DesignSettings Titled(const std::string& title) {
    DesignSettings settings;
    settings.title = title;
    return settings;
}

TEST(UndoHistoryAlone, StepsGoBackAndForthAndTheSavedPointIsKept) {
    UndoHistory history;
    EXPECT_FALSE(history.Record(Titled("1"), Titled("1"), "nothing"))
        << "an unchanged design is no step";
    EXPECT_TRUE(history.Record(Titled("1"), Titled("2"), "first"));
    history.MarkSaved();
    EXPECT_TRUE(history.Record(Titled("2"), Titled("3"), "second"));
    EXPECT_FALSE(history.AtSavedPoint());
    EXPECT_EQ(history.UndoDescription(), "second");
    EXPECT_EQ(history.Undo().title, "2");
    EXPECT_TRUE(history.AtSavedPoint());
    EXPECT_EQ(history.Undo().title, "1");
    EXPECT_EQ(history.RedoDescription(), "first");
    EXPECT_EQ(history.Redo().title, "2");
    // A new change drops what could be redone, and with it the saved point
    // when it lay there.
    history.Undo();
    EXPECT_TRUE(history.Record(Titled("1"), Titled("9"), "other"));
    EXPECT_FALSE(history.CanRedo());
    EXPECT_FALSE(history.AtSavedPoint());
    history.Undo();
    EXPECT_FALSE(history.AtSavedPoint());
}

TEST(UndoHistoryAlone, TheOldestStepsGoWhenTheHistoryIsFull) {
    UndoHistory history;
    for (std::size_t k = 0; k <= UndoHistory::kMaxSteps; ++k) {
        history.Record(Titled(std::to_string(k)), Titled(std::to_string(k + 1)), "step");
    }
    std::size_t undone = 0;
    while (history.CanUndo()) {
        history.Undo();
        ++undone;
    }
    EXPECT_EQ(undone, UndoHistory::kMaxSteps);
    EXPECT_FALSE(history.AtSavedPoint()) << "the saved start went with the oldest step";
}

class History : public ::testing::Test, public test::SessionHarness {
protected:
    void SetUp() override { session.History().SetRecoveryFolder(dir / "data"); }

    test::RecordingBlockDialogs blocks;
    Schematic schematic{session, blocks, messages};
};

// Every change takes one path: the setting, one recalculation, one hardware
// check, one step of undo, one repaint. A change of the view alone is a
// repaint and no check.
TEST_F(History, AChangeRunsTheHardwareCheckOnceAndRepaintsOnce) {
    session.Start();
    NewDesign(2, "One path");
    int repaints = 0;
    session.SetRedrawHandler([&repaints] { ++repaints; });
    const auto checksAfter = [this, &repaints](const auto& change) {
        const std::uint64_t before = session.Document().Checks();
        repaints = 0;
        change();
        return session.Document().Checks() - before;
    };

    EXPECT_EQ(checksAfter([this] { schematic.ToggleMute(1); }), 1u);
    EXPECT_EQ(repaints, 1);
    EXPECT_EQ(session.History().Undo().UndoDescription(), "Mute Output 2 (LF)");

    const DesignSettings before = session.Document().Design().Settings();
    EXPECT_EQ(checksAfter([this] {
                  session.Document().Design().bands[0].SetGain(-2.0);
                  session.LiveChange();
              }),
              1u);
    EXPECT_EQ(repaints, 1);
    EXPECT_EQ(checksAfter([&] { session.CommitChange(before, "Gain"); }), 0u)
        << "the dialog's last change was checked already";
    EXPECT_EQ(repaints, 1);

    EXPECT_EQ(checksAfter([this] { session.Undo(); }), 1u);
    EXPECT_EQ(repaints, 1);
    EXPECT_EQ(checksAfter([this] { schematic.MoveSelection(0, 1); }), 0u);
}

TEST_F(History, UndoAndRedoPutEveryChangeBackExactlyAndFollowTheSavedState) {
    session.Start();
    NewDesign(2, "History");
    files.answers = {dir / "history.ksv"};
    ASSERT_TRUE(session.Save());
    const Snapshot saved = session.Document().Design().Settings();
    const VComplexVec savedTotal = session.Document().Design().sumTotalResponse;

    schematic.ToggleMute(1);
    dialogs.title = "Renamed";
    session.ChangeTitle();
    std::ofstream(dir / "driver.frd") << "100 80 0\n1000 86 -20\n10000 83 -50\n";
    ASSERT_TRUE(schematic.LoadDriverCurve(0, dir / "driver.frd"));
    const Snapshot edited = session.Document().Design().Settings();
    EXPECT_EQ(session.History().Undo().UndoDescription(), "Load the Curve of Output 1 (HF)");

    session.Undo();
    EXPECT_TRUE(session.Document().Design().bands[0].splFreqs.Empty());
    session.Undo();
    EXPECT_EQ(session.Document().Design().title, "History");
    EXPECT_FALSE(session.Document().Saved());
    session.Undo();
    EXPECT_FALSE(session.Document().Design().bands[1].muted);
    EXPECT_TRUE(session.Document().Saved()) << "back where the file is";
    EXPECT_EQ(session.Document().Design().Settings(), saved);
    for (int i = 0; i < savedTotal.GetSize(); ++i) {
        ASSERT_EQ(session.Document().Design().sumTotalResponse[i], savedTotal[i]) << i;
    }
    session.Redo();
    session.Redo();
    session.Redo();
    EXPECT_EQ(session.Document().Design().Settings(), edited);
    EXPECT_FALSE(session.Document().Saved());

    CConfiguration other;
    other.New(1, kDesignSampleRate);
    ASSERT_TRUE(other.Save(dir / "other.ksv", messages));
    messages.answers = {IMessageBox::Answer::No};
    ASSERT_TRUE(session.LoadFile(dir / "other.ksv"));
    EXPECT_FALSE(session.History().Undo().CanUndo()) << "a load starts a new history";
}

TEST_F(History, UndoAfterSaveAsKeepsTheDesignOnTheNewFile) {
    session.Start();
    NewDesign(2, "Kept aside");
    files.answers = {dir / "first.ksv"};
    ASSERT_TRUE(session.Save());
    const std::vector<std::uint8_t> first = test::ReadBytes(dir / "first.ksv");
    schematic.ToggleMute(1);
    files.answers = {dir / "second.ksv"};
    ASSERT_TRUE(session.SaveAs());

    session.Undo();
    session.Redo();
    EXPECT_TRUE(session.Document().Saved());
    schematic.ToggleMute(0);
    ASSERT_TRUE(session.Save());
    EXPECT_EQ(test::ReadBytes(dir / "first.ksv"), first) << "the file kept aside is untouched";
    CConfiguration second;
    ASSERT_TRUE(second.Load(dir / "second.ksv", messages));
    EXPECT_TRUE(second.bands[0].muted);
}

// A copy of the program, in a process of its own, that makes a design with
// unsaved changes, keeps it against a crash, and is killed.
void CrashWithUnsavedDesign(const std::filesystem::path& dir, const std::string& title) {
    const std::filesystem::path ready = dir / ("ready-" + title);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        test::RecordingMessageBox childMessages;
        test::ScriptedFileChooser childFiles;
        test::MemorySettings childSettings;
        test::ScriptedDialogs childDialogs;
        childDialogs.newDesign = NewDesignChoice{3, title};
        DesignSession run(childMessages, childFiles, childSettings, childDialogs);
        run.History().SetRecoveryFolder(dir / "data");
        run.Start();
        run.New();
        run.Document().Design().bands[2].SetGain(-4.5);
        run.LiveChange();
        run.WriteRecovery();
        std::ofstream(ready) << "written";
        for (;;) {
            pause();
        }
    }
    for (int wait = 0; wait < 500 && !std::filesystem::exists(ready); ++wait) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    kill(child, SIGKILL);
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(std::filesystem::exists(ready));
}

// "Copy A" crashed, and "Copy B", which ran beside it and so kept a
// recovery file of its own.
void CrashTwoCopies(const std::filesystem::path& dir) {
    CrashWithUnsavedDesign(dir, "Copy A");
    const pid_t holder = fork();
    ASSERT_GE(holder, 0);
    if (holder == 0) {
        RecoveryFile first;
        first.SetFolder(dir / "data");
        first.Claim();
        CrashWithUnsavedDesign(dir, "Copy B");
        _exit(0);
    }
    int status = 0;
    waitpid(holder, &status, 0);
    ASSERT_TRUE(std::filesystem::exists(dir / "data" / "recovery-2.ksv"));
}

// A design with unsaved changes, its program killed: the next start offers it
// and puts it back exactly.
TEST_F(History, AnUnsavedDesignOutlivesAKilledRun) {
    CrashWithUnsavedDesign(dir.Path(), "Unsaved work");
    messages.answers = {IMessageBox::Answer::Yes};
    settings.SetString("File", "Last File", (dir / "never-opened.ksv").string());
    session.Start();
    ASSERT_EQ(messages.asked.size(), 1u);
    EXPECT_EQ(messages.asked[0].text.rfind("Restore the unsaved design \"Unsaved work\" from ", 0),
              0u);
    EXPECT_EQ(session.Document().Design().title, "Unsaved work");
    EXPECT_EQ(session.Document().Design().bands[2].gain, -4.5);
    EXPECT_FALSE(session.Document().Saved());
    EXPECT_TRUE(messages.shown.empty()) << "the last file was not tried";

    // A clean exit leaves no recovery file behind.
    messages.answers = {IMessageBox::Answer::Discard};
    ASSERT_TRUE(session.Close());
    EXPECT_FALSE(std::filesystem::exists(dir / "data" / "recovery.ksv"));
}

// Two copies crashed: every later start offers what is left, one design
// after the other, until the user has decided on each.
TEST_F(History, TheWorkOfEveryCrashedCopyIsOfferedInTurn) {
    CrashTwoCopies(dir.Path());

    messages.answers = {IMessageBox::Answer::Yes};
    session.Start();
    ASSERT_EQ(messages.asked.size(), 1u);
    EXPECT_EQ(session.Document().Design().title, "Copy A");
    messages.answers = {IMessageBox::Answer::Discard};
    ASSERT_TRUE(session.Close());

    test::SessionHarness next;
    next.session.History().SetRecoveryFolder(dir / "data");
    next.messages.answers = {IMessageBox::Answer::No, IMessageBox::Answer::Yes};
    next.session.Start();
    ASSERT_EQ(next.messages.asked.size(), 1u) << "Copy A was taken back and closed";
    EXPECT_NE(next.messages.asked[0].text.find("\"Copy B\""), std::string::npos);
    next.messages.answers = {IMessageBox::Answer::Discard};
    ASSERT_TRUE(next.session.Close());

    test::SessionHarness last;
    last.session.History().SetRecoveryFolder(dir / "data");
    last.session.Start();
    EXPECT_TRUE(last.messages.asked.empty()) << "both were decided on";
}

TEST_F(History, DeclinedWorkMakesWayForTheNextCrashedCopys) {
    CrashTwoCopies(dir.Path());

    messages.answers = {IMessageBox::Answer::No, IMessageBox::Answer::Yes};
    session.Start();
    ASSERT_EQ(messages.asked.size(), 2u);
    EXPECT_NE(messages.asked[0].text.find("\"Copy A\""), std::string::npos);
    EXPECT_EQ(session.Document().Design().title, "Copy B");
    EXPECT_FALSE(std::filesystem::exists(dir / "data" / "recovery.ksv")) << "declined";
}

// Two copies of the program at once: the second neither offers nor removes
// the unsaved work of the first, which is still running.
TEST_F(History, ASecondRunningCopyLeavesTheFirstCopysRecoveryAlone) {
    session.Start();
    NewDesign(2, "First copy");
    session.Document().Design().bands[0].SetGain(-3.0);
    session.LiveChange();
    session.WriteRecovery();
    const std::filesystem::path firstFile = dir / "data" / "recovery.ksv";
    ASSERT_TRUE(std::filesystem::exists(firstFile));

    test::SessionHarness second;
    second.session.History().SetRecoveryFolder(dir / "data");
    second.session.Start();
    EXPECT_TRUE(second.messages.asked.empty());
    second.NewDesign(1, "Second copy");
    second.session.WriteRecovery();
    second.messages.answers = {IMessageBox::Answer::Discard};
    ASSERT_TRUE(second.session.Close());
    EXPECT_TRUE(std::filesystem::exists(firstFile));
    EXPECT_FALSE(std::filesystem::exists(dir / "data" / "recovery-2.ksv"));
}

TEST_F(History, ADamagedRecoveryFileIsReportedAndSetAsideNeverLoaded) {
    std::filesystem::create_directories(dir / "data");
    CConfiguration design;
    design.New(2, kDesignSampleRate);
    std::vector<std::uint8_t> bytes = design.Snapshot();
    bytes.resize(bytes.size() / 2);
    test::WriteBytes(dir / "data" / "recovery.ksv", bytes);
    messages.answers = {IMessageBox::Answer::Yes};
    session.Start();
    EXPECT_FALSE(session.Document().HasDesign());
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_NE(messages.shown[0].text.find("recovery-damaged-"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(dir / "data" / "recovery.ksv"));
    std::size_t kept = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir / "data")) {
        kept += entry.path().filename().string().rfind("recovery-damaged-", 0) == 0 ? 1 : 0;
    }
    EXPECT_EQ(kept, 1u);
}

// A block dialog that changes the gain live, as its field would, looks at
// what the program keeps meanwhile, and ends with OK or Cancel.
TEST_F(History, AnEditInAnOpenDialogIsUnsavedAndKeptAgainstACrash) {
    bool savedWhileOpen = true;
    blocks.edit = [this, &savedWhileOpen] {
        CBand& edited = session.Document().Design().bands[1];
        const double before = edited.gain;
        edited.SetGain(-7.5);
        session.LiveChange();
        savedWhileOpen = session.Document().Saved();
        session.WriteRecovery();
        if (!blocks.closeWithOk) {
            edited.SetGain(before);
            session.LiveChange();
        }
    };
    blocks.closeWithOk = false;
    session.Start();
    NewDesign(2, "Live");
    files.answers = {dir / "live.ksv"};
    ASSERT_TRUE(session.Save());
    const Snapshot saved = session.Document().Design().Settings();
    const std::filesystem::path recovery = dir / "data" / "recovery.ksv";

    session.View().Select({static_cast<int>(BlockKind::Input), 1});
    schematic.OpenSelectedBlock();
    EXPECT_FALSE(savedWhileOpen);
    EXPECT_TRUE(session.Document().Saved()) << "Cancel put the saved design back";
    EXPECT_FALSE(std::filesystem::exists(recovery));
    EXPECT_FALSE(session.History().Undo().CanUndo());
    EXPECT_EQ(session.Document().Design().Settings(), saved);

    blocks.closeWithOk = true;
    schematic.OpenSelectedBlock();
    EXPECT_FALSE(session.Document().Saved());
    ASSERT_TRUE(std::filesystem::exists(recovery));
    CConfiguration kept;
    ASSERT_TRUE(kept.Restore(test::ReadBytes(recovery)));
    EXPECT_EQ(kept.bands[1].gain, -7.5);
    EXPECT_EQ(session.History().Undo().UndoDescription(), "Edit Input of Output 2 (LF)");
}

TEST_F(History, RecentDesignsKeepTheLastFiveAndForgetOnesThatAreGone) {
    session.Start();
    for (int k = 1; k <= 6; ++k) {
        CConfiguration design;
        design.New(1, kDesignSampleRate);
        ASSERT_TRUE(design.Save(dir / (std::to_string(k) + ".ksv"), messages));
        ASSERT_TRUE(session.LoadFile(dir / (std::to_string(k) + ".ksv")));
    }
    ASSERT_EQ(session.RecentDesigns().size(), 5u);
    EXPECT_EQ(session.RecentDesigns().front(), (dir / "6.ksv").string());
    EXPECT_EQ(settings.values["Recent Files/File5"], (dir / "2.ksv").string());

    std::filesystem::remove(dir / "4.ksv");
    session.OpenFile(dir / "4.ksv");
    EXPECT_EQ(messages.shown.back().text.rfind("Couldn't open the file ! \n\n", 0), 0u);
    EXPECT_EQ(session.RecentDesigns().size(), 4u);
    test::SessionHarness again;
    again.settings.values = settings.values;
    again.session.Start();
    EXPECT_EQ(again.session.RecentDesigns(), session.RecentDesigns());
}

} // namespace
} // namespace kv
