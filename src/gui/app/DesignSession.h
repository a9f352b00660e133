#pragma once

#include "app/HardwareWarnings.h"
#include "app/RecentFiles.h"
#include "app/RecoveryFile.h"
#include "app/UndoHistory.h"
#include "graphs/CCurveBase.h"
#include "math/VFreqVec.h"
#include "model/CConfiguration.h"

#include <filesystem>
#include <functional>
#include <string>

namespace kv {

class IDesignDialogs;

// The selected block of the schematic: its kind (a BlockKind) and band; -1
// and -1 when nothing is selected.
struct BlockSelection {
    int kind = -1;
    int band = -1;
};
class IFileChooser;
class IMessageBox;
class ISettings;

// The main window's design and its commands, without the window: New, Load,
// Save, Save As, Change Title, Update HMQ and Close with their questions and
// messages, whether the design is saved, the last file, the serial port and
// the display switches kept in the settings. Whatever changes what the
// window shows ends in the redraw handler.
class DesignSession {
public:
    DesignSession(IMessageBox& messages, IFileChooser& files, ISettings& settings,
                  IDesignDialogs& dialogs);
    DesignSession(const DesignSession&) = delete;
    DesignSession& operator=(const DesignSession&) = delete;

    // Called after every change of what the window shows.
    void SetRedrawHandler(std::function<void()> redraw) { redraw_ = std::move(redraw); }

    // Where an unsaved design is kept against a crash; set before Start.
    void SetRecoveryFolder(const std::filesystem::path& folder) { recovery_.SetFolder(folder); }

    // Start-up: the settings, then an unsaved design a crashed run left
    // (when the user wants it back), else the given design, or without one
    // the last file of the previous run.
    void Start(const std::filesystem::path& fileToOpen = {});

    void New();
    void Load();
    // Loads path as Load does once the user has chosen it; false when the
    // load failed (the user has been told why).
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

    // Recomputes what changed in the design and redraws when anything did;
    // true when something was recomputed.
    bool Recalculate();
    // A change made in a dialog that is still open: recomputed and shown,
    // and the design unsaved (kept by the recovery copy) until CommitChange
    // ends the dialog's change.
    void LiveChange();
    // The design as it is now, to be handed to CommitChange after a change.
    UndoHistory::Snapshot Snapshot() { return configuration_.Snapshot(); }
    // Ends a change that began at before: one step of undo, the design
    // unsaved. A change that changed nothing (a dialog cancelled) leaves no
    // step, and the design as saved as it was before.
    void CommitChange(UndoHistory::Snapshot before, const std::string& description);
    void Undo();
    void Redo();
    const UndoHistory& History() const { return history_; }
    // Keeps the design in the recovery file while it has unsaved changes.
    void WriteRecovery();
    const std::vector<std::string>& RecentDesigns() const { return recent_.Files(); }
    void Redraw();

    // "Kestrelvane (HMQ27) - Untitled [3 way, 24 bits @ 96 kHz]", or the
    // program's name without a design.
    std::string WindowTitle() const;
    bool HasDesign() const { return configuration_.numBands > 0; }
    // What the hardware check says of the design as the window shows it.
    const HardwareWarnings& Warnings() const { return warnings_; }

    CConfiguration& Configuration() { return configuration_; }
    const CConfiguration& Configuration() const { return configuration_; }
    const VFreqVec& Grid() const { return grid_; }
    // What the response panes and zoomed windows draw from.
    ResponseViewSource& View() { return view_; }
    bool Saved() const { return saved_; }
    const std::string& LastFile() const { return lastFile_; }
    int ComPort() const { return comPort_; }
    void SetComPort(int port) { comPort_ = port; }
    ShowFlags& Flags() { return view_.showFlags; }
    const ShowFlags& Flags() const { return view_.showFlags; }
    // The band the band pane shows; -1 for none.
    int CurrentBand() const { return view_.currentBand; }
    void SetCurrentBand(int band) { view_.currentBand = band; }
    const BlockSelection& Selection() const { return selection_; }
    void Select(const BlockSelection& selection) { selection_ = selection; }
    void ClearSelection() { selection_ = {}; }
    // Writes the band pane's band's total response (or the sum of all
    // bands') as a curve file the user chooses.
    void ExportCurve(bool total);
    // Writes the band pane's band as a PC equaliser's configuration text the
    // user chooses, to hear it on a PC.
    void ExportFilters();

private:
    // False when the user wants to save the unsaved design first.
    bool MayReplaceDesign();
    // True when the user took back the design a crashed run left.
    bool OfferRecovery();
    // Offers the recovery file held; true when the user took it back.
    bool OfferRecoveryFile();
    // Puts back a design of the history and recomputes it.
    void PutBack(const UndoHistory::Snapshot& snapshot);
    void ReadSettings();
    void WriteSettings();
    bool SaveTo(const std::filesystem::path& path);

    IMessageBox& messages_;
    IFileChooser& files_;
    ISettings& settings_;
    IDesignDialogs& dialogs_;
    std::function<void()> redraw_;

    CConfiguration configuration_;
    VFreqVec grid_;
    ResponseViewSource view_{configuration_, grid_};
    std::string lastFile_;
    bool saved_ = true;
    int comPort_ = 1;
    BlockSelection selection_;
    HardwareWarnings warnings_;
    UndoHistory history_;
    RecentFiles recent_{settings_};
    RecoveryFile recovery_;
};

} // namespace kv
