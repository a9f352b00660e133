#pragma once

#include "dialogs/LiveEditDialog.h"
#include "session/SplCurveEditor.h"

class QComboBox;
class QLabel;
class QLineEdit;

namespace kv {

class IFileChooser;

// "SPL Curve": the driver's measured curve of a band, chosen from a
// measurement file, with its smoothing and, for a file of several level
// columns, the column it is read from; for an impulse response, the gate
// that makes it a curve, changed live.
class CSPLCurve : public LiveEditDialog {
    Q_OBJECT

public:
    CSPLCurve(CConfiguration& design, int band, IMessageBox& messages, IFileChooser& files,
              std::function<void()> changed, QWidget* parent = nullptr);

private:
    void WriteField(const RowField& field) override;
    void ShowDesign() override;
    void ChooseFile();
    QWidget* BuildGate(int band);
    void WindowChosen();
    // The column list shows only for a file that names several level
    // columns, the gate's controls only for a time response.
    void ShowColumns();
    void ShowGate();

    CBand& band_;
    IFileChooser& files_;
    SplCurveEditor editor_;
    QLineEdit* file_ = nullptr;
    QLabel* columnLabel_ = nullptr;
    QComboBox* column_ = nullptr;
    QWidget* gate_ = nullptr;
    QComboBox* gateWindow_ = nullptr;
    QLabel* gateNote_ = nullptr;
};

} // namespace kv
