#pragma once

#include "session/IFileChooser.h"

#include <QString>

class QWidget;

namespace kv {

// The platform's file dialogs over a parent window. The folder of the last
// file chosen is where the next dialog opens.
class CFileChooser : public IFileChooser {
public:
    explicit CFileChooser(QWidget* parent) : parent_(parent) {}

    std::optional<std::filesystem::path>
    ChooseFileToOpen(const FileDialogRequest& request) override;
    std::optional<std::filesystem::path>
    ChooseFileToSave(const FileDialogRequest& request) override;

private:
    std::optional<std::filesystem::path> Choose(const FileDialogRequest& request, bool save);

    QWidget* parent_;
    QString lastFolder_;
};

} // namespace kv
