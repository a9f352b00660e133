#pragma once

#include "graphs/ResponseAxes.h"
#include "graphs/ShowFlags.h"
#include "graphs/VFreqGraph.h"
#include "graphs/VTimeGraph.h"
#include "model/MainGrid.h"

#include <QColor>
#include <string>
#include <vector>

class QPainter;
class QRect;

namespace kv {

class CBand;
class CConfiguration;
class VComplexVec;
class VDoubleVec;

// What the response views draw from: the main window's design, frequency
// grid, display switches, selected band and the time span of the PIR views.
struct ResponseViewSource {
    CConfiguration& configuration;
    const VDoubleVec& frequencies;
    ShowFlags showFlags = DefaultShowFlags();
    int currentBand = -1;
    double visiblePirLength = kMainPirLength;
};

// The colours and pen of one kind of curve; impulse and step responses are
// drawn like the level.
struct CurveStyle {
    QColor level;
    int levelWidth;
    QColor phase;
    QColor delay;
    // Dashed for a curve that mostly lies on another and must let it show.
    Qt::PenStyle pen = Qt::SolidLine;
};

inline const CurveStyle kSplCurveStyle{{0, 192, 192}, 1, {128, 255, 128}, {255, 0, 0}};
inline const CurveStyle kFilterCurveStyle{{192, 0, 0}, 1, {192, 192, 0}, {192, 0, 255}};
inline const CurveStyle kTargetCurveStyle{{0, 0, 0}, 1, {128, 128, 128}, {128, 64, 0}};
inline const CurveStyle kTotalCurveStyle{{0, 0, 192}, 2, {192, 128, 0}, {128, 0, 128}};
inline const QColor kCornerTitleColour{192, 0, 0};
inline const CurveStyle kHardwareCurveStyle{
    {0, 144, 64}, 2, {96, 176, 144}, {0, 104, 104}, Qt::DashLine};

// One curve a view may draw: its responses, whether its switch is on,
// whether its level is relative to the design's target level, and its name.
struct ViewCurve {
    const VComplexVec& response;
    const VDoubleVec& impulse;
    const VDoubleVec& step;
    bool shown;
    bool relativeToTargetLevel;
    CurveStyle style;
    const char* name;
};

// One line of the readout beside the pointer, in its curve's colour.
struct ReadoutLine {
    std::string text;
    QColor colour;
};

// A response pane's drawing: the frequency view (level, phase and group
// delay over the grid) and the time view (the PIR above the step response),
// into any painter and rectangle. It keeps no curve data between paints.
class CCurveBase {
public:
    explicit CCurveBase(ResponseViewSource& source);
    virtual ~CCurveBase() = default;
    CCurveBase(const CCurveBase&) = delete;
    CCurveBase& operator=(const CCurveBase&) = delete;

    virtual void DrawFrequencyView(QPainter& painter, const QRect& rect) = 0;
    virtual void DrawTimeView(QPainter& painter, const QRect& rect);

    // Rebuilds the value axes of the frequency view.
    void SetAxes(double maxLevel, double phaseMax, double phaseMin, double delayMax,
                 double delayMin, bool showPhase, bool showDelay, bool unwrapped);

    // What the last frequency view shows at x: the frequency, then the level
    // of each shown curve (and its phase and group delay when shown). Empty
    // outside the plot.
    std::vector<ReadoutLine> FrequencyReadout(int x) const;
    // What the last time view shows at (x, y): the time, then each shown
    // curve's value in the graph (PIR or step) that y lies in.
    std::vector<ReadoutLine> TimeReadout(int x, int y) const;

    const VFreqGraph& Graph() const { return graph_; }
    const VTimeGraph& ImpulseGraph() const { return impulseGraph_; }
    const VTimeGraph& StepGraph() const { return stepGraph_; }

protected:
    // The curves this view draws, in drawing order; none when there is
    // nothing to show them of.
    virtual std::vector<ViewCurve> Curves() const = 0;

    // The frequency view of the curves; false, with only the graph drawn,
    // when none of them is shown.
    bool DrawFrequencyCurves(QPainter& painter, const QRect& rect);
    // Bold text in a bottom corner of a plot (BottomRight or BottomLeft),
    // its height a share of the plot's; titles are red, on the right.
    void DrawCornerTitle(QPainter& painter, const VGraphics& graph, const PixelRect& plot,
                         const std::string& text, double heightShare,
                         TextAnchor corner = TextAnchor::BottomRight,
                         const QColor& colour = kCornerTitleColour) const;

    ResponseViewSource& source_;
    VFreqGraph graph_;

private:
    void DrawTimeGraph(QPainter& painter, VTimeGraph& graph, const QRect& rect, double range,
                       const std::string& title, const std::vector<ViewCurve>& curves,
                       const VDoubleVec& (*samples)(const ViewCurve&));

    VTimeGraph impulseGraph_;
    VTimeGraph stepGraph_;
};

} // namespace kv
