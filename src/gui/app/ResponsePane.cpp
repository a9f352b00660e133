#include "app/ResponsePane.h"

#include "graphs/CCurveBase.h"

#include <QContextMenuEvent>
#include <QMouseEvent>
#include <QPainter>

namespace kv {

ResponsePane::ResponsePane(CCurveBase& curve, QWidget* parent) : QWidget(parent), curve_(curve) {
    setFocusPolicy(Qt::StrongFocus);
    setMinimumSize(320, 200);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void ResponsePane::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    curve_.DrawFrequencyView(painter, rect());
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
