#pragma once

#include "session/RecoveryFile.h"
#include "session/UndoHistory.h"

#include <filesystem>

namespace kv {

class CConfiguration;
class IMessageBox;

// A design's past: its undo history, which point of it the file holds, and
// the recovery copy that keeps unsaved work against a crash.
class DesignHistory {
public:
    UndoHistory& Undo() { return undo_; }
    const UndoHistory& Undo() const { return undo_; }

    // Where unsaved designs are kept against a crash; set before the first
    // OfferRecovery.
    void SetRecoveryFolder(const std::filesystem::path& folder) { recovery_.SetFolder(folder); }
    // Offers the work of every copy of the program that crashed, in turn,
    // until the user takes one back into design; true then.
    bool OfferRecovery(CConfiguration& design, IMessageBox& messages);
    // Keeps the design in the recovery copy, when it would load again.
    void KeepForRecovery(CConfiguration& design);
    // The file holds the design now (or the user chose to drop it): no
    // recovery copy is needed.
    void DropRecovery() { recovery_.Remove(); }

private:
    // Offers the recovery file held; true when the user took it back.
    bool OfferRecoveryFile(CConfiguration& design, IMessageBox& messages);

    UndoHistory undo_;
    RecoveryFile recovery_;
};

} // namespace kv
