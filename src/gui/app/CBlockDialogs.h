#pragma once

#include "session/IBlockDialogs.h"

#include <memory>

class QDialog;
class QWidget;

namespace kv {

class DesignSession;
class IFileChooser;
class IMessageBox;

// The dialogs of the schematic's blocks, over the main window; each edits
// its band live and recalculates through the session.
class CBlockDialogs : public IBlockDialogs {
public:
    CBlockDialogs(QWidget* parent, DesignSession& session, IMessageBox& messages,
                  IFileChooser& files)
        : parent_(parent), session_(session), messages_(messages), files_(files) {}

    bool OpenBlockDialog(BlockKind kind, int band) override;

private:
    std::unique_ptr<QDialog> DialogFor(BlockKind kind, int band);

    QWidget* parent_;
    DesignSession& session_;
    IMessageBox& messages_;
    IFileChooser& files_;
};

} // namespace kv
