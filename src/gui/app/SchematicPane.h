#pragma once

#include "app/SchematicLayout.h"

#include <QWidget>

namespace kv {

class DesignSession;
class Schematic;

// The "Block Schematic" pane: the signal chain of every used band, drawn
// from the schematic's layout, with the mouse and the keyboard handed to
// the schematic's logic.
class SchematicPane : public QWidget {
    Q_OBJECT

public:
    SchematicPane(DesignSession& session, Schematic& schematic, QWidget* parent = nullptr);

signals:
    // The selected block's context menu, at a point on the screen.
    void menuRequested(const QPoint& globalPosition);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    bool event(QEvent* event) override;

private:
    void PaintRow(QPainter& painter, int band, const SchematicRow& row) const;
    void PaintBlock(QPainter& painter, int band, BlockKind kind, const QRect& face) const;
    void PaintInputTexts(QPainter& painter, int band, const QRect& face, int shift) const;
    QString ToolTipAt(const QPoint& point) const;
    QRect SelectedFace() const;

    DesignSession& session_;
    Schematic& schematic_;
};

} // namespace kv
