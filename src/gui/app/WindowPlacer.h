#pragma once

#include <QObject>
#include <QPoint>
#include <QRect>
#include <QString>
#include <functional>
#include <map>
#include <vector>

class QWidget;

namespace kv {

// Where the windows that open beside the main window (block dialogs, the
// zoomed and PIR windows, the manual) appear: clear of the response panes
// where the screen has room, where the user last left a window of the same
// name in this session, and always wholly on the screen.
class WindowPlacer : public QObject {
public:
    // keepClear gives the screen areas of the response panes, the band
    // pane's first.
    WindowPlacer(QWidget& mainWindow, std::function<std::vector<QRect>()> keepClear);

    // Sizes a window to fit the main window's screen and moves it to its
    // place, before it shows; from then on notices where the user leaves it.
    void Place(QWidget& window);
    // The frame a window would take on a screen of that area.
    QRect FrameFor(const QWidget& window, const QRect& screen) const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The room the desktop's decoration takes around a window's contents.
    QSize Decoration() const;
    void KeepWhollyOnScreen(QWidget& window);

    QWidget& main_;
    std::function<std::vector<QRect>()> keepClear_;
    // Per window name: where it was placed and where the user left it.
    std::map<QString, QPoint> placed_;
    std::map<QString, QPoint> left_;
};

} // namespace kv
