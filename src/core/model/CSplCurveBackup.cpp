#include "model/CSplCurveBackup.h"

#include "model/CBand.h"
#include "model/SplCurve.h"

namespace kv {

CSplCurveBackup::CSplCurveBackup(const CBand& band)
    : fileName_(band.splFileName), smoothing_(band.splSmoothing), frequencies_(band.splFreqs),
      raw_(band.splRaw) {}

void CSplCurveBackup::Restore(CBand& band) const {
    band.splFileName = fileName_;
    band.splFreqs = frequencies_;
    band.splRaw = raw_;
    band.modified = true;
    SetSmoothing(band, smoothing_);
}

} // namespace kv
