#pragma once

#include "math/VFreqVec.h"
#include "model/CConfiguration.h"
#include "session/BlockWarnings.h"

#include <cstdint>
#include <filesystem>
#include <string>

namespace kv {

class IMessageBox;

// The design the window edits, the grid its responses are computed on, the
// file it belongs to and whether that file holds it, and what the hardware
// check says of it.
class DesignDocument {
public:
    DesignDocument();
    DesignDocument(const DesignDocument&) = delete;
    DesignDocument& operator=(const DesignDocument&) = delete;

    CConfiguration& Design() { return design_; }
    const CConfiguration& Design() const { return design_; }
    const VFreqVec& Grid() const { return grid_; }
    bool HasDesign() const { return design_.numBands > 0; }

    // Whether the design's file holds the design as it is.
    bool Saved() const { return saved_; }
    void SetSaved(bool saved) { saved_ = saved; }
    // The file of the last design loaded or saved (as "Last File" keeps it).
    const std::string& LastFile() const { return lastFile_; }
    void SetLastFile(const std::string& path) { lastFile_ = path; }

    // What follows every change of the design: the bands it touched are
    // recomputed with time responses pirLength seconds long, and the
    // hardware check and the drivers' safety check run, once.
    void Update(double pirLength);
    // What the unit cannot run: the design cannot be programmed.
    const BlockWarnings& Warnings() const { return warnings_; }
    // What may harm a driver or the ears; programming goes on.
    const BlockWarnings& SafetyWarnings() const { return safety_; }
    // Counts the hardware checks run, so that the window redoes what it
    // shows of them only after a new one.
    std::uint64_t Checks() const { return checks_; }

    // Reads a project file in place of the design; a file that does not
    // load leaves the design as it was (the user has been told why).
    bool Load(const std::filesystem::path& path, IMessageBox& messages);
    // Writes the design to path; saved follows the outcome.
    bool SaveTo(const std::filesystem::path& path, IMessageBox& messages);

    // "Kestrelvane (HMQ27) - Untitled [3 way, 24 bits @ 96 kHz]", or the
    // program's name without a design. For the window's title bar, the
    // design's title is followed by the place where the window marks unsaved
    // changes ("[*]", an asterisk on most desktops).
    std::string WindowTitle(bool forTitleBar = false) const;

private:
    CConfiguration design_;
    VFreqVec grid_;
    std::string lastFile_;
    bool saved_ = true;
    BlockWarnings warnings_;
    BlockWarnings safety_;
    std::uint64_t checks_ = 0;
};

} // namespace kv
