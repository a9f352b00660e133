#pragma once

#include "app/IBlockDialogs.h"

class QWidget;

namespace kv {

class DesignSession;
class IMessageBox;

// The dialogs of the schematic's blocks, over the main window.
class CBlockDialogs : public IBlockDialogs {
public:
    CBlockDialogs(QWidget* parent, DesignSession& session, IMessageBox& messages)
        : parent_(parent), session_(session), messages_(messages) {}

    bool OpenBlockDialog(BlockKind kind, int band) override;

private:
    QWidget* parent_;
    DesignSession& session_;
    IMessageBox& messages_;
};

} // namespace kv
