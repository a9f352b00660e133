#pragma once

#include <QDialog>
#include <string>

class QLineEdit;

namespace kv {

// "New Title": the design's title.
class CNewTitleDlg : public QDialog {
    Q_OBJECT

public:
    explicit CNewTitleDlg(const std::string& title, QWidget* parent = nullptr);

    std::string Title() const;

private:
    QLineEdit* title_;
};

} // namespace kv
