#include "graphs/CEditCurve.h"

#include "model/CConfiguration.h"
#include "model/HardwareDeviation.h"

#include <array>

namespace kv {
namespace {

constexpr double kBandNameShare = 0.023;
constexpr double kDeviationShare = kBandNameShare;
// The hardware response has no time responses.
const VDoubleVec kNoSamples;

// The curves the handles may sit on, the first of them shown.
constexpr std::array<CurveKind, 3> kHandleCurves = {CurveKind::Total, CurveKind::Filter,
                                                    CurveKind::Hardware};

} // namespace

CBand* CEditCurve::CurrentBand() const {
    const CConfiguration& design = source_.configuration;
    const int index = source_.currentBand;
    if (index < 0 || index >= design.numBands || index >= kMaxBands) {
        return nullptr;
    }
    return &source_.configuration.bands[static_cast<std::size_t>(index)];
}

std::vector<ViewCurve> CEditCurve::Curves() const {
    std::vector<ViewCurve> curves;
    const CBand* band = CurrentBand();
    if (band == nullptr) {
        return curves;
    }
    const ShowFlags& flags = source_.showFlags;
    // Without a driver's curve the band's SPL is a flat unit response:
    // drawn and named, it would pass for a measurement.
    const bool hasSpl = band->splFreqs.GetSize() > 0;
    curves.push_back({band->splResponse, band->splImpulse, band->splStep,
                      flags[ShowFlag::ImportedSpl] && hasSpl, false, CurveKind::ImportedSpl});
    curves.push_back({band->filterResponse, band->filterImpulse, band->filterStep,
                      flags[ShowFlag::Filter], true, CurveKind::Filter});
    curves.push_back({band->hardwareResponse, kNoSamples, kNoSamples, flags[ShowFlag::Hardware],
                      true, CurveKind::Hardware});
    curves.push_back({band->targetResponse, band->targetImpulse, band->targetStep,
                      flags[ShowFlag::Target], true, CurveKind::Target});
    curves.push_back({band->totalResponse, band->totalImpulse, band->totalStep,
                      flags[ShowFlag::Total], false, CurveKind::Total});
    return curves;
}

void CEditCurve::DrawFrequencyView(QPainter& painter, const QRect& rect) {
    if (DrawFrequencyCurves(painter, rect, CornerTitleHeight(kBandNameShare))) {
        DrawCornerTitle(painter, graph_, graph_.PlotRect(), CurrentBand()->GetName(),
                        kBandNameShare);
        if (source_.showFlags[ShowFlag::Hardware]) {
            DrawHardwareDeviation(painter);
        }
    }
}

// The largest difference of the hardware curve from the filter curve, in
// the curve's colour opposite the band's name.
void CEditCurve::DrawHardwareDeviation(QPainter& painter) const {
    const std::optional<double> deviation =
        MaxHardwareDeviationDb(*CurrentBand(), source_.frequencies);
    if (deviation) {
        DrawCornerTitle(painter, graph_, graph_.PlotRect(), HardwareDeviationText(*deviation),
                        kDeviationShare, TextAnchor::BottomLeft,
                        LookOf(CurveKind::Hardware).colour);
    }
}

std::optional<QPointF> CEditCurve::HandlePoint(double hz) const {
    const PixelRect& plot = graph_.PlotRect();
    const double x = XOf(hz);
    if (plot.Width() <= 0 || x < plot.left || x >= plot.right) {
        return std::nullopt;
    }
    const std::vector<ViewCurve> curves = Curves();
    for (const CurveKind kind : kHandleCurves) {
        for (const ViewCurve& curve : curves) {
            if (curve.kind == kind && curve.shown && !curve.response.Empty()) {
                const LinearValueAxis levels =
                    ValueAxisScale(graph_.Setup().axes.front(), graph_.PlotRect());
                return QPointF(x, levels.Y(LevelOf(curve, hz)));
            }
        }
    }
    return std::nullopt;
}

} // namespace kv
