#pragma once

#include "app/FloatingWindow.h"

class QTextBrowser;

namespace kv {

// "Kestrelvane Help": the user manual that ships inside the program, in a
// window of its own beside the main window.
class HelpViewer : public FloatingWindow {
    Q_OBJECT

public:
    explicit HelpViewer(QWidget* parent = nullptr);

private:
    QTextBrowser* browser_;
};

} // namespace kv
