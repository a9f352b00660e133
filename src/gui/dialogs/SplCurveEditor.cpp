#include "dialogs/SplCurveEditor.h"

#include "import/ImportFormat.h"
#include "model/CBand.h"
#include "model/SplCurve.h"
#include "ui/IMessageBox.h"

#include <utility>

namespace kv {
namespace {

constexpr const char* kImportFailed = "Failed to import the SPL curve!";

} // namespace

SplCurveEditor::SplCurveEditor(CBand& band, IMessageBox& messages, std::function<void()> changed)
    : band_(band), messages_(messages), changed_(std::move(changed)), backup_(band) {}

bool SplCurveEditor::Import(const std::filesystem::path& path, const ImportOptions& options) {
    if (!engine_.Import(messages_, path, options)) {
        messages_.ShowError(kImportFailed);
        changed_();
        return false;
    }
    return LoadCurve();
}

bool SplCurveEditor::LoadCurve() {
    report_ = {};
    const bool loaded = LoadSplCurve(band_, engine_, path_, gating_, gate_, &report_);
    if (!loaded) {
        const std::string why = DescribeGateOutcome(report_.outcome);
        messages_.ShowError(GatesTimeResponse() && !why.empty()
                                ? std::string(kImportFailed) + "\n\n" + why
                                : kImportFailed);
    }
    changed_();
    return loaded;
}

bool SplCurveEditor::GatesTimeResponse() const {
    return engine_.Kind() == ImportKind::TimeResponse;
}

bool SplCurveEditor::SetGate(const ImpulseGate& gate) {
    gate_ = gate;
    return GatesTimeResponse() && LoadCurve();
}

bool SplCurveEditor::LoadFile(const std::filesystem::path& path) {
    path_ = path;
    return Import(path, {});
}

bool SplCurveEditor::ChooseColumn(const std::string& name) {
    return Import(path_, {name});
}

void SplCurveEditor::SetSmoothing(int n) {
    kv::SetSmoothing(band_, n);
    changed_();
}

void SplCurveEditor::Cancel() {
    backup_.Restore(band_);
    changed_();
}

} // namespace kv
