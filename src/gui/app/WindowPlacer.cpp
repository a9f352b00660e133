#include "app/WindowPlacer.h"

#include "session/WindowPlacement.h"

#include <QEvent>
#include <QScreen>
#include <QWidget>

namespace kv {

WindowPlacer::WindowPlacer(QWidget& mainWindow, std::function<std::vector<QRect>()> keepClear)
    : main_(mainWindow), keepClear_(std::move(keepClear)) {}

// The main window's, but at least a title bar and thin borders: a
// maximised window may have lost its borders, a dialog keeps them.
QSize WindowPlacer::Decoration() const {
    const QSize least(8, 32);
    return (main_.frameGeometry().size() - main_.geometry().size()).expandedTo(least);
}

QRect WindowPlacer::FrameFor(const QWidget& window, const QRect& screen) const {
    const QSize decoration = Decoration();
    const QSize wanted = window.isWindow() && window.testAttribute(Qt::WA_Resized)
                             ? window.size()
                             : window.sizeHint();
    const QSize frame = (wanted + decoration).boundedTo(screen.size());
    const QString name = window.objectName();
    const auto left = left_.find(name);
    const QPoint at = left != left_.end()
                          ? KeepOnScreen(QRect(left->second, frame), screen)
                          : PlaceWindow(frame, screen, main_.frameGeometry(), keepClear_());
    return {at, frame};
}

void WindowPlacer::Place(QWidget& window) {
    const QRect frame = FrameFor(window, main_.screen()->availableGeometry());
    window.resize(frame.size() - Decoration());
    window.move(frame.topLeft());
    placed_[window.objectName()] = frame.topLeft();
    window.removeEventFilter(this);
    window.installEventFilter(this);
}

// A dialog that grows while it is open (the SPL Curve dialog once a file
// shows its columns and phase) moves up or left rather than lose its
// buttons below the screen's edge.
void WindowPlacer::KeepWhollyOnScreen(QWidget& window) {
    const QRect frame(window.pos(), window.size() + Decoration());
    const QPoint at = KeepOnScreen(frame, window.screen()->availableGeometry());
    if (at == window.pos()) {
        return;
    }
    QPoint& placed = placed_[window.objectName()];
    if (placed == window.pos()) {
        placed = at;
    }
    window.move(at);
}

// A window the user moved opens where they left it for the rest of the
// session; one left where it was placed is placed afresh, beside the panes
// as they are then.
bool WindowPlacer::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Resize && static_cast<QWidget*>(watched)->isVisible()) {
        KeepWhollyOnScreen(*static_cast<QWidget*>(watched));
    }
    if (event->type() == QEvent::Hide) {
        const auto* window = static_cast<const QWidget*>(watched);
        const QString name = window->objectName();
        if (window->pos() != placed_[name]) {
            left_[name] = window->pos();
        }
    }
    return false;
}

} // namespace kv
