#include "session/DesignDocument.h"

#include "hardware/DriverSafety.h"
#include "hardware/HardwareCheck.h"
#include "math/NumberFormat.h"
#include "model/MainGrid.h"
#include "ui/IMessageBox.h"

namespace kv {

DesignDocument::DesignDocument() {
    CreateMainGrid(grid_);
}

void DesignDocument::Update(double pirLength) {
    design_.Recalculate(&grid_, pirLength);
    warnings_ = HasDesign() ? BlockWarnings(HardwareCheck(design_).Run(), design_.numBands)
                            : BlockWarnings();
    safety_ = HasDesign() ? BlockWarnings(CheckDriverSafety(design_, grid_), design_.numBands)
                          : BlockWarnings();
    ++checks_;
}

bool DesignDocument::Load(const std::filesystem::path& path, IMessageBox& messages) {
    const DesignSettings before = design_.Settings();
    const std::string fileBefore = design_.fileName;
    const int bandsBefore = design_.numBands;
    if (design_.Load(path, messages)) {
        return true;
    }
    if (bandsBefore > 0) {
        design_.New(bandsBefore, kDesignSampleRate);
        design_.SetSettings(before);
        design_.fileName = fileBefore;
    }
    return false;
}

bool DesignDocument::SaveTo(const std::filesystem::path& path, IMessageBox& messages) {
    saved_ = design_.Save(path, messages);
    return saved_;
}

// In a title bar "[*]" is the mark's place; a title that holds the same text
// shows it through "[*][*]".
std::string DesignDocument::WindowTitle(bool forTitleBar) const {
    if (!HasDesign()) {
        return kMessageCaption;
    }
    std::string title = design_.title;
    if (forTitleBar) {
        for (std::size_t at = title.find("[*]"); at != std::string::npos;
             at = title.find("[*]", at + 6)) {
            title.insert(at, "[*]");
        }
        title += "[*]";
    }
    return std::string(kMessageCaption) + " - " + title + " [" + std::to_string(design_.numBands) +
           " way, " + std::to_string(design_.bitDepth) + " bits @ " +
           FormatFixed(design_.sampleRate / 1000.0, 0) + " kHz]";
}

} // namespace kv
