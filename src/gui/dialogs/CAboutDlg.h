#pragma once

#include <QDialog>

namespace kv {

// "About Kestrelvane (HMQ27)": the program's icon, version and edition.
class CAboutDlg : public QDialog {
    Q_OBJECT

public:
    explicit CAboutDlg(QWidget* parent = nullptr);
};

} // namespace kv
