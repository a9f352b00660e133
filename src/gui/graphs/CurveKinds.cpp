#include "graphs/CurveKinds.h"

#include <algorithm>
#include <array>
#include <iterator>

namespace kv {
namespace {

constexpr std::array<QRgb, 3> kBandColours = {qRgb(204, 121, 167), qRgb(0, 158, 115),
                                              qRgb(230, 159, 0)};

} // namespace

const CurveLook& LookOf(CurveKind kind) {
    const auto row = std::find_if(std::begin(kCurveKinds), std::end(kCurveKinds),
                                  [kind](const CurveKindRow& entry) { return entry.kind == kind; });
    return row != std::end(kCurveKinds) ? row->look : std::begin(kCurveKinds)->look;
}

CurveLook BandLook(int band, const std::string& name) {
    const auto index = static_cast<std::size_t>(std::max(band, 0)) % kBandColours.size();
    return {name, QColor::fromRgb(kBandColours[index])};
}

Qt::PenStyle QuantityPen(Quantity quantity, const CurveLook& look) {
    switch (quantity) {
    case Quantity::Phase:
        return Qt::DashLine;
    case Quantity::GroupDelay:
        return Qt::DotLine;
    case Quantity::Level:
        break;
    }
    return look.levelPen;
}

} // namespace kv
