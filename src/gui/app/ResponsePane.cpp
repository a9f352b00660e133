#include "app/ResponsePane.h"

#include "app/ReadoutBox.h"

#include <QContextMenuEvent>
#include <QMouseEvent>
#include <QPainter>

namespace kv {

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

void ResponsePane::DrawView() {
    const qreal ratio = devicePixelRatioF();
    picture_ = QPixmap(size() * ratio);
    picture_.setDevicePixelRatio(ratio);
    QPainter painter(&picture_);
    if (view_ == ResponseView::Frequency) {
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
    if (pointer_ && !readout_.empty()) {
        DrawReadoutBox(painter, rect(), *pointer_, readout_);
    }
}

void ResponsePane::UpdateReadout() {
    readout_.clear();
    if (!pointer_) {
        return;
    }
    readout_ = view_ == ResponseView::Frequency ? curve_->FrequencyReadout(pointer_->x())
                                                : curve_->TimeReadout(pointer_->x(), pointer_->y());
}

void ResponsePane::mouseMoveEvent(QMouseEvent* event) {
    pointer_ = event->position().toPoint();
    if (!stale_) {
        UpdateReadout();
    }
    update();
}

void ResponsePane::leaveEvent(QEvent*) {
    pointer_.reset();
    readout_.clear();
    update();
}

void ResponsePane::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        emit doubleClicked();
    }
}

void ResponsePane::contextMenuEvent(QContextMenuEvent* event) {
    emit menuRequested(event->globalPos());
}

} // namespace kv
