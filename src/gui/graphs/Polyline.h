#pragma once

#include <QPointF>
#include <vector>

namespace kv {

// The points of a line without those that lie within tolerance of the
// straight stretch between the points kept around them (Ramer-Douglas-
// Peucker), so that smooth stretches cost one segment each; the drawn line
// moves by at most tolerance. The first and last points are always kept.
std::vector<QPointF> SimplifyPolyline(const std::vector<QPointF>& points, double tolerance);

} // namespace kv
