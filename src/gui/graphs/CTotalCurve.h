#pragma once

#include "graphs/CCurveBase.h"

namespace kv {

// The "Total Response" pane: the sums over all bands of the filter, target
// and total responses and, with "Show Individual Curves", each band's total
// under them, thin and in the band's colour.
class CTotalCurve : public CCurveBase {
public:
    using CCurveBase::CCurveBase;

    void DrawFrequencyView(QPainter& painter, const QRect& rect) override;

protected:
    std::vector<ViewCurve> Curves() const override;
    double LevelRange() const override { return source_.totalLevelRange; }
};

} // namespace kv
