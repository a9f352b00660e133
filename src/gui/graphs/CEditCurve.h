#pragma once

#include "graphs/CCurveBase.h"

namespace kv {

// The "Band Response" pane: the imported SPL, filter, hardware, target and
// total responses of the current band, with the band's name.
class CEditCurve : public CCurveBase {
public:
    using CCurveBase::CCurveBase;

    void DrawFrequencyView(QPainter& painter, const QRect& rect) override;

protected:
    std::vector<ViewCurve> Curves() const override;

private:
    // The band the pane shows; null when no band is selected or the
    // selection lies outside the design.
    CBand* CurrentBand() const;
    void DrawHardwareDeviation(QPainter& painter) const;
};

} // namespace kv
