#pragma once

#include <QWidget>

class QVBoxLayout;

namespace kv {

class DesignSession;

// What the window offers in the schematic's place while no design is open:
// the ways to begin, each a button (a new design, a design file, one of the
// recent designs, the 3-way example).
class StartPanel : public QWidget {
    Q_OBJECT

public:
    explicit StartPanel(DesignSession& session, QWidget* parent = nullptr);

    // Lists the recent designs as they are now.
    void Refresh();

private:
    void OpenExample();

    DesignSession& session_;
    QVBoxLayout* recent_;
};

} // namespace kv
