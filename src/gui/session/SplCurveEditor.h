#pragma once

#include "import/CImportEngine.h"
#include "model/ImpulseGate.h"
#include "model/SplPhase.h"

#include <filesystem>
#include <string>
#include <vector>

namespace kv {

class BandSettings;
class IMessageBox;

// The "SPL Curve" dialog's editing without the dialog: a driver's measured
// curve imported into a band, its level column when the file has several,
// and the gate of a file that holds a time response. Every change goes into
// the band at once.
class SplCurveEditor {
public:
    SplCurveEditor(BandSettings& band, IMessageBox& messages);

    // Imports the file as the band's curve; false, after telling the user,
    // when it gives none (the band keeps what it had).
    bool LoadFile(const std::filesystem::path& path);
    // The level columns of the last file, when it names them, and the one
    // the curve was read from.
    const std::vector<std::string>& LevelColumns() const { return engine_.LevelColumns(); }
    const std::string& LevelColumn() const { return engine_.LevelColumn(); }
    // Reads the curve again from another level column of the last file.
    bool ChooseColumn(const std::string& name);
    // True when the band's curve came from the time response of the last
    // file read, through the gate.
    bool OffersGate() const { return offersGate_; }
    // The gate the next curve is made with; the gate's field writes into it.
    ImpulseGate& Gate() { return gate_; }
    // Makes the curve again from the time response through Gate(); false
    // when the gate gives none (LastGate says why; the band keeps the curve
    // it had).
    bool ApplyGate();
    // What the gate did the last time it made a curve.
    const GateReport& LastGate() const { return report_; }
    // True when the band's curve came from the last file read: its phase
    // can be made again as Phase() asks.
    bool OffersPhase() const { return offersPhase_; }
    // The choice of phase, offset and flight time the next curve is made
    // with; kept while the dialog is open, and the offset's field writes
    // into it.
    SplPhase& Phase() { return phase_; }
    // Makes the curve again from the last file as Phase() asks; false when
    // there is no such file or it gives no curve.
    bool ApplyPhase();
    // What the curve's phase became the last time it was made.
    const PhaseReport& LastPhase() const { return phaseReport_; }

private:
    bool Import(const std::filesystem::path& path, const ImportOptions& options);
    // The band's curve from what the engine read, through the gate for a
    // time response.
    bool LoadCurve();

    BandSettings& band_;
    IMessageBox& messages_;
    CImportEngine engine_;
    std::filesystem::path path_;
    // Kept between gate changes, so that a live change allocates nothing
    // large.
    ImpulseGating gating_;
    ImpulseGate gate_;
    // The gate the band's curve was last made with.
    ImpulseGate applied_;
    GateReport report_;
    bool offersGate_ = false;
    SplPhase phase_;
    // The phase the band's curve was last made with.
    SplPhase appliedPhase_;
    PhaseReport phaseReport_;
    bool offersPhase_ = false;
};

} // namespace kv
