#include "session/WindowPlacement.h"

#include <algorithm>

namespace kv {
namespace {

// Between a placed window and what it stands beside.
constexpr int kGap = 8;

long long OverlapArea(const QRect& a, const QRect& b) {
    const QRect common = a.intersected(b);
    return common.isEmpty() ? 0 : static_cast<long long>(common.width()) * common.height();
}

// What a frame there would hide of each area, the first area first, and
// last of the window itself.
std::vector<long long> Cost(const QRect& frame, const QRect& window,
                            const std::vector<QRect>& keepClear) {
    std::vector<long long> cost;
    cost.reserve(keepClear.size() + 1);
    for (const QRect& area : keepClear) {
        cost.push_back(OverlapArea(frame, area));
    }
    cost.push_back(OverlapArea(frame, window));
    return cost;
}

// The places to try, in order of preference: beside the window, then over
// its part below the areas to keep clear, then at the bottom of the screen.
std::vector<QPoint> Candidates(const QSize& frame, const QRect& screen, const QRect& window,
                               const std::vector<QRect>& keepClear) {
    std::vector<QPoint> points = {
        {window.right() + 1 + kGap, window.top()},
        {window.left() - kGap - frame.width(), window.top()},
        {window.left(), window.bottom() + 1 + kGap},
        {window.left(), window.top() - kGap - frame.height()},
    };
    QRect clear;
    for (const QRect& area : keepClear) {
        clear = clear.united(area);
    }
    std::vector<int> lefts = {window.left(), window.right() + 1 - frame.width()};
    for (const QRect& area : keepClear) {
        lefts.push_back(area.right() + 1 + kGap);
        lefts.push_back(area.left() - kGap - frame.width());
    }
    for (const int top : {clear.bottom() + 1 + kGap, screen.bottom() + 1 - frame.height()}) {
        for (const int left : lefts) {
            points.emplace_back(left, top);
        }
    }
    return points;
}

} // namespace

QPoint KeepOnScreen(const QRect& frame, const QRect& screen) {
    const int left =
        std::max(screen.left(), std::min(frame.left(), screen.right() + 1 - frame.width()));
    const int top =
        std::max(screen.top(), std::min(frame.top(), screen.bottom() + 1 - frame.height()));
    return {left, top};
}

QPoint PlaceWindow(const QSize& frame, const QRect& screen, const QRect& window,
                   const std::vector<QRect>& keepClear) {
    QPoint best;
    std::vector<long long> bestCost;
    bool first = true;
    for (const QPoint& candidate : Candidates(frame, screen, window, keepClear)) {
        const QPoint at = KeepOnScreen(QRect(candidate, frame), screen);
        std::vector<long long> cost = Cost(QRect(at, frame), window, keepClear);
        if (first || cost < bestCost) {
            best = at;
            bestCost = std::move(cost);
            first = false;
        }
    }
    return best;
}

} // namespace kv
