#include "session/DesignHistory.h"

#include "archive/PathText.h"
#include "model/CConfiguration.h"
#include "ui/IMessageBox.h"

#include <optional>

namespace kv {
namespace {

constexpr const char* kRestoreRecovery = "Restore the unsaved design ";
constexpr const char* kRecoveryDamaged =
    "The unsaved design of the last run could not be read and was not loaded; its file was "
    "kept as ";

} // namespace

// Every copy of the program that crashed left its own file: each is offered
// in turn until the user takes one back.
bool DesignHistory::OfferRecovery(CConfiguration& design, IMessageBox& messages) {
    recovery_.Claim();
    for (bool left = recovery_.Exists(); left; left = recovery_.ClaimNextLeftBehind()) {
        if (OfferRecoveryFile(design, messages)) {
            return true;
        }
    }
    return false;
}

// A damaged file is never loaded silently: the user hears of it, and it is
// set aside rather than deleted.
bool DesignHistory::OfferRecoveryFile(CConfiguration& design, IMessageBox& messages) {
    const std::optional<std::vector<std::uint8_t>> bytes = recovery_.Read();
    CConfiguration left;
    if (!bytes || !left.Restore(*bytes) || left.numBands < 1) {
        messages.ShowError(kRecoveryDamaged + PathText(recovery_.SetAside()));
        return false;
    }
    const std::string question =
        kRestoreRecovery + ("\"" + left.title + "\" from ") + recovery_.WrittenAt() + "?";
    if (messages.Ask(question, kMessageCaption, IMessageBox::Buttons::YesNo,
                     IMessageBox::Icon::Question) != IMessageBox::Answer::Yes) {
        recovery_.Remove();
        return false;
    }
    design.Restore(*bytes);
    return true;
}

// A copy that could not be opened after a crash would be worse than the
// older one it replaces.
void DesignHistory::KeepForRecovery(CConfiguration& design) {
    const std::vector<std::uint8_t> snapshot = design.Snapshot();
    if (CConfiguration::IsLoadable(snapshot)) {
        recovery_.Write(snapshot);
    }
}

} // namespace kv
