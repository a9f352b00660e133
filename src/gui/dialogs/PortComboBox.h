#pragma once

#include "platform/SerialPortList.h"

#include <QComboBox>
#include <functional>
#include <vector>

namespace kv {

// Where a port box gets its list from; the system's ports unless a test
// says otherwise.
using PortListSource = std::function<std::vector<PortEntry>()>;

// The serial-port box of the main window and of the programming dialog: the
// ports the system has, read again each time the list opens, and an edit
// line for a port the list does not show ("/dev/ttyUSB1", "COM12").
class PortComboBox : public QComboBox {
    Q_OBJECT

public:
    explicit PortComboBox(QWidget* parent = nullptr, PortListSource source = AvailablePortEntries);

    // The device of the entry shown, or the port as typed.
    QString Choice() const;
    // Shows the entry of that device, or the port as it is written; with
    // none, the first entry.
    void SetChoice(const QString& port);
    // Reads the list again and keeps the choice.
    void Refresh();

    void showPopup() override;

private:
    PortListSource source_;
};

} // namespace kv
