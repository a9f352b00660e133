#include "app/ResponsePane.h"

#include "app/HandleMarks.h"
#include "app/ReadoutBox.h"
#include "session/HandleEditor.h"

#include <QContextMenuEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>
#include <cmath>

namespace kv {
namespace {

// A notch of the wheel zooms in to four fifths of the range.
constexpr double kZoomPerNotch = 0.8;
constexpr int kWheelNotch = 120;
// The distance over which the scales of a pan are measured.
constexpr double kScaleProbe = 100.0;
const QColor kReadoutInk(32, 32, 96);

} // namespace

ResponsePane::ResponsePane(std::unique_ptr<CCurveBase> curve, ResponseView view, QWidget* parent)
    : QWidget(parent), curve_(std::move(curve)), view_(view) {
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    setMinimumSize(320, 200);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

ResponsePane::~ResponsePane() = default;

void ResponsePane::Invalidate() {
    stale_ = true;
    update();
}

void ResponsePane::SetZoom(const ViewZoom& zoom) {
    curve_->SetZoom(zoom);
    Invalidate();
}

void ResponsePane::DrawView() {
    const qreal ratio = devicePixelRatioF();
    picture_ = QPixmap(size() * ratio);
    picture_.setDevicePixelRatio(ratio);
    QPainter painter(&picture_);
    if (FrequencyView()) {
        curve_->DrawFrequencyView(painter, rect());
    } else {
        curve_->DrawTimeView(painter, rect());
    }
    stale_ = false;
    UpdateReadout();
}

void ResponsePane::paintEvent(QPaintEvent*) {
    if (stale_ || picture_.deviceIndependentSize().toSize() != size()) {
        DrawView();
    }
    QPainter painter(this);
    painter.drawPixmap(0, 0, picture_);
    DrawHandles(painter);
    if (pointer_ && !readout_.empty()) {
        DrawReadoutBox(painter, rect(), *pointer_, readout_);
    }
}

void ResponsePane::DrawHandles(QPainter& painter) const {
    if (handles_ == nullptr || !FrequencyView()) {
        return;
    }
    const std::optional<FilterHandle> dragged = handles_->Dragged();
    const std::optional<FilterHandle> hovered =
        pointer_ && !dragged ? HandleAt(*pointer_) : std::nullopt;
    const PixelRect& plot = curve_->Graph().PlotRect();
    painter.save();
    painter.setClipRect(QRect(plot.left, plot.top, plot.Width(), plot.Height()));
    for (const FilterHandle& handle : handles_->Handles()) {
        if (const std::optional<QPointF> at = curve_->HandlePoint(handle.freq)) {
            const auto same = [&handle](const std::optional<FilterHandle>& other) {
                return other && other->kind == handle.kind && other->index == handle.index;
            };
            DrawHandleMark(painter, *at, handle.kind, same(dragged) || same(hovered));
        }
    }
    painter.restore();
}

std::optional<FilterHandle> ResponsePane::HandleAt(const QPoint& point) const {
    if (handles_ == nullptr || !FrequencyView()) {
        return std::nullopt;
    }
    std::optional<FilterHandle> nearest;
    double nearestDistance = kHandleReach;
    for (const FilterHandle& handle : handles_->Handles()) {
        if (const std::optional<QPointF> at = curve_->HandlePoint(handle.freq)) {
            const double distance = std::hypot(at->x() - point.x(), at->y() - point.y());
            if (distance <= nearestDistance) {
                nearest = handle;
                nearestDistance = distance;
            }
        }
    }
    return nearest;
}

void ResponsePane::UpdateReadout() {
    readout_.clear();
    if (!pointer_) {
        return;
    }
    if (handles_ != nullptr) {
        const std::optional<FilterHandle> handle =
            drag_ ? handles_->Dragged() : HandleAt(*pointer_);
        if (handle) {
            readout_.push_back({HandleReadout(*handle), kReadoutInk});
            return;
        }
    }
    readout_ = FrequencyView() ? curve_->FrequencyReadout(pointer_->x())
                               : curve_->TimeReadout(pointer_->x(), pointer_->y());
}

void ResponsePane::StartDrag(const FilterHandle& handle, const QPoint& at) {
    const ViewZoom zoom = curve_->Zoom();
    drag_ = Drag{at, handle.freq, handle.gain, zoom};
    ViewZoom still = zoom;
    still.level = curve_->ShownLevels();
    curve_->SetZoom(still);
    handles_->BeginDrag(handle);
    setCursor(Qt::ClosedHandCursor);
}

void ResponsePane::StartPan(const QPoint& at) {
    const double probeX = at.x() + kScaleProbe;
    const double probeY = at.y() + kScaleProbe;
    pan_ = Pan{at, curve_->Zoom(), curve_->ShownLevels(),
               std::log(curve_->FrequencyAt(probeX) / curve_->FrequencyAt(at.x())) / kScaleProbe,
               (curve_->LevelAt(probeY) - curve_->LevelAt(at.y())) / kScaleProbe};
    setCursor(Qt::SizeAllCursor);
}

void ResponsePane::MovePan(const QPoint& at) {
    const QPoint moved = at - pan_->from;
    ViewZoom zoom = PanFrequencies(pan_->zoom, std::exp(-moved.x() * pan_->lnHzPerPixel));
    if (moved.y() != 0 || pan_->zoom.level) {
        zoom.level =
            PanLevels(pan_->zoom.level.value_or(pan_->levels), -moved.y() * pan_->dbPerPixel);
    }
    SetZoom(zoom);
}

void ResponsePane::mousePressEvent(QMouseEvent* event) {
    setFocus(Qt::MouseFocusReason);
    const QPoint at = event->position().toPoint();
    if (!FrequencyView() || curve_->PartAt(at) != ViewPart::Plot) {
        return;
    }
    const bool shifted = event->modifiers().testFlag(Qt::ShiftModifier);
    if (event->button() == Qt::MiddleButton || (event->button() == Qt::LeftButton && shifted)) {
        StartPan(at);
        return;
    }
    if (event->button() == Qt::LeftButton) {
        if (const std::optional<FilterHandle> handle = HandleAt(at)) {
            StartDrag(*handle, at);
        }
    }
}

void ResponsePane::mouseMoveEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    pointer_ = at;
    // A window that came up during the drag (a shortcut's dialog) took its
    // release: the drag ended then, not at the next move of the pointer.
    if ((drag_ || pan_) && !event->buttons().testAnyFlags(Qt::LeftButton | Qt::MiddleButton)) {
        mouseReleaseEvent(event);
    }
    if (pan_) {
        MovePan(at);
    } else if (drag_) {
        const double hz =
            drag_->hz * curve_->FrequencyAt(at.x()) / curve_->FrequencyAt(drag_->from.x());
        std::optional<double> dB;
        if (drag_->gain) {
            dB = *drag_->gain + curve_->LevelAt(at.y()) - curve_->LevelAt(drag_->from.y());
        }
        handles_->DragTo(hz, dB);
    } else if (handles_ != nullptr) {
        setCursor(HandleAt(at) ? Qt::OpenHandCursor : Qt::ArrowCursor);
    }
    if (!stale_) {
        UpdateReadout();
    }
    update();
}

void ResponsePane::mouseReleaseEvent(QMouseEvent*) {
    if (pan_) {
        pan_.reset();
        unsetCursor();
    }
    if (drag_) {
        const ViewZoom zoom = drag_->zoom;
        drag_.reset();
        unsetCursor();
        curve_->SetZoom(zoom);
        // Ending the drag redraws every view, this one at its zoom again.
        handles_->EndDrag();
        Invalidate();
    }
}

void ResponsePane::ZoomAt(const QPoint& at, double notches, bool levels) {
    const double factor = std::pow(kZoomPerNotch, notches);
    ViewZoom zoom = curve_->Zoom();
    if (levels) {
        zoom.level =
            ZoomLevels(zoom.level.value_or(curve_->ShownLevels()), curve_->LevelAt(at.y()), factor);
    } else {
        zoom = ZoomFrequencies(zoom, curve_->FrequencyAt(at.x()), factor);
    }
    SetZoom(zoom);
}

void ResponsePane::wheelEvent(QWheelEvent* event) {
    const QPoint at = event->position().toPoint();
    const ViewPart part = FrequencyView() ? curve_->PartAt(at) : ViewPart::Outside;
    if (part == ViewPart::Outside || drag_ || pan_) {
        event->ignore();
        return;
    }
    const int delta = event->angleDelta().y();
    const std::optional<FilterHandle> handle = HandleAt(at);
    if (handle && handle->q) {
        wheelRest_ += delta;
        const int notches = wheelRest_ / kWheelNotch;
        wheelRest_ -= notches * kWheelNotch;
        if (notches != 0) {
            handles_->TurnQ(*handle, notches);
        }
        return;
    }
    const bool levels =
        part == ViewPart::LevelAxis || event->modifiers().testFlag(Qt::ControlModifier);
    ZoomAt(at, static_cast<double>(delta) / kWheelNotch, levels);
}

void ResponsePane::ResetAxisAt(const QPoint& at) {
    ViewZoom zoom = curve_->Zoom();
    const ViewZoom whole;
    if (curve_->PartAt(at) == ViewPart::FrequencyAxis) {
        zoom.fMin = whole.fMin;
        zoom.fMax = whole.fMax;
    } else {
        zoom.level.reset();
    }
    SetZoom(zoom);
}

void ResponsePane::ForgetPointer() {
    pointer_.reset();
    readout_.clear();
    update();
}

// Another window coming up over the pane takes the pointer from it without
// a leave event: the readout goes with the window's activation.
bool ResponsePane::event(QEvent* event) {
    if (event->type() == QEvent::WindowDeactivate || event->type() == QEvent::Hide) {
        ForgetPointer();
    }
    return QWidget::event(event);
}

void ResponsePane::leaveEvent(QEvent*) {
    ForgetPointer();
}

void ResponsePane::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        return;
    }
    const ViewPart part =
        FrequencyView() ? curve_->PartAt(event->position().toPoint()) : ViewPart::Plot;
    if (part == ViewPart::FrequencyAxis || part == ViewPart::LevelAxis) {
        ResetAxisAt(event->position().toPoint());
    } else {
        emit doubleClicked();
    }
}

// The menu covers the pointer's place: no readout stays behind it.
void ResponsePane::contextMenuEvent(QContextMenuEvent* event) {
    ForgetPointer();
    emit menuRequested(event->globalPos());
}

} // namespace kv
