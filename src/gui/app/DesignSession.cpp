#include "app/DesignSession.h"

#include "app/FileDialogs.h"
#include "app/IDesignDialogs.h"
#include "app/IFileChooser.h"
#include "app/UnitOutput.h"
#include "archive/PathText.h"
#include "hardware/UnitProgramming.h"
#include "math/NumberFormat.h"
#include "math/Rounding.h"
#include "model/CurveExport.h"
#include "model/FilterExport.h"
#include "ui/IMessageBox.h"
#include "ui/ISettings.h"

#include <array>
#include <system_error>
#include <utility>

namespace kv {
namespace {

constexpr const char* kSaveFirst =
    "The current configuration isn't saved, do you want to save it first ? ";
constexpr const char* kSaveBeforeQuit =
    "The configuration has not been saved, do you want to save it before you quit?";
constexpr const char* kNothingToSave = "There's nothing to save !\n\nClick on the New button if "
                                       "you\nwant to create a configuration...";
constexpr const char* kNothingToDo =
    "There's nothing to do !\n\nClick on the New button if you\nwant to create a configuration...";

constexpr const char* kRestoreRecovery = "Restore the unsaved design ";
constexpr const char* kRecoveryDamaged =
    "The unsaved design of the last run could not be read and was not loaded; its file was "
    "kept as ";

constexpr const char* kShowCurves = "Show Curves";
constexpr const char* kSettingsSection = "Settings";
constexpr const char* kComPortName = "COM Port";
constexpr const char* kFileSection = "File";
constexpr const char* kLastFileName = "Last File";
constexpr const char* kPirLengthName = "Visible PIR Length";

struct FlagSetting {
    ShowFlag flag;
    const char* name;
};

constexpr std::array<FlagSetting, kShowFlagCount> kFlagSettings = {{
    {ShowFlag::ImportedSpl, "Show Imported SPL"},
    {ShowFlag::Filter, "Show Filter SPL"},
    {ShowFlag::Total, "Show Total SPL"},
    {ShowFlag::Target, "Show Target SPL"},
    {ShowFlag::SumFilter, "Show Sum Filter SPL"},
    {ShowFlag::SumTotal, "Show Sum Total SPL"},
    {ShowFlag::SumTarget, "Show Sum Target SPL"},
    {ShowFlag::Individual, "Show Individual"},
    {ShowFlag::Phase, "Show Phase"},
    {ShowFlag::GroupDelay, "Show Group-Delay"},
    {ShowFlag::UnwrappedPhase, "Show Unwrapped Phase"},
    {ShowFlag::Hardware, "Show Hardware SPL"},
}};

} // namespace

DesignSession::DesignSession(IMessageBox& messages, IFileChooser& files, ISettings& settings,
                             IDesignDialogs& dialogs)
    : messages_(messages), files_(files), settings_(settings), dialogs_(dialogs) {
    CreateMainGrid(grid_);
}

void DesignSession::ReadSettings() {
    const ShowFlags defaults = DefaultShowFlags();
    for (const FlagSetting& setting : kFlagSettings) {
        view_.showFlags[setting.flag] =
            settings_.GetInt(kShowCurves, setting.name, defaults[setting.flag] ? 1 : 0) != 0;
    }
    // A port the program cannot offer (a hand-edited setting) would leave the
    // port list blank and send Update HMQ nowhere.
    const int port = settings_.GetInt(kSettingsSection, kComPortName, kFirstPortNumber);
    comPort_ = port >= kFirstPortNumber && port <= kLastPortNumber ? port : kFirstPortNumber;
    lastFile_ = settings_.GetString(kFileSection, kLastFileName, "");
    recent_.Read();
}

void DesignSession::WriteSettings() {
    for (const FlagSetting& setting : kFlagSettings) {
        settings_.SetInt(kShowCurves, setting.name, view_.showFlags[setting.flag] ? 1 : 0);
    }
    settings_.SetInt(kSettingsSection, kComPortName, comPort_);
    settings_.SetString(kFileSection, kLastFileName, lastFile_);
    settings_.SetInt(kShowCurves, kPirLengthName,
                     static_cast<int>(RoundHalfAway(view_.visiblePirLength * 1000.0)));
}

void DesignSession::Start(const std::filesystem::path& fileToOpen) {
    ReadSettings();
    view_.visiblePirLength = kMainPirLength;
    view_.currentBand = -1;
    recovery_.Claim();
    if (OfferRecovery()) {
        Redraw();
        return;
    }
    const std::filesystem::path path = fileToOpen.empty() ? PathFromText(lastFile_) : fileToOpen;
    if (!path.empty() && !LoadFile(path) && fileToOpen.empty()) {
        // The last file of the previous run is gone or broken: forget it.
        lastFile_.clear();
    }
    saved_ = true;
    Redraw();
}

// Every copy of the program that crashed left its own file: each is offered
// in turn until the user takes one back.
bool DesignSession::OfferRecovery() {
    for (bool left = recovery_.Exists(); left; left = recovery_.ClaimNextLeftBehind()) {
        if (OfferRecoveryFile()) {
            return true;
        }
    }
    return false;
}

// A damaged file is never loaded silently: the user hears of it, and it is
// set aside rather than deleted.
bool DesignSession::OfferRecoveryFile() {
    const std::optional<UndoHistory::Snapshot> bytes = recovery_.Read();
    CConfiguration left;
    if (!bytes || !left.Restore(*bytes) || left.numBands < 1) {
        messages_.ShowError(kRecoveryDamaged + PathText(recovery_.SetAside()));
        return false;
    }
    const std::string question =
        kRestoreRecovery + ("\"" + left.title + "\" from ") + recovery_.WrittenAt() + "?";
    if (messages_.Ask(question, kMessageCaption, IMessageBox::Buttons::YesNo,
                      IMessageBox::Icon::Question) != IMessageBox::Answer::Yes) {
        recovery_.Remove();
        return false;
    }
    configuration_.Restore(*bytes);
    history_.Clear(false);
    view_.currentBand = 0;
    saved_ = false;
    Recalculate();
    return true;
}

bool DesignSession::MayReplaceDesign() {
    if (!HasDesign() || saved_) {
        return true;
    }
    return messages_.Ask(kSaveFirst, kMessageCaption, IMessageBox::Buttons::YesNo,
                         IMessageBox::Icon::Question) != IMessageBox::Answer::Yes;
}

void DesignSession::New() {
    if (!MayReplaceDesign()) {
        return;
    }
    const std::optional<NewDesignChoice> choice = dialogs_.AskNewDesign();
    if (!choice) {
        return;
    }
    configuration_.New(choice->bands, kDesignSampleRate);
    configuration_.SetTitle(choice->title);
    history_.Clear(false);
    selection_ = {};
    lastFile_.clear();
    Recalculate();
    view_.currentBand = 0;
    saved_ = false;
    Redraw();
}

void DesignSession::Load() {
    if (!MayReplaceDesign()) {
        return;
    }
    const std::optional<std::filesystem::path> path =
        files_.ChooseFileToOpen(DesignFileDialog(configuration_.fileName));
    if (path) {
        LoadFile(*path);
    }
}

// A load that fails leaves the open design as it was: its file, its history
// and whether it is saved.
bool DesignSession::LoadFile(const std::filesystem::path& path) {
    const UndoHistory::Snapshot before = HasDesign() ? Snapshot() : UndoHistory::Snapshot();
    if (!configuration_.Load(path, messages_)) {
        if (!before.empty()) {
            configuration_.Restore(before);
        }
        Recalculate();
        Redraw();
        return false;
    }
    if (HasDesign()) {
        lastFile_ = PathText(path);
        recent_.Add(lastFile_);
    }
    // A selection in a band the new design lacks would edit a band that is
    // not in use.
    selection_ = {};
    view_.currentBand = 0;
    saved_ = true;
    history_.Clear(true);
    recovery_.Remove();
    Recalculate();
    Redraw();
    return true;
}

void DesignSession::OpenFile(const std::filesystem::path& path) {
    if (!MayReplaceDesign()) {
        return;
    }
    std::error_code error;
    const bool gone = !std::filesystem::exists(path, error);
    if (!LoadFile(path) && gone) {
        recent_.Remove(PathText(path));
        Redraw();
    }
}

bool DesignSession::Save() {
    if (!HasDesign() || configuration_.fileName.empty()) {
        return SaveAs();
    }
    return SaveTo(PathFromText(configuration_.fileName));
}

bool DesignSession::SaveAs() {
    if (!HasDesign()) {
        messages_.Show(kNothingToSave, kMessageCaption, IMessageBox::Icon::Information);
        return false;
    }
    const std::string preset = configuration_.fileName.empty()
                                   ? TitleAsFileName(configuration_.title)
                                   : configuration_.fileName;
    const std::optional<std::filesystem::path> path =
        files_.ChooseFileToSave(DesignFileDialog(preset));
    if (!path) {
        return false;
    }
    const bool written = SaveTo(*path);
    if (written) {
        lastFile_ = PathText(*path);
    }
    return written;
}

bool DesignSession::SaveTo(const std::filesystem::path& path) {
    saved_ = configuration_.Save(path, messages_);
    if (saved_) {
        history_.MarkSaved();
        recovery_.Remove();
        recent_.Add(PathText(path));
    }
    Redraw();
    return saved_;
}

// A title is stored in the project file, so changing it is a change to
// save.
void DesignSession::ChangeTitle() {
    if (!HasDesign()) {
        return;
    }
    const std::optional<std::string> title = dialogs_.AskTitle(configuration_.title);
    if (!title || *title == configuration_.title) {
        return;
    }
    UndoHistory::Snapshot before = Snapshot();
    configuration_.SetTitle(*title);
    CommitChange(std::move(before), "Change Title");
}

void DesignSession::UpdateHmq() {
    if (!HasDesign()) {
        messages_.Show(kNothingToDo, kMessageCaption, IMessageBox::Icon::Information);
        return;
    }
    dialogs_.ProgramUnit(configuration_, comPort_);
}

void DesignSession::WriteCfgFile() {
    if (!HasDesign()) {
        messages_.Show(kNothingToDo, kMessageCaption, IMessageBox::Icon::Information);
        return;
    }
    WriteCfgFileChosenByUser(configuration_, files_, settings_, messages_);
}

void DesignSession::ExportCurve(bool total) {
    const int band = view_.currentBand;
    if (!HasDesign() || (!total && (band < 0 || band >= configuration_.numBands))) {
        return;
    }
    const std::optional<std::filesystem::path> path = files_.ChooseFileToSave(CurveFileDialog());
    if (path) {
        kv::ExportCurve(*path, grid_,
                        total ? configuration_.sumTotalResponse
                              : configuration_.bands[static_cast<std::size_t>(band)].totalResponse,
                        messages_);
    }
}

void DesignSession::ExportFilters() {
    const int band = view_.currentBand;
    if (!HasDesign() || band < 0 || band >= configuration_.numBands) {
        return;
    }
    const CBand& source = configuration_.bands[static_cast<std::size_t>(band)];
    const std::optional<std::filesystem::path> path = files_.ChooseFileToSave(
        EqualiserTextFileDialog(TitleAsFileName(configuration_.title + " " + source.GetName())));
    if (path) {
        kv::ExportFilters(*path, source, messages_);
    }
}

// Quitting after a failed or cancelled save would lose the design, so the
// program then stays open with the design as it was.
bool DesignSession::Close() {
    if (!saved_ && HasDesign()) {
        switch (messages_.Ask(kSaveBeforeQuit, kMessageCaption, IMessageBox::Buttons::YesNoCancel,
                              IMessageBox::Icon::Question)) {
        case IMessageBox::Answer::Yes:
            if (!Save()) {
                return false;
            }
            break;
        case IMessageBox::Answer::No:
            break;
        case IMessageBox::Answer::Cancel:
        case IMessageBox::Answer::Ok:
            return false;
        }
    }
    WriteSettings();
    recovery_.Remove();
    return true;
}

bool DesignSession::Recalculate() {
    const bool changed = configuration_.Recalculate(&grid_, view_.visiblePirLength);
    if (changed) {
        Redraw();
    }
    return changed;
}

void DesignSession::LiveChange() {
    configuration_.Recalculate(&grid_, view_.visiblePirLength);
    saved_ = !HasDesign();
    Redraw();
}

// A dialog that ends with the design as it began (Cancel) leaves no step and
// the design as saved as it was.
void DesignSession::CommitChange(UndoHistory::Snapshot before, const std::string& description) {
    history_.Record(std::move(before), Snapshot(), description);
    saved_ = !HasDesign() || history_.AtSavedPoint();
    if (saved_) {
        recovery_.Remove();
    }
    Redraw();
}

// The file a design belongs to is no part of its history: a step recorded
// before a Save As would otherwise send the next Save to the old file.
void DesignSession::PutBack(const UndoHistory::Snapshot& snapshot) {
    std::string fileName = std::move(configuration_.fileName);
    configuration_.Restore(snapshot);
    configuration_.fileName = std::move(fileName);
    saved_ = history_.AtSavedPoint();
    if (saved_) {
        recovery_.Remove();
    }
    Recalculate();
    Redraw();
}

void DesignSession::Undo() {
    if (history_.CanUndo()) {
        PutBack(history_.Undo());
    }
}

void DesignSession::Redo() {
    if (history_.CanRedo()) {
        PutBack(history_.Redo());
    }
}

// A copy that could not be opened after a crash would be worse than the
// older one it replaces.
void DesignSession::WriteRecovery() {
    if (HasDesign() && !saved_) {
        const UndoHistory::Snapshot snapshot = Snapshot();
        if (CConfiguration::IsLoadable(snapshot)) {
            recovery_.Write(snapshot);
        }
    }
}

void DesignSession::Redraw() {
    warnings_ = HasDesign()
                    ? HardwareWarnings(HardwareCheck(configuration_).Run(), configuration_.numBands)
                    : HardwareWarnings();
    if (redraw_) {
        redraw_();
    }
}

std::string DesignSession::WindowTitle() const {
    if (!HasDesign()) {
        return kMessageCaption;
    }
    return std::string(kMessageCaption) + " - " + configuration_.title + " [" +
           std::to_string(configuration_.numBands) + " way, " +
           std::to_string(configuration_.bitDepth) + " bits @ " +
           FormatFixed(configuration_.sampleRate / 1000.0, 0) + " kHz]";
}

} // namespace kv
