#pragma once

#include "session/BlockWarnings.h"
#include "session/DesignSession.h"
#include "session/IBlockDialogs.h"
#include "session/IDesignDialogs.h"
#include "session/IFileChooser.h"
#include "support/TestSupport.h"

#include <deque>
#include <functional>
#include <optional>
#include <vector>

namespace kv::test {

// File dialogs answered from a script: each answer in turn (nothing: the
// user cancelled), every dialog recorded.
class ScriptedFileChooser : public IFileChooser {
public:
    std::optional<std::filesystem::path>
    ChooseFileToOpen(const FileDialogRequest& request) override {
        return Next(request);
    }
    std::optional<std::filesystem::path>
    ChooseFileToSave(const FileDialogRequest& request) override {
        return Next(request);
    }

    std::deque<std::optional<std::filesystem::path>> answers;
    std::vector<FileDialogRequest> asked;

private:
    std::optional<std::filesystem::path> Next(const FileDialogRequest& request) {
        asked.push_back(request);
        if (answers.empty()) {
            return std::nullopt;
        }
        auto next = answers.front();
        answers.pop_front();
        return next;
    }
};

// The block dialogs: records which block dialogs were opened and answers OK or Cancel.
class RecordingBlockDialogs : public IBlockDialogs {
public:
    bool OpenBlockDialog(BlockKind kind, int band) override {
        opened.emplace_back(kind, band);
        if (edit) {
            edit();
        }
        return closeWithOk;
    }

    std::vector<std::pair<BlockKind, int>> opened;
    // What the user does in the dialog.
    std::function<void()> edit;
    bool closeWithOk = true;
};

// The main window's dialogs answered from a script.
class ScriptedDialogs : public IDesignDialogs {
public:
    std::optional<NewDesignChoice> AskNewDesign() override {
        ++newDesignAsked;
        return newDesign;
    }
    std::optional<std::string> AskTitle(const std::string& current) override {
        titleShown = current;
        return title;
    }
    void ProgramUnit(const CConfiguration&, const std::string& port,
                     const BlockWarnings& safety) override {
        programmedPorts.push_back(port);
        programmedWarnings.push_back(safety.Advice());
    }

    std::optional<NewDesignChoice> newDesign;
    std::optional<std::string> title;
    int newDesignAsked = 0;
    std::string titleShown;
    std::vector<std::string> programmedPorts;
    // What the dialog was told may harm a driver, each time.
    std::vector<std::vector<std::string>> programmedWarnings;
};

// A session over scripted dialogs, recorded messages and settings in memory.
struct SessionHarness {
    RecordingMessageBox messages{IMessageBox::Answer::No};
    ScriptedFileChooser files;
    MemorySettings settings;
    ScriptedDialogs dialogs;
    DesignSession session{messages, files, settings, dialogs};
    TempDir dir;

    // A new design of the given ways, as New with the dialog's OK makes it.
    void NewDesign(int bands, const std::string& title) {
        dialogs.newDesign = NewDesignChoice{bands, title};
        session.New();
    }
};

} // namespace kv::test
