#pragma once

#include "app/IBlockDialogs.h"

class QWidget;

namespace kv {

class DesignSession;

// The dialogs of the schematic's blocks, over the main window.
class CBlockDialogs : public IBlockDialogs {
public:
    CBlockDialogs(QWidget* parent, DesignSession& session) : parent_(parent), session_(session) {}

    bool OpenBlockDialog(BlockKind kind, int band) override;

private:
    QWidget* parent_;
    DesignSession& session_;
};

} // namespace kv
