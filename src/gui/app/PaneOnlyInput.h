#pragma once

#include <QObject>

class QWidget;

namespace kv {

// While a block's dialog stands open beside the main window, the window
// takes only the mouse on its response views (to drag handles, zoom and
// pan), and its zoomed windows the same: no command, menu, key or other
// click reaches them, so that nothing changes the design or the selection
// under the dialog. Lasts as long as the object.
class PaneOnlyInput : public QObject {
public:
    explicit PaneOnlyInput(QWidget& window);
    ~PaneOnlyInput() override;
    PaneOnlyInput(const PaneOnlyInput&) = delete;
    PaneOnlyInput& operator=(const PaneOnlyInput&) = delete;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool Guarded(const QWidget& widget) const;

    QWidget& window_;
};

} // namespace kv
