#include "app/FloatingWindow.h"

#include "dialogs/ProgramIcon.h"

#include <QKeyEvent>

namespace kv {

FloatingWindow::FloatingWindow(QWidget* owner) : QWidget(owner, Qt::Window) {
    setWindowIcon(ProgramIcon());
}

void FloatingWindow::ShowRaised() {
    show();
    setWindowState(windowState() & ~Qt::WindowMinimized);
    raise();
    activateWindow();
}

void FloatingWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

} // namespace kv
