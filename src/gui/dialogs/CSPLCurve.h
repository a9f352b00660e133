#pragma once

#include "dialogs/LiveEditDialog.h"
#include "dialogs/SplCurveEditor.h"

class QComboBox;
class QLabel;
class QLineEdit;

namespace kv {

class IFileChooser;
class VFloatSpinButton;
class VIntSpinButton;

// "SPL Curve": the driver's measured curve of a band, chosen from a
// measurement file, with its smoothing and, for a file of several level
// columns, the column it is read from; for an impulse response, the gate
// that makes it a curve, changed live.
class CSPLCurve : public LiveEditDialog {
    Q_OBJECT

public:
    CSPLCurve(CBand& band, IMessageBox& messages, IFileChooser& files,
              std::function<void()> changed, QWidget* parent = nullptr);

private:
    void Restore() override;
    void ChooseFile();
    void ShowColumns();
    QWidget* BuildGate();
    void GateChanged();
    // The gate's controls show only for a time response.
    void ShowGate();

    CBand& band_;
    IFileChooser& files_;
    SplCurveEditor editor_;
    QLineEdit* file_ = nullptr;
    VIntSpinButton* smooth_ = nullptr;
    QLabel* columnLabel_ = nullptr;
    QComboBox* column_ = nullptr;
    QWidget* gate_ = nullptr;
    VFloatSpinButton* gateLength_ = nullptr;
    QComboBox* gateWindow_ = nullptr;
    QLabel* gateNote_ = nullptr;
};

} // namespace kv
