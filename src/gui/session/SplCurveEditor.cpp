#include "session/SplCurveEditor.h"

#include "import/ImportFormat.h"
#include "model/BandSettings.h"
#include "model/SplCurve.h"
#include "ui/IMessageBox.h"

namespace kv {

SplCurveEditor::SplCurveEditor(BandSettings& band, IMessageBox& messages)
    : band_(band), messages_(messages) {}

bool SplCurveEditor::Import(const std::filesystem::path& path, const ImportOptions& options) {
    // A field that lets go of the focus under the failure's message box
    // must not gate or phase what is no longer the loaded curve.
    offersGate_ = false;
    offersPhase_ = false;
    const bool imported = engine_.Import(messages_, path, options);
    const bool loaded = imported && LoadCurve();
    if (!loaded) {
        messages_.ShowError(SplImportFailure(engine_, path, report_));
    }
    offersGate_ = loaded && engine_.Kind() == ImportKind::TimeResponse;
    offersPhase_ = loaded;
    return loaded;
}

bool SplCurveEditor::LoadCurve() {
    report_ = {};
    applied_ = gate_;
    appliedPhase_ = phase_;
    return LoadSplCurve(band_, engine_, path_, gating_, gate_, &report_, phase_, &phaseReport_);
}

// As for the gate, the same choice again is not worth another curve.
bool SplCurveEditor::ApplyPhase() {
    if (!offersPhase_) {
        return false;
    }
    return phase_ == appliedPhase_ || LoadCurve();
}

// The gate's own outcome is the dialog's to show beside the gate: a box
// for every step of a held arrow would trap the user. A field reports on
// every focus-out, changed or not; the same gate again is not worth another
// transform and recalculation.
bool SplCurveEditor::ApplyGate() {
    if (!offersGate_) {
        return false;
    }
    if (gate_ == applied_) {
        return report_.outcome == GateOutcome::Gated;
    }
    return LoadCurve();
}

bool SplCurveEditor::LoadFile(const std::filesystem::path& path) {
    path_ = path;
    return Import(path, {});
}

bool SplCurveEditor::ChooseColumn(const std::string& name) {
    return Import(path_, {name});
}

} // namespace kv
