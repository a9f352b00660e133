#include "session/DesignSession.h"

#include "archive/PathText.h"
#include "model/CurveExport.h"
#include "model/FilterExport.h"
#include "session/FileDialogs.h"
#include "session/IDesignDialogs.h"
#include "session/IFileChooser.h"
#include "session/UnitOutput.h"
#include "ui/IMessageBox.h"
#include "ui/ISettings.h"

#include <system_error>
#include <utility>

namespace kv {
namespace {

constexpr const char* kNothingToSave = "There's nothing to save !\n\nClick on the New button if "
                                       "you\nwant to create a configuration...";
constexpr const char* kNothingToDo =
    "There's nothing to do !\n\nClick on the New button if you\nwant to create a configuration...";

constexpr const char* kFileSection = "File";
constexpr const char* kLastFileName = "Last File";

} // namespace

DesignSession::DesignSession(IMessageBox& messages, IFileChooser& files, ISettings& settings,
                             IDesignDialogs& dialogs)
    : messages_(messages), files_(files), settings_(settings), dialogs_(dialogs) {}

void DesignSession::ReadSettings() {
    view_.Read(settings_);
    document_.SetLastFile(settings_.GetString(kFileSection, kLastFileName, ""));
    recent_.Read();
}

void DesignSession::WriteSettings() {
    view_.Write(settings_);
    settings_.SetString(kFileSection, kLastFileName, document_.LastFile());
}

void DesignSession::Start(const std::filesystem::path& fileToOpen) {
    ReadSettings();
    view_.SetCurrentBand(-1);
    if (history_.OfferRecovery(document_.Design(), messages_)) {
        Opened(false);
        return;
    }
    const std::filesystem::path path =
        fileToOpen.empty() ? PathFromText(document_.LastFile()) : fileToOpen;
    if (!path.empty() && !LoadFile(path) && fileToOpen.empty()) {
        // The last file of the previous run is gone or broken: forget it.
        document_.SetLastFile({});
    }
    DesignChanged();
}

void DesignSession::Opened(bool saved) {
    ++replacements_;
    history_.Undo().Clear(saved);
    // A selection in a band the new design lacks would edit a band that is
    // not in use.
    view_.ClearSelection();
    view_.SetCurrentBand(0);
    document_.SetSaved(saved);
    DesignChanged();
}

// Save saves (through Save As when the design has no file yet) and lets the
// design go only once it is safely written; Cancel keeps it open.
bool DesignSession::MayLetDesignGo(const std::string& before) {
    if (blockDialogOpen_) {
        return false;
    }
    if (!document_.HasDesign() || document_.Saved()) {
        return true;
    }
    const std::string question =
        "Save changes to \"" + document_.Design().title + "\" before " + before + "?";
    switch (messages_.Ask(question, kMessageCaption, IMessageBox::Buttons::SaveDiscardCancel,
                          IMessageBox::Icon::Question)) {
    case IMessageBox::Answer::Save:
        return Save();
    case IMessageBox::Answer::Discard:
        return true;
    default:
        return false;
    }
}

void DesignSession::New() {
    if (!MayLetDesignGo("starting a new design")) {
        return;
    }
    const std::optional<NewDesignChoice> choice = dialogs_.AskNewDesign();
    if (!choice) {
        return;
    }
    CConfiguration& design = document_.Design();
    design.New(choice->bands, kDesignSampleRate);
    design.SetTitle(choice->title);
    document_.SetLastFile({});
    Opened(false);
}

void DesignSession::Load() {
    if (!MayLetDesignGo("opening another design")) {
        return;
    }
    const std::optional<std::filesystem::path> path =
        files_.ChooseFileToOpen(DesignFileDialog(document_.Design().fileName));
    if (path) {
        LoadFile(*path);
    }
}

bool DesignSession::LoadFile(const std::filesystem::path& path) {
    if (!document_.Load(path, messages_)) {
        DesignChanged();
        return false;
    }
    if (document_.HasDesign()) {
        document_.SetLastFile(PathText(path));
        recent_.Add(document_.LastFile());
    }
    history_.DropRecovery();
    Opened(true);
    return true;
}

void DesignSession::OpenFile(const std::filesystem::path& path) {
    if (!MayLetDesignGo("opening another design")) {
        return;
    }
    std::error_code error;
    const bool gone = !std::filesystem::exists(path, error);
    if (!LoadFile(path) && gone) {
        recent_.Remove(PathText(path));
        Redraw();
    }
}

// The example opens as a new design without a file, so that Save asks where
// to keep the user's version of it and the example itself stays as shipped.
bool DesignSession::OpenExample(const std::vector<std::uint8_t>& bytes) {
    if (!MayLetDesignGo("opening another design")) {
        return false;
    }
    CConfiguration example;
    if (!example.Restore(bytes)) {
        messages_.ShowError("The example design could not be read; the installation may be "
                            "damaged.");
        return false;
    }
    CConfiguration& design = document_.Design();
    design.New(example.numBands, kDesignSampleRate);
    design.SetSettings(example.Settings());
    document_.SetLastFile({});
    Opened(false);
    return true;
}

void DesignSession::SetBlockDialogOpen(bool open) {
    blockDialogOpen_ = open;
    Redraw();
}

bool DesignSession::Save() {
    if (blockDialogOpen_) {
        return false;
    }
    const CConfiguration& design = document_.Design();
    if (!document_.HasDesign() || design.fileName.empty()) {
        return SaveAs();
    }
    return SaveTo(PathFromText(design.fileName));
}

bool DesignSession::SaveAs() {
    if (blockDialogOpen_) {
        return false;
    }
    if (!document_.HasDesign()) {
        messages_.Show(kNothingToSave, kMessageCaption, IMessageBox::Icon::Information);
        return false;
    }
    const CConfiguration& design = document_.Design();
    const std::string preset =
        design.fileName.empty() ? TitleAsFileName(design.title) : design.fileName;
    const std::optional<std::filesystem::path> path =
        files_.ChooseFileToSave(DesignFileDialog(preset));
    if (!path) {
        return false;
    }
    const bool written = SaveTo(*path);
    if (written) {
        document_.SetLastFile(PathText(*path));
    }
    return written;
}

bool DesignSession::SaveTo(const std::filesystem::path& path) {
    const bool saved = document_.SaveTo(path, messages_);
    if (saved) {
        history_.Undo().MarkSaved();
        history_.DropRecovery();
        recent_.Add(PathText(path));
    }
    Redraw();
    return saved;
}

// A title is stored in the project file, so changing it is a change to
// save.
void DesignSession::ChangeTitle() {
    if (blockDialogOpen_ || !document_.HasDesign()) {
        return;
    }
    const std::optional<std::string> title = dialogs_.AskTitle(document_.Design().title);
    if (title) {
        Change("Change Title", [&title](CConfiguration& design) {
            design.SetTitle(*title);
            return true;
        });
    }
}

void DesignSession::UpdateHmq() {
    if (blockDialogOpen_) {
        return;
    }
    if (!document_.HasDesign()) {
        messages_.Show(kNothingToDo, kMessageCaption, IMessageBox::Icon::Information);
        return;
    }
    dialogs_.ProgramUnit(document_.Design(), view_.Port(), document_.SafetyWarnings());
}

void DesignSession::WriteCfgFile() {
    if (blockDialogOpen_) {
        return;
    }
    if (!document_.HasDesign()) {
        messages_.Show(kNothingToDo, kMessageCaption, IMessageBox::Icon::Information);
        return;
    }
    if (const std::optional<std::filesystem::path> written =
            WriteCfgFileChosenByUser(document_.Design(), files_, settings_, messages_)) {
        NoticeWritten(*written);
    }
}

// A file written shows nowhere in the window: without a word the user
// cannot tell that it went where they meant.
void DesignSession::NoticeWritten(const std::filesystem::path& path) {
    if (notice_) {
        notice_("Wrote " + PathText(path) + ".");
    }
}

void DesignSession::ExportCurve(bool total) {
    const int band = view_.CurrentBand();
    const CConfiguration& design = document_.Design();
    if (!document_.HasDesign() || (!total && (band < 0 || band >= design.numBands))) {
        return;
    }
    const std::optional<std::filesystem::path> path = files_.ChooseFileToSave(CurveFileDialog());
    if (path && kv::ExportCurve(*path, document_.Grid(),
                                total ? design.sumTotalResponse
                                      : design.bands[static_cast<std::size_t>(band)].totalResponse,
                                messages_)) {
        NoticeWritten(*path);
    }
}

void DesignSession::ExportFilters() {
    const int band = view_.CurrentBand();
    const CConfiguration& design = document_.Design();
    if (!document_.HasDesign() || band < 0 || band >= design.numBands) {
        return;
    }
    const CBand& source = design.bands[static_cast<std::size_t>(band)];
    const std::optional<std::filesystem::path> path = files_.ChooseFileToSave(
        EqualiserTextFileDialog(TitleAsFileName(design.title + " " + source.GetName())));
    if (path && kv::ExportFilters(*path, source, design.title, messages_)) {
        NoticeWritten(*path);
    }
}

// Quitting after a failed or cancelled save would lose the design, so the
// program then stays open with the design as it was.
bool DesignSession::Close() {
    if (!MayLetDesignGo("closing")) {
        return false;
    }
    WriteSettings();
    history_.DropRecovery();
    return true;
}

bool DesignSession::Change(const std::string& description,
                           const std::function<bool(CConfiguration&)>& edit) {
    if (blockDialogOpen_) {
        return false;
    }
    const DesignSettings before = document_.Design().Settings();
    if (!edit(document_.Design())) {
        return false;
    }
    document_.Update(view_.PirLength());
    CommitChange(before, description);
    return true;
}

void DesignSession::LiveChange() {
    document_.SetSaved(!document_.HasDesign());
    DesignChanged();
}

void DesignSession::CommitChange(const DesignSettings& before, const std::string& description) {
    history_.Undo().Record(before, document_.Design().Settings(), description);
    SettleSavedState();
    Redraw();
}

void DesignSession::SettleSavedState() {
    const bool saved = !document_.HasDesign() || history_.Undo().AtSavedPoint();
    document_.SetSaved(saved);
    if (saved) {
        history_.DropRecovery();
    }
}

void DesignSession::ViewChanged() {
    Redraw();
}

void DesignSession::SetPirLength(double seconds) {
    if (view_.SetPirLength(seconds)) {
        DesignChanged();
    }
}

void DesignSession::DesignChanged() {
    document_.Update(view_.PirLength());
    Redraw();
}

void DesignSession::PutBack(const DesignSettings& settings) {
    ++replacements_;
    document_.Design().SetSettings(settings);
    SettleSavedState();
    DesignChanged();
}

void DesignSession::Undo() {
    if (!blockDialogOpen_ && history_.Undo().CanUndo()) {
        PutBack(history_.Undo().Undo());
    }
}

void DesignSession::Redo() {
    if (!blockDialogOpen_ && history_.Undo().CanRedo()) {
        PutBack(history_.Undo().Redo());
    }
}

void DesignSession::WriteRecovery() {
    if (document_.HasDesign() && !document_.Saved()) {
        history_.KeepForRecovery(document_.Design());
    }
}

void DesignSession::Redraw() {
    if (redraw_) {
        redraw_();
    }
}

} // namespace kv
