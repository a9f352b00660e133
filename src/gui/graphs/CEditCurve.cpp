#include "graphs/CEditCurve.h"

#include "model/CConfiguration.h"
#include "model/HardwareDeviation.h"

namespace kv {
namespace {

constexpr double kBandNameShare = 0.023;
constexpr double kDeviationShare = kBandNameShare;
// The hardware response has no time responses.
const VDoubleVec kNoSamples;

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
    curves.push_back({band->splResponse, band->splImpulse, band->splStep,
                      flags[ShowFlag::ImportedSpl], false, kSplCurveStyle, "Imported SPL"});
    curves.push_back({band->filterResponse, band->filterImpulse, band->filterStep,
                      flags[ShowFlag::Filter], true, kFilterCurveStyle, "Filter"});
    curves.push_back({band->hardwareResponse, kNoSamples, kNoSamples, flags[ShowFlag::Hardware],
                      true, kHardwareCurveStyle, "Hardware"});
    curves.push_back({band->targetResponse, band->targetImpulse, band->targetStep,
                      flags[ShowFlag::Target], true, kTargetCurveStyle, "Target"});
    curves.push_back({band->totalResponse, band->totalImpulse, band->totalStep,
                      flags[ShowFlag::Total], false, kTotalCurveStyle, "Total"});
    return curves;
}

void CEditCurve::DrawFrequencyView(QPainter& painter, const QRect& rect) {
    if (DrawFrequencyCurves(painter, rect)) {
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
                        kDeviationShare, TextAnchor::BottomLeft, kHardwareCurveStyle.level);
    }
}

} // namespace kv
