#pragma once

#include "math/VComplexVec.h"
#include "math/VDoubleVec.h"

#include <cstdint>
#include <string>

namespace kv {

class CBand;

// A band's SPL curve and smoothing as they were when the "SPL Curve" dialog
// opened, for its Cancel. The curve is kept itself rather than its file name:
// a band without a curve has no file to reload, and the file of a loaded
// project may have changed or be gone since.
class CSplCurveBackup {
public:
    explicit CSplCurveBackup(const CBand& band);

    // Puts the remembered curve and smoothing back (no curve when the band
    // had none) and marks the band modified so that its responses are
    // recomputed.
    void Restore(CBand& band) const;

private:
    std::string fileName_;
    std::int32_t smoothing_;
    VDoubleVec frequencies_;
    VComplexVec raw_;
};

} // namespace kv
