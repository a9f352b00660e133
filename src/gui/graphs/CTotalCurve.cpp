#include "graphs/CTotalCurve.h"

#include "model/CConfiguration.h"

namespace kv {

std::vector<ViewCurve> CTotalCurve::Curves() const {
    std::vector<ViewCurve> curves;
    const CConfiguration& design = source_.configuration;
    if (design.numBands < 1) {
        return curves;
    }
    const ShowFlags& flags = source_.showFlags;
    curves.push_back({design.sumFilterResponse, design.sumFilterImpulse, design.sumFilterStep,
                      flags[ShowFlag::SumFilter], true, kFilterCurveStyle, "Sum of filters"});
    curves.push_back({design.sumTargetResponse, design.sumTargetImpulse, design.sumTargetStep,
                      flags[ShowFlag::SumTarget], true, kTargetCurveStyle, "Sum of targets"});
    curves.push_back({design.sumTotalResponse, design.sumTotalImpulse, design.sumTotalStep,
                      flags[ShowFlag::SumTotal], false, kTotalCurveStyle, "Sum of totals"});
    return curves;
}

void CTotalCurve::DrawFrequencyView(QPainter& painter, const QRect& rect) {
    DrawFrequencyCurves(painter, rect);
}

} // namespace kv
