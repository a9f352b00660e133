#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace kv {

// What a file dialog is opened with.
struct FileDialogRequest {
    // "Kestrelvane Files (*.ksv)": a description and its patterns.
    std::string filter;
    // Added when the user types a name without one ("ksv").
    std::string defaultSuffix;
    // The file name (or path) the dialog starts with.
    std::string preset;
};

// How the commands ask the user for a file. The desktop program shows the
// platform's file dialogs; tests answer from a script.
class IFileChooser {
public:
    virtual ~IFileChooser() = default;

    // The file to open; nothing when the user cancelled.
    virtual std::optional<std::filesystem::path>
    ChooseFileToOpen(const FileDialogRequest& request) = 0;
    // The file to write, the user having agreed to replace an existing one;
    // nothing when the user cancelled.
    virtual std::optional<std::filesystem::path>
    ChooseFileToSave(const FileDialogRequest& request) = 0;
};

} // namespace kv
