#pragma once

#include "import/CImportEngine.h"
#include "model/CSplCurveBackup.h"
#include "model/ImpulseGate.h"

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace kv {

class CBand;
class IMessageBox;

// The "SPL Curve" dialog's editing without the dialog: a driver's measured
// curve imported into a band, its level column when the file has several,
// its smoothing, the gate of a file that holds a time response, and Cancel
// putting back the curve the band had (none when it had none).
class SplCurveEditor {
public:
    SplCurveEditor(CBand& band, IMessageBox& messages, std::function<void()> changed);

    // Imports the file as the band's curve; false, after telling the user,
    // when it gives none (the band keeps what it had).
    bool LoadFile(const std::filesystem::path& path);
    // The level columns of the last file, when it names them, and the one
    // the curve was read from.
    const std::vector<std::string>& LevelColumns() const { return engine_.LevelColumns(); }
    const std::string& LevelColumn() const { return engine_.LevelColumn(); }
    // Reads the curve again from another level column of the last file.
    bool ChooseColumn(const std::string& name);
    // 1 to 48.
    void SetSmoothing(int n);
    // True when the band's curve came from the time response of the last
    // file read, through the gate.
    bool OffersGate() const { return offersGate_; }
    // Makes the curve again from the time response through another gate;
    // false when the gate gives none (LastGate says why; the band keeps the
    // curve it had).
    bool SetGate(const ImpulseGate& gate);
    const ImpulseGate& Gate() const { return gate_; }
    // What the gate did the last time it made a curve.
    const GateReport& LastGate() const { return report_; }
    void Cancel();

private:
    bool Import(const std::filesystem::path& path, const ImportOptions& options);
    // The band's curve from what the engine read, through the gate for a
    // time response.
    bool LoadCurve();

    CBand& band_;
    IMessageBox& messages_;
    std::function<void()> changed_;
    CSplCurveBackup backup_;
    CImportEngine engine_;
    std::filesystem::path path_;
    // Kept between gate changes, so that a live change allocates nothing
    // large.
    ImpulseGating gating_;
    ImpulseGate gate_;
    GateReport report_;
    bool offersGate_ = false;
};

} // namespace kv
