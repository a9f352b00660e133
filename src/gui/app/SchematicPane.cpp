#include "app/SchematicPane.h"

#include "app/DesignSession.h"

#include <QPainter>

namespace kv {

SchematicPane::SchematicPane(DesignSession& session, QWidget* parent)
    : QWidget(parent), session_(session) {
    setMinimumHeight(270);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void SchematicPane::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), QColor(220, 230, 240));
}

} // namespace kv
