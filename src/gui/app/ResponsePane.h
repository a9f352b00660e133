#pragma once

#include "graphs/CCurveBase.h"
#include "graphs/ResponseViewImage.h"

#include <QPixmap>
#include <QWidget>
#include <memory>
#include <optional>

namespace kv {

// One response view on screen: a pane of the main window or the inside of a
// zoomed window. The view is drawn once per change into a picture of the
// widget's size, so that the readout following the pointer costs no
// redrawing of the curves.
class ResponsePane : public QWidget {
    Q_OBJECT

public:
    ResponsePane(std::unique_ptr<CCurveBase> curve, ResponseView view, QWidget* parent = nullptr);
    ~ResponsePane() override;

    // Draws the view afresh at the next paint: the design or the switches
    // changed.
    void Invalidate();

signals:
    void doubleClicked();
    void menuRequested(const QPoint& globalPosition);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void DrawView();
    void UpdateReadout();

    std::unique_ptr<CCurveBase> curve_;
    ResponseView view_;
    QPixmap picture_;
    bool stale_ = true;
    std::optional<QPoint> pointer_;
    std::vector<ReadoutLine> readout_;
};

} // namespace kv
