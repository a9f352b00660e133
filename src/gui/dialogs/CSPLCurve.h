#pragma once

#include "dialogs/LiveEditDialog.h"
#include "session/SplCurveEditor.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;

namespace kv {

class IFileChooser;

// "SPL Curve": the driver's measured curve of a band, chosen from a
// measurement file, with its smoothing and, for a file of several level
// columns, the column it is read from; for an impulse response, the gate
// that makes it a curve, changed live; and the phase the curve carries (the
// file's own or the minimum phase of its magnitude), the driver's acoustic
// offset and the removal of the flight time, kept while the dialog is open
// and applied to each file read in it.
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
    // The phase's controls show once a file is read in the dialog.
    QWidget* BuildPhase(int band);
    void ShowPhase();
    void PhaseChosen();

    CBand& band_;
    IFileChooser& files_;
    SplCurveEditor editor_;
    QLineEdit* file_ = nullptr;
    QLabel* columnLabel_ = nullptr;
    QComboBox* column_ = nullptr;
    QWidget* gate_ = nullptr;
    QComboBox* gateWindow_ = nullptr;
    QLabel* gateNote_ = nullptr;
    QWidget* phase_ = nullptr;
    QLabel* phaseNote_ = nullptr;
    QComboBox* phaseChoice_ = nullptr;
    QCheckBox* flightTime_ = nullptr;
};

} // namespace kv
