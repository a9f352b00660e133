#include "graphs/Polyline.h"

#include <algorithm>
#include <utility>

namespace kv {
namespace {

// The square of the distance of p from the segment a … b.
double SquaredDistanceFromSegment(const QPointF& p, const QPointF& a, const QPointF& b) {
    const QPointF direction = b - a;
    const double lengthSquared = QPointF::dotProduct(direction, direction);
    double t = lengthSquared > 0.0 ? QPointF::dotProduct(p - a, direction) / lengthSquared : 0.0;
    t = std::clamp(t, 0.0, 1.0);
    const QPointF offset = p - (a + t * direction);
    return QPointF::dotProduct(offset, offset);
}

} // namespace

std::vector<QPointF> SimplifyPolyline(const std::vector<QPointF>& points, double tolerance) {
    const std::size_t n = points.size();
    if (n < 3) {
        return points;
    }
    std::vector<bool> keep(n, false);
    keep.front() = true;
    keep.back() = true;
    // Stretches still to split, as first and last index; a stack instead of
    // recursion keeps long curves off the call stack.
    std::vector<std::pair<std::size_t, std::size_t>> stretches = {{0, n - 1}};
    while (!stretches.empty()) {
        const auto [first, last] = stretches.back();
        stretches.pop_back();
        double farthest = tolerance * tolerance;
        std::size_t split = 0;
        for (std::size_t i = first + 1; i < last; ++i) {
            const double distance =
                SquaredDistanceFromSegment(points[i], points[first], points[last]);
            if (distance > farthest) {
                farthest = distance;
                split = i;
            }
        }
        if (split != 0) {
            keep[split] = true;
            stretches.emplace_back(first, split);
            stretches.emplace_back(split, last);
        }
    }
    std::vector<QPointF> kept;
    for (std::size_t i = 0; i < n; ++i) {
        if (keep[i]) {
            kept.push_back(points[i]);
        }
    }
    return kept;
}

} // namespace kv
