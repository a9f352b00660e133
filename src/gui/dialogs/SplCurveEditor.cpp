#include "dialogs/SplCurveEditor.h"

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
    const bool loaded =
        engine_.Import(messages_, path, options) && LoadSplCurve(band_, engine_, path);
    if (!loaded) {
        messages_.ShowError(kImportFailed);
    }
    changed_();
    return loaded;
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
