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
    for (int b = 0; b < design.numBands && b < kMaxBands; ++b) {
        const CBand& band = design.bands[static_cast<std::size_t>(b)];
        curves.push_back({band.totalResponse, band.totalImpulse, band.totalStep,
                          flags[ShowFlag::Individual], false, CurveKind::BandTotal,
                          BandLook(b, band.GetName())});
    }
    curves.push_back({design.sumFilterResponse, design.sumFilterImpulse, design.sumFilterStep,
                      flags[ShowFlag::SumFilter], true, CurveKind::SumFilter});
    curves.push_back({design.sumTargetResponse, design.sumTargetImpulse, design.sumTargetStep,
                      flags[ShowFlag::SumTarget], true, CurveKind::SumTarget});
    curves.push_back({design.sumTotalResponse, design.sumTotalImpulse, design.sumTotalStep,
                      flags[ShowFlag::SumTotal], false, CurveKind::SumTotal});
    return curves;
}

void CTotalCurve::DrawFrequencyView(QPainter& painter, const QRect& rect) {
    DrawFrequencyCurves(painter, rect, 0);
}

} // namespace kv
