#pragma once

#include "session/SchematicLayout.h"

#include <QWidget>
#include <filesystem>

class QMimeData;

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
    // A measurement file was dropped on a band's Driver block.
    void curveDropped(int band, const std::filesystem::path& file);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    bool event(QEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void PaintRow(QPainter& painter, int band, const SchematicRow& row) const;
    void PaintBlock(QPainter& painter, int band, BlockKind kind, const QRect& face) const;
    void PaintInputTexts(QPainter& painter, int band, const QRect& face, int shift) const;
    QString ToolTipAt(const QPoint& point) const;
    QString BudgetToolTipAt(const std::vector<SchematicRow>& rows, const QPoint& point) const;
    QRect SelectedFace() const;
    // The band whose Driver block a drag of one measurement file is over;
    // -1 for any other drag or place.
    int DriverBandUnder(const QPoint& point, const QMimeData& data) const;

    DesignSession& session_;
    Schematic& schematic_;
};

} // namespace kv
