#pragma once

#include "graphs/CCurveBase.h"

namespace kv {

// The "Total Response" pane: the sums over all bands of the filter, target
// and total responses. It draws no single band's curve.
class CTotalCurve : public CCurveBase {
public:
    using CCurveBase::CCurveBase;

    void DrawFrequencyView(QPainter& painter, const QRect& rect) override;

protected:
    std::vector<ViewCurve> Curves() const override;
};

} // namespace kv
