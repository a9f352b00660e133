#include "app/PaneOnlyInput.h"

#include "app/CZoomedWindow.h"
#include "app/ResponsePane.h"

#include <QApplication>
#include <QEvent>

namespace kv {
namespace {

bool IsPointerEvent(QEvent::Type type) {
    switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::Wheel:
        return true;
    default:
        return false;
    }
}

bool IsOtherInput(QEvent::Type type) {
    switch (type) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
    case QEvent::ContextMenu:
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop:
        return true;
    default:
        return false;
    }
}

bool InsideResponseView(const QWidget& widget) {
    for (const QWidget* w = &widget; w != nullptr && !w->isWindow(); w = w->parentWidget()) {
        if (qobject_cast<const ResponsePane*>(w) != nullptr) {
            return true;
        }
    }
    return false;
}

} // namespace

PaneOnlyInput::PaneOnlyInput(QWidget& window) : window_(window) {
    qApp->installEventFilter(this);
}

PaneOnlyInput::~PaneOnlyInput() {
    qApp->removeEventFilter(this);
}

bool PaneOnlyInput::Guarded(const QWidget& widget) const {
    const QWidget* top = widget.window();
    return top == &window_ || qobject_cast<const CZoomedWindow*>(top) != nullptr;
}

bool PaneOnlyInput::eventFilter(QObject* watched, QEvent* event) {
    const auto* widget = qobject_cast<const QWidget*>(watched);
    if (widget == nullptr || !Guarded(*widget)) {
        return false;
    }
    const QEvent::Type type = event->type();
    // The main window stays open as long as the dialog; a zoomed window
    // may close.
    const bool closing = type == QEvent::Close && widget->window() == &window_;
    const bool blocked =
        closing || IsOtherInput(type) || (IsPointerEvent(type) && !InsideResponseView(*widget));
    if (blocked) {
        // An accepted override keeps a shortcut of the window from firing.
        event->accept();
    }
    return blocked;
}

} // namespace kv
