#pragma once

#include <QWidget>

namespace kv {

// A window of its own beside the main window (the manual, a zoomed or PIR
// view): Esc closes it, as it closes a dialog.
class FloatingWindow : public QWidget {
    Q_OBJECT

public:
    explicit FloatingWindow(QWidget* owner);

    // Shows the window, or restores and raises it when it is open already.
    void ShowRaised();

protected:
    void keyPressEvent(QKeyEvent* event) override;
};

} // namespace kv
