#pragma once

#include <QWidget>

namespace kv {

class CCurveBase;

// A response pane: the frequency view of its curve object, repainted whole
// on every update (Qt double-buffers it, so it never flickers).
class ResponsePane : public QWidget {
    Q_OBJECT

public:
    ResponsePane(CCurveBase& curve, QWidget* parent = nullptr);

signals:
    void doubleClicked();
    void menuRequested(const QPoint& globalPosition);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    CCurveBase& curve_;
};

} // namespace kv
