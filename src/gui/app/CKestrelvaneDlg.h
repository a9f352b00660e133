#pragma once

#include "model/CConfiguration.h"

#include <QMainWindow>

namespace kv {

// The main window. It owns the one design of the run.
class CKestrelvaneDlg : public QMainWindow {
    Q_OBJECT

public:
    explicit CKestrelvaneDlg(QWidget* parent = nullptr);

    CConfiguration& Configuration() { return configuration_; }

private:
    CConfiguration configuration_;
};

} // namespace kv
