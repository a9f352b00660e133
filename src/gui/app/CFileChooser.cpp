#include "app/CFileChooser.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>

namespace kv {

std::optional<std::filesystem::path>
CFileChooser::ChooseFileToOpen(const FileDialogRequest& request) {
    return Choose(request, false);
}

std::optional<std::filesystem::path>
CFileChooser::ChooseFileToSave(const FileDialogRequest& request) {
    return Choose(request, true);
}

std::optional<std::filesystem::path> CFileChooser::Choose(const FileDialogRequest& request,
                                                          bool save) {
    // Over the dialog that asked (the SPL Curve dialog's "..."), so that the
    // focus goes back to that dialog when the file dialog closes.
    QWidget* const active = QApplication::activeWindow();
    QFileDialog dialog(active != nullptr ? active : parent_);
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setNameFilters(QString::fromStdString(request.filter).split(QStringLiteral(";;")));
    dialog.setDefaultSuffix(QString::fromStdString(request.defaultSuffix));
    dialog.setOption(QFileDialog::ReadOnly, false);
    // A preset without a folder (a title, or nothing) opens where the user
    // last was.
    const QString preset = QString::fromStdString(request.preset);
    if (!lastFolder_.isEmpty() && QFileInfo(preset).fileName() == preset) {
        dialog.setDirectory(lastFolder_);
    }
    if (!preset.isEmpty()) {
        dialog.selectFile(preset);
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    const QString chosen = dialog.selectedFiles().constFirst();
    lastFolder_ = QFileInfo(chosen).absolutePath();
    return std::filesystem::path(chosen.toStdU16String());
}

} // namespace kv
