#pragma once

#include "dialogs/SplCurveEditor.h"

#include <QDialog>

class QComboBox;
class QLabel;
class QLineEdit;

namespace kv {

class IFileChooser;
class VIntSpinButton;

// "SPL Curve": the driver's measured curve of a band, chosen from a
// measurement file, with its smoothing and, for a file of several level
// columns, the column it is read from.
class CSPLCurve : public QDialog {
    Q_OBJECT

public:
    CSPLCurve(CBand& band, IMessageBox& messages, IFileChooser& files,
              std::function<void()> changed, QWidget* parent = nullptr);

    void reject() override;

private:
    void ChooseFile();
    void ShowColumns();

    CBand& band_;
    IFileChooser& files_;
    SplCurveEditor editor_;
    QLineEdit* file_ = nullptr;
    VIntSpinButton* smooth_ = nullptr;
    QLabel* columnLabel_ = nullptr;
    QComboBox* column_ = nullptr;
};

} // namespace kv
