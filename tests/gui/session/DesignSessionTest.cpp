#include "CliCommands.h"
#include "archive/PathText.h"
#include "gui/session/SessionTestSupport.h"
#include "hardware/UnitProgramming.h"
#include "model/SplCurve.h"

#include <algorithm>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

namespace kv {
namespace {

using Answer = IMessageBox::Answer;

class Session : public ::testing::Test, public test::SessionHarness {
protected:
    // A saved two-way design titled Saved, as a file of the temporary folder.
    std::filesystem::path SavedDesign() {
        CConfiguration design;
        design.New(2, kDesignSampleRate);
        design.SetTitle("Saved");
        const std::filesystem::path path = dir / "saved.ksv";
        EXPECT_TRUE(design.Save(path, messages));
        return path;
    }
};

TEST_F(Session, StartsWithTheDefaultsOfEmptySettings) {
    session.Start();
    EXPECT_EQ(session.Document().WindowTitle(), "Kestrelvane (HMQ27)");
    EXPECT_FALSE(session.Document().HasDesign());
    EXPECT_EQ(session.View().Port(), "") << "the window offers the first port it lists";
    EXPECT_EQ(session.View().Flags(), DefaultShowFlags());
    EXPECT_TRUE(session.Document().Saved());
    EXPECT_EQ(session.Document().Grid().GetSize(), 576);
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(Session, NewDesignIsTitledAndUnsavedAndClosingAsksWithThreeButtons) {
    session.Start();
    NewDesign(2, "Test");
    EXPECT_EQ(session.Document().WindowTitle(),
              "Kestrelvane (HMQ27) - Test [2 way, 24 bits @ 96 kHz]");
    EXPECT_EQ(session.Document().WindowTitle(true),
              "Kestrelvane (HMQ27) - Test[*] [2 way, 24 bits @ 96 kHz]");
    EXPECT_FALSE(session.Document().Saved());
    EXPECT_EQ(session.View().CurrentBand(), 0);
    EXPECT_EQ(session.Document().Design().sumTotalResponse.GetSize(), 576);

    messages.answers = {Answer::Cancel};
    EXPECT_FALSE(session.Close());
    ASSERT_EQ(messages.asked.size(), 1u);
    EXPECT_EQ(messages.asked[0].text, "Save changes to \"Test\" before closing?");
    EXPECT_EQ(messages.askedButtons[0], IMessageBox::Buttons::SaveDiscardCancel);
    EXPECT_TRUE(settings.values.empty()) << "settings are written only when the program ends";

    messages.answers = {Answer::Discard};
    EXPECT_TRUE(session.Close());
    EXPECT_FALSE(settings.values.empty());
}

// The question before New and Load: Cancel keeps the design and asks for
// nothing more, Don't Save goes on, Save goes on only once the design is
// written.
TEST_F(Session, TheUnsavedQuestionBeforeNewAndLoadSavesCancelsOrDiscards) {
    session.Start();
    NewDesign(3, "Old");
    messages.answers = {Answer::Cancel, Answer::Cancel};
    NewDesign(1, "New");
    session.Load();
    EXPECT_EQ(dialogs.newDesignAsked, 1) << "Cancel ends New before its dialog";
    EXPECT_TRUE(files.asked.empty()) << "Cancel ends Load before its file dialog";
    EXPECT_EQ(session.Document().Design().title, "Old");
    ASSERT_EQ(messages.asked.size(), 2u);
    EXPECT_EQ(messages.asked[0].text, "Save changes to \"Old\" before starting a new design?");
    EXPECT_EQ(messages.asked[1].text, "Save changes to \"Old\" before opening another design?");

    // Save whose Save As cannot write: the design stays, unsaved.
    messages.answers = {Answer::Save};
    files.answers = {dir / "no such folder" / "old.ksv"};
    NewDesign(1, "New");
    EXPECT_EQ(dialogs.newDesignAsked, 1);
    EXPECT_EQ(session.Document().Design().title, "Old");
    EXPECT_FALSE(session.Document().Saved());

    // Save as a file that can be written: saved, then replaced.
    messages.answers = {Answer::Save};
    files.answers = {dir / "old.ksv"};
    NewDesign(1, "New");
    EXPECT_EQ(session.Document().Design().title, "New");
    CConfiguration written;
    ASSERT_TRUE(written.Load(dir / "old.ksv", messages));
    EXPECT_EQ(written.title, "Old");

    messages.answers = {Answer::Discard};
    NewDesign(2, "Newer");
    EXPECT_EQ(session.Document().Design().title, "Newer");
    EXPECT_EQ(session.Document().Design().numBands, 2);
}

// The example opens as a new design without a file; a damaged one or a
// cancelled question leaves the open design alone.
TEST_F(Session, TheExampleOpensAsANewDesignWithoutAFile) {
    CConfiguration example;
    example.New(3, kDesignSampleRate);
    example.SetTitle("Example");
    ASSERT_TRUE(example.bands[1].SetGain(-4.0));
    const std::vector<std::uint8_t> bytes = example.Snapshot();
    session.Start();
    NewDesign(2, "Mine");
    messages.answers = {Answer::Cancel};
    EXPECT_FALSE(session.OpenExample(bytes));
    messages.answers = {Answer::Discard};
    EXPECT_FALSE(session.OpenExample({1, 2, 3}));
    EXPECT_EQ(session.Document().Design().title, "Mine");
    EXPECT_EQ(messages.shown.back().text,
              "The example design could not be read; the installation may be damaged.");

    messages.answers = {Answer::Discard};
    ASSERT_TRUE(session.OpenExample(bytes));
    EXPECT_EQ(session.Document().Design().Settings(), example.Settings());
    EXPECT_EQ(session.Document().Design().numBands, 3);
    EXPECT_TRUE(session.Document().Design().fileName.empty());
    EXPECT_FALSE(session.Document().Saved());
    EXPECT_FALSE(session.History().Undo().CanUndo());
}

TEST_F(Session, SaveOfANeverSavedDesignAsksForAFilePresetWithItsTitle) {
    session.Start();
    NewDesign(3, "Living room");
    const std::filesystem::path path = dir / "living.ksv";
    files.answers = {path};
    EXPECT_TRUE(session.Save());
    ASSERT_EQ(files.asked.size(), 1u);
    EXPECT_EQ(files.asked[0].preset, "Living room");
    EXPECT_EQ(files.asked[0].filter, "Kestrelvane Files (*.ksv)");
    EXPECT_EQ(files.asked[0].defaultSuffix, "ksv");
    EXPECT_TRUE(session.Document().Saved());
    EXPECT_EQ(session.Document().LastFile(), path.string());

    // Now it has a file: Save writes it without asking.
    session.ChangeTitle();
    EXPECT_TRUE(session.Save());
    EXPECT_EQ(files.asked.size(), 1u);
}

// Whatever is wrong with the file chosen, the open design stays as it was:
// its content, its file, its history and whether it is saved.
TEST_F(Session, AFailedLoadKeepsTheOpenDesign) {
    CConfiguration valid;
    valid.New(2, kDesignSampleRate);
    std::vector<std::uint8_t> cut = valid.Snapshot();
    cut.resize(cut.size() - 10);
    test::WriteBytes(dir / "empty.ksv", {});
    test::WriteBytes(dir / "random.ksv", {0x13, 0x99, 0x07, 0xFE, 0x00, 0x41, 0x42});
    std::ofstream(dir / "text.ksv") << "Frequency,SPL\n100,85\n";
    test::WriteBytes(dir / "cut.ksv", cut);
    std::filesystem::create_directories(dir / "folder.ksv");

    session.Start();
    NewDesign(3, "Work");
    files.answers = {dir / "work.ksv"};
    ASSERT_TRUE(session.Save());
    const auto failedLoadsChangeNothing = [&] {
        const DesignSettings before = session.Document().Design().Settings();
        const bool saved = session.Document().Saved();
        const bool undoable = session.History().Undo().CanUndo();
        for (const char* name :
             {"empty.ksv", "random.ksv", "text.ksv", "cut.ksv", "folder.ksv", "missing.ksv"}) {
            const std::size_t shown = messages.shown.size();
            files.answers = {dir / name};
            messages.answers = {IMessageBox::Answer::Discard};
            session.Load();
            EXPECT_EQ(messages.shown.size(), shown + 1) << name;
            EXPECT_NE(messages.shown.back().text.find("\"" + (dir / name).string() + "\""),
                      std::string::npos)
                << "the message names the file";
            EXPECT_EQ(session.Document().Design().Settings(), before) << name;
            EXPECT_EQ(session.Document().Design().fileName, (dir / "work.ksv").string()) << name;
            EXPECT_EQ(session.Document().Saved(), saved) << name;
            EXPECT_EQ(session.History().Undo().CanUndo(), undoable) << name;
            EXPECT_EQ(session.Document().LastFile(), (dir / "work.ksv").string()) << name;
            EXPECT_EQ(session.Document().WindowTitle(),
                      "Kestrelvane (HMQ27) - Work [3 way, 24 bits @ 96 kHz]");
            EXPECT_FALSE(session.Document().Design().sumTotalResponse.Empty()) << name;
        }
    };
    failedLoadsChangeNothing();

    const DesignSettings unmuted = session.Document().Design().Settings();
    session.Document().Design().bands[2].SetGain(-3.0);
    session.LiveChange();
    session.CommitChange(unmuted, "Gain");
    failedLoadsChangeNothing();
    session.Undo();
    EXPECT_TRUE(session.Document().Saved()) << "the history still leads back to the file";
}

TEST_F(Session, AFailedLoadWithoutADesignLeavesNothingToAskAtClose) {
    session.Start();
    test::WriteBytes(dir / "broken.ksv", {1, 2, 3});
    files.answers = {dir / "broken.ksv"};
    session.Load();
    EXPECT_EQ(session.Document().WindowTitle(), "Kestrelvane (HMQ27)");
    EXPECT_FALSE(session.Document().HasDesign());
    EXPECT_EQ(messages.shown.back().text,
              "The file is either corrupt or not valid ! \n\n\"" + (dir / "broken.ksv").string() +
                  "\" is not a Kestrelvane design (it starts with the bytes 01 02 03).");
    messages.asked.clear();
    EXPECT_TRUE(session.Close());
    EXPECT_TRUE(messages.asked.empty());
    EXPECT_EQ(settings.values["File/Last File"], "");
}

TEST_F(Session, AFailedSaveAtCloseKeepsTheProgramOpen) {
    session.Start();
    NewDesign(2, "Precious");
    messages.answers = {Answer::Save};
    files.answers = {dir / "gone" / "x.ksv"};
    EXPECT_FALSE(session.Close());
    EXPECT_EQ(messages.shown.back().text, "Couldn't create the file ! \n\nThe folder \"" +
                                              (dir / "gone").string() + "\" does not exist.");
    EXPECT_EQ(session.Document().Design().title, "Precious");
    EXPECT_FALSE(session.Document().Saved());
    EXPECT_EQ(session.Document().LastFile(), "") << "only a successful save names the last file";

    messages.answers = {Answer::Save};
    EXPECT_FALSE(session.Close()) << "Save As cancelled";
    EXPECT_TRUE(settings.values.empty());
}

// A title is stored in the project file, so quitting must not lose it.
TEST_F(Session, ChangingTheTitleMakesTheDesignUnsaved) {
    session.Start();
    const std::filesystem::path path = SavedDesign();
    ASSERT_TRUE(session.LoadFile(path));
    ASSERT_TRUE(session.Document().Saved());
    dialogs.title = "Renamed";
    session.ChangeTitle();
    EXPECT_EQ(dialogs.titleShown, "Saved");
    EXPECT_EQ(session.Document().WindowTitle(),
              "Kestrelvane (HMQ27) - Renamed [2 way, 24 bits @ 96 kHz]");
    EXPECT_FALSE(session.Document().Saved());
    dialogs.title.reset();
    ASSERT_TRUE(session.Save());
    session.ChangeTitle();
    EXPECT_TRUE(session.Document().Saved()) << "a cancelled title dialog changes nothing";
}

TEST_F(Session, UpdateHmqNeedsADesignAndUsesTheSelectedPort) {
    session.Start();
    session.UpdateHmq();
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, "There's nothing to do !\n\nClick on the New button if "
                                      "you\nwant to create a configuration...");
    EXPECT_EQ(messages.shown[0].icon, IMessageBox::Icon::Information);
    session.SaveAs();
    EXPECT_EQ(messages.shown[1].text, "There's nothing to save !\n\nClick on the New button "
                                      "if you\nwant to create a configuration...");
    EXPECT_TRUE(dialogs.programmedPorts.empty());

    NewDesign(3, "Unit");
    session.View().SetPort("/dev/ttyUSB0");
    session.UpdateHmq();
    EXPECT_EQ(dialogs.programmedPorts, std::vector<std::string>{"/dev/ttyUSB0"});
    EXPECT_TRUE(dialogs.programmedWarnings.back().empty());

    // The dialog is told what may harm a driver; it does not work it out.
    session.Change("Boost", [](CConfiguration& design) {
        return design.bands[1].SetPeq(0, 18.0, 320.0, 8.0, true);
    });
    session.UpdateHmq();
    ASSERT_EQ(dialogs.programmedWarnings.size(), 2u);
    ASSERT_EQ(dialogs.programmedWarnings.back().size(), 1u);
    EXPECT_EQ(dialogs.programmedWarnings.back()[0].rfind("Output 2 rises to +18.0 dB at 320 Hz", 0),
              0u)
        << dialogs.programmedWarnings.back()[0];
}

TEST_F(Session, SettingsAreWrittenOnCloseUnderTheirNames) {
    settings.SetInt("Settings", "COM Port", 3);
    settings.SetInt("Show Curves", "Show Phase", 1);
    session.Start();
    EXPECT_EQ(session.View().Port(), "COM3") << "an earlier version's port number";
    EXPECT_TRUE(session.View().Flags()[ShowFlag::Phase]);
    session.View().Flags()[ShowFlag::Filter] = true;
    session.View().SetPort("COM6");
    ASSERT_TRUE(session.LoadFile(SavedDesign()));
    ASSERT_TRUE(session.Close());
    EXPECT_EQ(settings.values["Show Curves/Visible PIR Length"], "20");
    EXPECT_EQ(settings.values["Show Curves/Show Filter SPL"], "1");
    EXPECT_EQ(settings.values["Show Curves/Show Phase"], "1");
    EXPECT_EQ(settings.values["Show Curves/Show Imported SPL"], "1");
    EXPECT_EQ(settings.values["Show Curves/Show Sum Target SPL"], "0");
    EXPECT_EQ(settings.values["Show Curves/Show Unwrapped Phase"], "1");
    EXPECT_EQ(settings.values["Show Curves/Show Hardware SPL"], "0");
    EXPECT_EQ(settings.values["Show Curves/Show Handles"], "1");
    EXPECT_EQ(settings.values["Settings/COM Port"], "6");
    EXPECT_EQ(settings.values["Settings/Serial Port"], "COM6");
    EXPECT_EQ(settings.values["File/Last File"], (dir / "saved.ksv").string());
    EXPECT_EQ(settings.values["Recent Files/File1"], (dir / "saved.ksv").string());
    EXPECT_EQ(std::count_if(settings.values.begin(), settings.values.end(),
                            [](const auto& value) { return value.first.rfind("Recent", 0) != 0; }),
              17);
}

// The PIR views show 5, 10, 20, 50 or 100 ms, as the last run chose; the
// time responses are computed that long.
TEST_F(Session, ThePirLengthIsOneOfTheOfferedAndKeptBetweenRuns) {
    settings.SetInt("Show Curves", "Visible PIR Length", 50);
    session.Start();
    EXPECT_EQ(session.View().PirLength(), 0.05);
    NewDesign(2, "Pir");
    const auto samples = [this] {
        return session.Document().Design().bands[0].totalImpulse.GetSize();
    };
    EXPECT_EQ(samples(), 4800);
    session.SetPirLength(0.1);
    EXPECT_EQ(session.View().PirLength(), 0.1);
    EXPECT_EQ(samples(), 9600);
    EXPECT_FALSE(session.History().Undo().CanUndo()) << "a view, not a change";
    session.SetPirLength(0.03);
    EXPECT_EQ(session.View().PirLength(), 0.1) << "only the offered lengths";
    session.View().Write(settings);
    EXPECT_EQ(settings.values["Show Curves/Visible PIR Length"], "100");

    for (const int stored : {7, 0, -20, 100000}) {
        settings.SetInt("Show Curves", "Visible PIR Length", stored);
        ViewState view(session.Document().Design(), session.Document().Grid());
        view.Read(settings);
        EXPECT_EQ(view.PirLength(), 0.02) << stored;
    }
}

// A device has no number: the window keeps it by name, and 0 in the
// number earlier versions read.
TEST_F(Session, TheWindowsPortIsKeptByNameAndANumberThatIsNoPortIsNoChoice) {
    settings.SetInt("Settings", "COM Port", 0);
    session.Start();
    EXPECT_EQ(session.View().Port(), "");
    session.View().SetPort("/dev/ttyUSB0");
    ASSERT_TRUE(session.Close());
    EXPECT_EQ(settings.values["Settings/COM Port"], "0");
    EXPECT_EQ(settings.values["Settings/Serial Port"], "/dev/ttyUSB0");

    test::SessionHarness next;
    next.settings = settings;
    next.session.Start();
    EXPECT_EQ(next.session.View().Port(), "/dev/ttyUSB0");
}

TEST_F(Session, StartUpReloadsTheLastFileOrForgetsIt) {
    settings.SetString("File", "Last File", SavedDesign().string());
    session.Start();
    EXPECT_EQ(session.Document().WindowTitle(),
              "Kestrelvane (HMQ27) - Saved [2 way, 24 bits @ 96 kHz]");
    EXPECT_EQ(session.View().CurrentBand(), 0);
    EXPECT_TRUE(session.Document().Saved());
    EXPECT_EQ(session.Document().Design().sumTotalResponse.GetSize(), 576);

    test::SessionHarness again;
    again.settings.SetString("File", "Last File", (dir / "deleted.ksv").string());
    again.session.Start();
    EXPECT_EQ(again.messages.shown.at(0).text, "Couldn't open the file ! \n\n\"" +
                                                   (dir / "deleted.ksv").string() +
                                                   "\" does not exist.");
    EXPECT_EQ(again.session.Document().LastFile(), "");
    EXPECT_FALSE(again.session.Document().HasDesign());
}

TEST_F(Session, ADesignNamedAtStartUpOpensInsteadOfTheLastFile) {
    const std::filesystem::path named = SavedDesign();
    settings.SetString("File", "Last File", (dir / "other.ksv").string());
    session.Start(named);
    EXPECT_EQ(session.Document().Design().title, "Saved");
    EXPECT_EQ(session.Document().LastFile(), named.string());
    EXPECT_TRUE(messages.shown.empty());

    test::SessionHarness broken;
    broken.settings.SetString("File", "Last File", named.string());
    broken.session.Start(dir / "nowhere.ksv");
    EXPECT_EQ(broken.messages.shown.at(0).text.rfind("Couldn't open the file ! \n\n", 0), 0u);
    EXPECT_FALSE(broken.session.Document().HasDesign());
    EXPECT_EQ(broken.session.Document().LastFile(), named.string())
        << "the last file is kept for next time";
}

// The file written is named on the status bar; a cancelled or failed
// write says nothing there.
TEST_F(Session, WritingACfgFileAsksForItPresetWithTheTitleAndSaysWhereItWent) {
    std::vector<std::string> notices;
    session.SetNoticeHandler([&notices](const std::string& notice) { notices.push_back(notice); });
    session.Start();
    NewDesign(2, "Bookshelf");
    files.answers = {dir / "bookshelf.cfg", std::nullopt, dir / "no such folder" / "x.cfg"};
    session.WriteCfgFile();
    ASSERT_EQ(files.asked.size(), 1u);
    EXPECT_EQ(files.asked[0].filter, "Configuration Files (*.cfg)");
    EXPECT_EQ(files.asked[0].preset, "Bookshelf");
    EXPECT_TRUE(std::filesystem::exists(dir / "bookshelf.cfg"));
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_EQ(notices, std::vector<std::string>{"Wrote " + PathText(dir / "bookshelf.cfg") + "."});
    session.WriteCfgFile();
    session.WriteCfgFile();
    EXPECT_EQ(notices.size(), 1u);
    EXPECT_EQ(messages.shown.size(), 1u) << "the failed write is told as an error";

    // A title is no path: the dialog must not look for a folder "AC".
    dialogs.title = "AC/DC";
    session.ChangeTitle();
    session.WriteCfgFile();
    EXPECT_EQ(files.asked.back().preset, "AC-DC");
}

TEST_F(Session, ADesignTheUnitCannotRunIsRefusedBeforeAFileIsAskedFor) {
    session.Start();
    NewDesign(1, "Too much");
    for (NotchSettings& notch : session.Document().Design().bands[0].notch) {
        notch.enabled = true;
    }
    for (PeqSettings& peq : session.Document().Design().bands[0].peq) {
        peq.enabled = true;
    }
    session.WriteCfgFile();
    EXPECT_TRUE(files.asked.empty());
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text.rfind("The HMQ27 cannot run this design as it stands", 0), 0u);
}

TEST_F(Session, ExportWritesTheBytesOfTheCommandLine) {
    CConfiguration design;
    design.New(2, kDesignSampleRate);
    std::ofstream(dir / "driver.txt") << "100 80 0\n1000 85 -30\n10000 82 -60\n";
    ASSERT_TRUE(LoadSplCurve(design.bands[1], dir / "driver.txt", messages));
    ASSERT_TRUE(design.Save(dir / "exported.ksv", messages));
    session.Start(dir / "exported.ksv");
    session.View().SetCurrentBand(1);
    files.answers = {dir / "band.txt", dir / "total.txt", dir / "filters.txt"};
    int notices = 0;
    session.SetNoticeHandler([&notices](const std::string&) { ++notices; });
    session.ExportCurve(false);
    session.ExportCurve(true);
    session.ExportFilters();
    EXPECT_EQ(notices, 3);
    EXPECT_EQ(files.asked.at(0).filter, "Ascii curve (*.txt)");
    EXPECT_EQ(files.asked.at(2).preset, design.title + " " + design.bands[1].GetName());

    const auto cli = [&](const std::vector<std::string>& selection, const char* output) {
        std::vector<std::string> words{"export", (dir / "exported.ksv").string()};
        words.insert(words.end(), selection.begin(), selection.end());
        words.insert(words.end(), {"-o", (dir / output).string()});
        std::ostringstream out;
        std::ostringstream err;
        EXPECT_EQ(RunCli(words, out, err), 0) << err.str();
        return test::ReadBytes(dir / output);
    };
    EXPECT_EQ(test::ReadBytes(dir / "band.txt"), cli({"--band", "2"}, "cli-band.txt"));
    EXPECT_EQ(test::ReadBytes(dir / "total.txt"), cli({"--total"}, "cli-total.txt"));

    std::ostringstream out;
    std::ostringstream err;
    ASSERT_EQ(RunCli({"export-eq", (dir / "exported.ksv").string(), "--band", "2", "-o",
                      (dir / "cli-filters.txt").string()},
                     out, err),
              0)
        << err.str();
    EXPECT_EQ(test::ReadBytes(dir / "filters.txt"), test::ReadBytes(dir / "cli-filters.txt"));
}

} // namespace
} // namespace kv
