#pragma once

#include "graphs/CCurveBase.h"

namespace kv {

// The "Band Response" pane: the imported SPL, filter, hardware, target and
// total responses of the current band, with the band's name, and the place
// of the handles of its filters.
class CEditCurve : public CCurveBase {
public:
    using CCurveBase::CCurveBase;

    void DrawFrequencyView(QPainter& painter, const QRect& rect) override;
    // On the band's top curve that the filters shape: the total when it is
    // shown, else the filter curve, else the hardware curve.
    std::optional<QPointF> HandlePoint(double hz) const override;

protected:
    std::vector<ViewCurve> Curves() const override;
    double LevelRange() const override { return source_.bandLevelRange; }

private:
    // The band the pane shows; null when no band is selected or the
    // selection lies outside the design.
    CBand* CurrentBand() const;
    void DrawHardwareDeviation(QPainter& painter) const;
};

} // namespace kv
