#pragma once

#include "graphs/CCurveBase.h"
#include "graphs/ResponseViewImage.h"
#include "session/FilterHandles.h"

#include <QPixmap>
#include <QWidget>
#include <memory>
#include <optional>

namespace kv {

class HandleEditor;

// One response view on screen: a pane of the main window or the inside of a
// zoomed window. The view is drawn once per change into a picture of the
// widget's size, so that the readout following the pointer and the handles
// cost no redrawing of the curves.
//
// A frequency view zooms with the wheel (the frequency axis around the
// pointer; with Ctrl, or over the level axis, the level axis), pans with the
// middle button or Shift and the left button, and a double click on an axis
// puts that axis back. With a handle editor it shows the handles of the
// current band's filters: dragged sideways they change a filter's frequency,
// up and down its gain, and the wheel over one its Q.
class ResponsePane : public QWidget {
    Q_OBJECT

public:
    ResponsePane(std::unique_ptr<CCurveBase> curve, ResponseView view, QWidget* parent = nullptr);
    ~ResponsePane() override;

    // Draws the view afresh at the next paint: the design or the switches
    // changed.
    void Invalidate();
    void SetHandleEditor(HandleEditor* editor) { handles_ = editor; }
    const CCurveBase& Curve() const { return *curve_; }
    // Shows the frequency view zoomed so, and draws it afresh.
    void SetZoom(const ViewZoom& zoom);

signals:
    void doubleClicked();
    void menuRequested(const QPoint& globalPosition);

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    // A pan under way: where it began, the zoom then, and the axes' scales
    // then, per pixel.
    struct Pan {
        QPoint from;
        ViewZoom zoom;
        LevelWindow levels;
        double lnHzPerPixel;
        double dbPerPixel;
    };
    // A handle drag under way: where it began, the filter's values then, and
    // the zoom to go back to (the level axis stands still while dragging).
    struct Drag {
        QPoint from;
        double hz;
        std::optional<double> gain;
        ViewZoom zoom;
    };

    void DrawView();
    void DrawHandles(QPainter& painter) const;
    void UpdateReadout();
    void ForgetPointer();
    bool FrequencyView() const { return view_ == ResponseView::Frequency; }
    std::optional<FilterHandle> HandleAt(const QPoint& point) const;
    void StartDrag(const FilterHandle& handle, const QPoint& at);
    void StartPan(const QPoint& at);
    void MovePan(const QPoint& at);
    void ZoomAt(const QPoint& at, double notches, bool levels);
    void ResetAxisAt(const QPoint& at);

    std::unique_ptr<CCurveBase> curve_;
    ResponseView view_;
    HandleEditor* handles_ = nullptr;
    QPixmap picture_;
    bool stale_ = true;
    std::optional<QPoint> pointer_;
    std::vector<ReadoutLine> readout_;
    std::optional<Pan> pan_;
    std::optional<Drag> drag_;
    // Wheel turns over a handle that have not yet made a whole notch.
    int wheelRest_ = 0;
};

} // namespace kv
