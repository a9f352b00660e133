#pragma once

#include <QWidget>

class QTextBrowser;

namespace kv {

// "Kestrelvane Help": the user manual that ships inside the program, in a
// window of its own beside the main window.
class HelpViewer : public QWidget {
    Q_OBJECT

public:
    explicit HelpViewer(QWidget* parent = nullptr);

    // Shows the window, raised when it is open already.
    void ShowManual();

private:
    QTextBrowser* browser_;
};

} // namespace kv
