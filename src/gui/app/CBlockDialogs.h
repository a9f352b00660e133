#pragma once

#include "session/IBlockDialogs.h"

#include <QPointer>
#include <memory>

class QWidget;

namespace kv {

class DesignSession;
class IFileChooser;
class IMessageBox;
class LiveEditDialog;
class WindowPlacer;

// The dialogs of the schematic's blocks, beside the response panes; each
// edits its band live and recalculates through the session. While one is
// open, the window takes only the mouse on its response views, so that the
// handles there change the band too, and the dialog shows what they did.
class CBlockDialogs : public IBlockDialogs {
public:
    CBlockDialogs(QWidget* parent, DesignSession& session, IMessageBox& messages,
                  IFileChooser& files, WindowPlacer& placer)
        : parent_(parent), session_(session), messages_(messages), files_(files), placer_(placer) {}

    bool OpenBlockDialog(BlockKind kind, int band) override;
    // The dialog of a block of a band, not yet shown.
    std::unique_ptr<LiveEditDialog> DialogFor(BlockKind kind, int band);
    // The open dialog shows what the design holds after a change made
    // outside it.
    void ShowDesignInOpenDialog();

private:
    QWidget* parent_;
    DesignSession& session_;
    IMessageBox& messages_;
    IFileChooser& files_;
    WindowPlacer& placer_;
    QPointer<LiveEditDialog> open_;
};

} // namespace kv
