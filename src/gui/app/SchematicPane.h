#pragma once

#include <QWidget>

namespace kv {

class DesignSession;

// The "Block Schematic" pane: the signal chain of every used band.
class SchematicPane : public QWidget {
    Q_OBJECT

public:
    explicit SchematicPane(DesignSession& session, QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    DesignSession& session_;
};

} // namespace kv
