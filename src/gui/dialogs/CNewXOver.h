#pragma once

#include "session/IDesignDialogs.h"

#include <QDialog>

class QComboBox;
class QLineEdit;

namespace kv {

// "New X-Over": the title and the number of ways of a new design.
class CNewXOver : public QDialog {
    Q_OBJECT

public:
    explicit CNewXOver(QWidget* parent = nullptr);

    // What the dialog shows now.
    NewDesignChoice Choice() const;

private:
    QLineEdit* title_;
    QComboBox* topology_;
};

} // namespace kv
