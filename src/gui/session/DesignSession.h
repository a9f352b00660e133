#pragma once

#include "session/DesignDocument.h"
#include "session/DesignHistory.h"
#include "session/RecentFiles.h"
#include "session/ViewState.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace kv {

class IDesignDialogs;
class IFileChooser;
class IMessageBox;
class ISettings;

// The main window's commands without the window: New, Load, Save, Save As,
// Change Title, Update HMQ and Close with their questions and messages, undo
// and redo, and the one path every change of the design takes: the setting
// changes, what it touched is recomputed, the hardware check runs once, the
// change becomes one step of undo, and the window repaints once.
class DesignSession {
public:
    DesignSession(IMessageBox& messages, IFileChooser& files, ISettings& settings,
                  IDesignDialogs& dialogs);
    DesignSession(const DesignSession&) = delete;
    DesignSession& operator=(const DesignSession&) = delete;

    DesignDocument& Document() { return document_; }
    const DesignDocument& Document() const { return document_; }
    DesignHistory& History() { return history_; }
    const DesignHistory& History() const { return history_; }
    ViewState& View() { return view_; }
    const ViewState& View() const { return view_; }

    // Called after every change of what the window shows.
    void SetRedrawHandler(std::function<void()> redraw) { redraw_ = std::move(redraw); }
    // Called with a line for the status bar when a file the user asked for
    // has been written (a .cfg file, an exported curve or filter list).
    void SetNoticeHandler(std::function<void(const std::string&)> notice) {
        notice_ = std::move(notice);
    }

    // A block's dialog is open: its OK or Cancel decides on what it changed,
    // so nothing replaces, steps back or writes the design meanwhile (a
    // desktop's global menu reaches the window's commands past the dialog).
    void SetBlockDialogOpen(bool open);
    bool BlockDialogOpen() const { return blockDialogOpen_; }
    // How many times the whole design was replaced (opened, made new, put
    // back): an edit begun before the count moved no longer applies.
    std::uint64_t Replacements() const { return replacements_; }

    // Start-up: the settings, then an unsaved design a crashed run left
    // (when the user wants it back), else the given design, or without one
    // the last file of the previous run.
    void Start(const std::filesystem::path& fileToOpen = {});

    void New();
    void Load();
    // Loads path as Load does once the user has chosen it; false when the
    // load failed (the user has been told why, and the open design stays).
    bool LoadFile(const std::filesystem::path& path);
    // A design the user named outside the Load dialog (a recent file, a file
    // dropped on the window): the unsaved-design question, then LoadFile. A
    // recent file that is gone leaves the list.
    void OpenFile(const std::filesystem::path& path);
    // True when the design reached its file.
    bool Save();
    bool SaveAs();
    void ChangeTitle();
    void UpdateHmq();
    // The design's image as a TAS3103 .cfg file, without a unit.
    void WriteCfgFile();
    // Asks about unsaved work and writes the settings; true when the program
    // may end, false when the user cancelled or the save failed.
    bool Close();
    void Undo();
    void Redo();
    // The design's settings as they were: a point of the history, or the
    // design before a block's dialog that was cancelled.
    void PutBack(const DesignSettings& settings);

    // A change made at once: edit changes the design through its setters
    // and says whether it did; then the change takes the one path, as one
    // step of undo named description. False when nothing changed.
    bool Change(const std::string& description, const std::function<bool(CConfiguration&)>& edit);
    // A change made in a dialog that is still open: recomputed, checked and
    // shown, and the design unsaved (kept by the recovery copy) until
    // CommitChange ends the dialog's change.
    void LiveChange();
    // Ends a change that began with the design's settings before: one step
    // of undo. A change that changed nothing (a dialog cancelled) leaves no
    // step, and the design as saved as it was before.
    void CommitChange(const DesignSettings& before, const std::string& description);
    // Something the window shows changed, not the design: it repaints.
    void ViewChanged();
    // The PIR views show the first seconds of the time responses (one of
    // kPirLengths): every band's are computed that long again and shown.
    void SetPirLength(double seconds);

    // Keeps the design in the recovery file while it has unsaved changes.
    void WriteRecovery();
    // Opens a design shipped with the program (its file's bytes) as a new,
    // unsaved design without a file; false when it did not open.
    bool OpenExample(const std::vector<std::uint8_t>& bytes);
    const std::vector<std::string>& RecentDesigns() const { return recent_.Files(); }

    // Writes the band pane's band's total response (or the sum of all
    // bands') as a curve file the user chooses.
    void ExportCurve(bool total);
    // Writes the band pane's band as a PC equaliser's configuration text the
    // user chooses, to hear it on a PC.
    void ExportFilters();

private:
    // Asks whether to save unsaved changes before the design goes ("before
    // closing?"); false when it must stay: the user cancelled, or the save
    // failed or was cancelled.
    bool MayLetDesignGo(const std::string& before);
    // After a new design, a load or a recovery: a fresh history, the first
    // band shown, every band recomputed.
    void Opened(bool saved);
    // After every change of the design: recomputed, checked once, shown.
    void DesignChanged();
    // The saved state as the history has it: the file holds the design when
    // the history stands where it was saved.
    void SettleSavedState();
    void ReadSettings();
    void WriteSettings();
    bool SaveTo(const std::filesystem::path& path);
    void Redraw();
    void NoticeWritten(const std::filesystem::path& path);

    IMessageBox& messages_;
    IFileChooser& files_;
    ISettings& settings_;
    IDesignDialogs& dialogs_;
    std::function<void()> redraw_;
    std::function<void(const std::string&)> notice_;
    bool blockDialogOpen_ = false;
    std::uint64_t replacements_ = 0;

    DesignDocument document_;
    DesignHistory history_;
    ViewState view_{document_.Design(), document_.Grid()};
    RecentFiles recent_{settings_};
};

} // namespace kv
