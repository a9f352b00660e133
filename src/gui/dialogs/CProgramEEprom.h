#pragma once

#include "hardware/CMC24LC64.h"

#include <QDialog>
#include <QThread>
#include <functional>
#include <memory>
#include <string>

class QLabel;
class QProgressBar;
class QPushButton;

namespace kv {

class BlockWarnings;
class CConfiguration;
class IFileChooser;
class IMessageBox;
class ISerialPort;
class ISettings;
class PortComboBox;

// Makes the serial port a transfer talks through; called on the thread that
// runs the transfer, which then owns the port.
using SerialPortFactory = std::function<std::unique_ptr<ISerialPort>()>;

// "Program HMQ27": sends the design's image to the unit over a serial port
// or, in file mode (remembered as a negative port number), writes it as a
// TAS3103 .cfg file. The transfer runs on a thread of its own, so the program
// keeps painting while the progress bar moves; the dialog cannot be closed
// until the transfer has ended.
class CProgramEEprom : public QDialog {
    Q_OBJECT

public:
    // port: the port the user chose, which starts the transfer at once;
    // empty: the port remembered in the settings, and the user presses
    // "&Go". A design with safety warnings never starts at once: the dialog
    // lists them and waits for "&Go".
    CProgramEEprom(const CConfiguration& design, const std::string& port,
                   const BlockWarnings& safety, ISettings& settings, IMessageBox& messages,
                   IFileChooser& files, QWidget* parent = nullptr);
    ~CProgramEEprom() override;

    // For tests: the port and the protocol's waits of the transfers.
    void SetTransport(SerialPortFactory makePort, const MC24LC64Timing& timing);

    bool Busy() const { return worker_ != nullptr; }

    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void Go();
    void StartTransfer();
    void TransferEnded(bool programmed);
    void SetControlsEnabled(bool enabled);
    QLabel* SafetyLabel(const BlockWarnings& safety);

    const CConfiguration& design_;
    ISettings& settings_;
    IMessageBox& messages_;
    IFileChooser& files_;
    bool fileMode_;
    bool startAtOnce_;
    SerialPortFactory makePort_;
    MC24LC64Timing timing_;
    PortComboBox* portCombo_;
    QProgressBar* progress_;
    QPushButton* goButton_;
    QPushButton* cancelButton_;
    std::unique_ptr<QThread> worker_;
};

} // namespace kv
