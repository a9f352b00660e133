#include "dialogs/PortComboBox.h"

#include <QSignalBlocker>

namespace kv {
namespace {

constexpr int kTypedPortLength = 14;

} // namespace

PortComboBox::PortComboBox(QWidget* parent, PortListSource source)
    : QComboBox(parent), source_(std::move(source)) {
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    // Completing a typed "/dev/ttyS1" to a listed "/dev/ttyS10" would open
    // another port than the one typed.
    setCompleter(nullptr);
    setSizeAdjustPolicy(QComboBox::AdjustToContents);
    // Room for a typed device path before any port is listed.
    setMinimumContentsLength(kTypedPortLength);
    Refresh();
}

QString PortComboBox::Choice() const {
    const QString text = currentText();
    const int index = findText(text, Qt::MatchExactly);
    return index >= 0 ? itemData(index).toString() : text.trimmed();
}

void PortComboBox::SetChoice(const QString& port) {
    const int index = port.isEmpty() ? (count() > 0 ? 0 : -1) : findData(port);
    if (index >= 0) {
        setCurrentIndex(index);
    } else {
        setCurrentIndex(-1);
        setEditText(port);
    }
}

// Only a new choice is news: the emptied box between is none, and neither is
// the same port refilled.
void PortComboBox::Refresh() {
    const QString choice = Choice();
    {
        const QSignalBlocker quiet(this);
        clear();
        for (const PortEntry& entry : source_()) {
            addItem(entry.text, entry.device);
        }
        SetChoice(choice);
    }
    if (Choice() != choice) {
        emit currentTextChanged(currentText());
    }
}

void PortComboBox::showPopup() {
    Refresh();
    QComboBox::showPopup();
}

} // namespace kv
