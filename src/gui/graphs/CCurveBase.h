#pragma once

#include "graphs/CurveKinds.h"
#include "graphs/ResponseAxes.h"
#include "graphs/ShowFlags.h"
#include "graphs/VFreqGraph.h"
#include "graphs/VTimeGraph.h"
#include "graphs/ViewZoom.h"
#include "model/MainGrid.h"

#include <QColor>
#include <QPointF>
#include <optional>
#include <string>
#include <vector>

class QPainter;
class QPoint;
class QRect;

namespace kv {

class CBand;
class CConfiguration;
class VComplexVec;
class VDoubleVec;
struct Legend;

// What the response views draw from: the main window's design, frequency
// grid, display switches, selected band, the time span of the PIR views and
// the level span of each pane's frequency views.
struct ResponseViewSource {
    CConfiguration& configuration;
    const VDoubleVec& frequencies;
    ShowFlags showFlags = DefaultShowFlags();
    int currentBand = -1;
    double visiblePirLength = kMainPirLength;
    double bandLevelRange = kLevelRange;
    double totalLevelRange = kLevelRange;
};

// One curve a view may draw: its responses, whether its switch is on,
// whether its level is relative to the design's target level, its kind and
// how it looks.
struct ViewCurve {
    const VComplexVec& response;
    const VDoubleVec& impulse;
    const VDoubleVec& step;
    bool shown;
    bool relativeToTargetLevel;
    CurveKind kind;
    CurveLook look = LookOf(kind);
};

// One line of the readout beside the pointer, in its curve's colour.
struct ReadoutLine {
    std::string text;
    QColor colour;
};

// The parts of a frequency view the mouse may be over.
enum class ViewPart { Outside, Plot, FrequencyAxis, LevelAxis };

// A response pane's drawing: the frequency view (level, phase and group
// delay over the grid, with a legend) and the time view (the PIR above the
// step response), into any painter and rectangle. It keeps no curve data
// between paints; it keeps how far the user has zoomed its frequency view.
class CCurveBase {
public:
    explicit CCurveBase(ResponseViewSource& source);
    virtual ~CCurveBase() = default;
    CCurveBase(const CCurveBase&) = delete;
    CCurveBase& operator=(const CCurveBase&) = delete;

    virtual void DrawFrequencyView(QPainter& painter, const QRect& rect) = 0;
    virtual void DrawTimeView(QPainter& painter, const QRect& rect);

    // Rebuilds the value axes of the frequency view, over the frequencies
    // and with the level axis the zoom gives.
    void SetAxes(ResponseAxesRequest request);

    // What the last frequency view shows at x: the frequency, then the level
    // of each shown curve (and its phase and group delay when shown). Empty
    // outside the plot.
    std::vector<ReadoutLine> FrequencyReadout(int x) const;
    // What the last time view shows at (x, y): the time, then each shown
    // curve's value in the graph (PIR or step) that y lies in.
    std::vector<ReadoutLine> TimeReadout(int x, int y) const;

    const ViewZoom& Zoom() const { return zoom_; }
    void SetZoom(const ViewZoom& zoom) { zoom_ = zoom; }

    // Positions in the last frequency view: the part of it at a point, the
    // frequency at x and the x of a frequency, the level at y, and the level
    // axis as it was drawn.
    ViewPart PartAt(const QPoint& point) const;
    double FrequencyAt(double x) const;
    double XOf(double hz) const;
    double LevelAt(double y) const;
    LevelWindow ShownLevels() const;
    // Where the handle of a filter at that frequency sits in the last
    // frequency view; none for views without handles, or outside the plot.
    virtual std::optional<QPointF> HandlePoint(double hz) const;

    const VFreqGraph& Graph() const { return graph_; }
    const VTimeGraph& ImpulseGraph() const { return impulseGraph_; }
    const VTimeGraph& StepGraph() const { return stepGraph_; }

protected:
    // The curves this view draws, in drawing order; none when there is
    // nothing to show them of.
    virtual std::vector<ViewCurve> Curves() const = 0;
    // The span of this pane's level axis while the user has not placed it.
    virtual double LevelRange() const = 0;

    // The frequency view of the curves; false, with only the graph drawn,
    // when none of them is shown. Titles in the plot's bottom corners are
    // drawn after it and take titleHeight pixels.
    bool DrawFrequencyCurves(QPainter& painter, const QRect& rect, int titleHeight);
    // Bold text in a bottom corner of a plot (BottomRight or BottomLeft),
    // its height a share of the plot's; titles are red, on the right.
    void DrawCornerTitle(QPainter& painter, const VGraphics& graph, const PixelRect& plot,
                         const std::string& text, double heightShare,
                         TextAnchor corner = TextAnchor::BottomRight,
                         const QColor& colour = kCornerTitleColour) const;
    // The height of such a title on the plot of the last frequency view.
    int CornerTitleHeight(double heightShare) const;
    // The level of a curve's response at a frequency, as its view draws it.
    double LevelOf(const ViewCurve& curve, double hz) const;

    ResponseViewSource& source_;
    VFreqGraph graph_;

private:
    void DrawTimeGraph(QPainter& painter, VTimeGraph& graph, const QRect& rect, double peak,
                       const std::string& title, const std::vector<ViewCurve>& curves,
                       const VDoubleVec& (*samples)(const ViewCurve&));
    void DrawLegend(QPainter& painter, const Legend& legend, const PixelRect& plot,
                    const std::vector<QPointF>& points, int fontHeight, int titleHeight) const;

    VTimeGraph impulseGraph_;
    VTimeGraph stepGraph_;
    ViewZoom zoom_;
};

} // namespace kv
