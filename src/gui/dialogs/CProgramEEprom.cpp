#include "dialogs/CProgramEEprom.h"

#include "dialogs/GuiThreadForwarding.h"
#include "dialogs/PortComboBox.h"
#include "hardware/UnitProgramming.h"
#include "model/CConfiguration.h"
#include "platform/CComPort.h"
#include "session/BlockWarnings.h"
#include "session/UnitOutput.h"
#include "ui/IMessageBox.h"

#include <QCloseEvent>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QThread>
#include <QTimer>
#include <QVBoxLayout>

namespace kv {
namespace {

constexpr const char* kProgrammed = "The HMQ27 has been programmed.";

// The dialog shows the file mode it remembers only when it was given no
// port.
bool RemembersFileMode(const std::string& port, const ISettings& settings) {
    return port.empty() && ProgrammingPortNumber(0, settings) < 0;
}

} // namespace

CProgramEEprom::CProgramEEprom(const CConfiguration& design, const std::string& port,
                               const BlockWarnings& safety, ISettings& settings,
                               IMessageBox& messages, IFileChooser& files, QWidget* parent)
    : QDialog(parent), design_(design), settings_(settings), messages_(messages), files_(files),
      fileMode_(RemembersFileMode(port, settings)), startAtOnce_(!port.empty() && safety.Empty()),
      makePort_([] { return std::make_unique<CComPort>(); }), portCombo_(new PortComboBox(this)),
      progress_(new QProgressBar(this)), goButton_(new QPushButton(QStringLiteral("&Go"), this)),
      cancelButton_(new QPushButton(QStringLiteral("&Cancel"), this)) {
    setObjectName(QStringLiteral("programDialog"));
    setWindowTitle(QStringLiteral("Program HMQ27"));

    portCombo_->setObjectName(QStringLiteral("portCombo"));
    portCombo_->SetChoice(
        QString::fromStdString(port.empty() ? ReadPort(settings, kDialogPort) : port));
    auto* portLabel = new QLabel(QStringLiteral("Serial &port:"), this);
    portLabel->setBuddy(portCombo_);
    portCombo_->setAccessibleName(QStringLiteral("Serial port"));
    // Choosing a port leaves the file mode, as it always did.
    connect(portCombo_, &QComboBox::activated, this, [this] { fileMode_ = false; });
    connect(portCombo_->lineEdit(), &QLineEdit::textEdited, this, [this] { fileMode_ = false; });

    progress_->setObjectName(QStringLiteral("progressBar"));
    progress_->setAccessibleName(QStringLiteral("Progress"));
    progress_->setValue(0);

    goButton_->setObjectName(QStringLiteral("goButton"));
    goButton_->setDefault(true);
    cancelButton_->setObjectName(QStringLiteral("cancelButton"));
    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(goButton_, QDialogButtonBox::AcceptRole);
    buttons->addButton(cancelButton_, QDialogButtonBox::RejectRole);
    connect(goButton_, &QPushButton::clicked, this, &CProgramEEprom::Go);
    connect(cancelButton_, &QPushButton::clicked, this, &CProgramEEprom::reject);

    auto* form = new QFormLayout;
    form->addRow(portLabel, portCombo_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    if (!safety.Empty()) {
        layout->addWidget(SafetyLabel(safety));
    }
    layout->addWidget(progress_);
    layout->addWidget(buttons);
    setMinimumWidth(360);
}

// A transfer still running holds references into this dialog; it ends
// within its time-outs.
CProgramEEprom::~CProgramEEprom() {
    if (worker_) {
        worker_->wait();
    }
}

void CProgramEEprom::SetTransport(SerialPortFactory makePort, const MC24LC64Timing& timing) {
    makePort_ = std::move(makePort);
    timing_ = timing;
}

// Warnings do not stop programming; the user reads them before pressing Go.
QLabel* CProgramEEprom::SafetyLabel(const BlockWarnings& safety) {
    QString text = QStringLiteral("This design may harm a driver or your ears:\n");
    for (const std::string& advice : safety.Advice()) {
        text += QStringLiteral("\n\u2022 ") + QString::fromStdString(advice);
    }
    text += QStringLiteral("\n\nPress Go to go on anyway, or Cancel to change the design first.");
    auto* label = new QLabel(text, this);
    label->setObjectName(QStringLiteral("safetyWarnings"));
    label->setWordWrap(true);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    label->setToolTip(QString::fromStdString(safety.Details()));
    label->setAccessibleName(text);
    return label;
}

// The list is read again for a dialog opened after an adapter was plugged in.
void CProgramEEprom::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    portCombo_->Refresh();
    if (startAtOnce_) {
        startAtOnce_ = false;
        QTimer::singleShot(0, this, &CProgramEEprom::Go);
    }
}

// Closing while the unit is being written would leave it half-programmed.
void CProgramEEprom::closeEvent(QCloseEvent* event) {
    if (Busy()) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

void CProgramEEprom::reject() {
    if (!Busy()) {
        QDialog::reject();
    }
}

void CProgramEEprom::Go() {
    if (Busy()) {
        return;
    }
    if (fileMode_) {
        WriteCfgFileChosenByUser(design_, files_, settings_, messages_);
        accept();
        return;
    }
    if (!CheckProgrammable(design_, messages_)) {
        reject();
        return;
    }
    StartTransfer();
}

void CProgramEEprom::StartTransfer() {
    SetControlsEnabled(false);
    auto* progress = new ProgressSignals;
    progress->setParent(this);
    connect(progress, &ProgressSignals::rangeChanged, progress_, &QProgressBar::setRange);
    connect(progress, &ProgressSignals::positionChanged, progress_, &QProgressBar::setValue);
    connect(progress, &ProgressSignals::stepped, progress_, [this] {
        progress_->setValue(std::min(progress_->value() + 1, progress_->maximum()));
    });
    const std::string chosenPort = portCombo_->Choice().toStdString();
    worker_.reset(QThread::create([this, progress, chosenPort] {
        // The port lives and dies on this thread, as serial ports must.
        const std::unique_ptr<ISerialPort> port = makePort_();
        GuiThreadMessageBox messages(messages_, *this);
        GuiThreadSettings settings(settings_, *this);
        const bool programmed =
            ProgramUnit(design_, chosenPort, settings, {*port, messages, progress, timing_});
        QMetaObject::invokeMethod(
            this, [this, programmed] { TransferEnded(programmed); }, Qt::QueuedConnection);
    }));
    worker_->start();
}

void CProgramEEprom::TransferEnded(bool programmed) {
    worker_->wait();
    worker_.reset();
    SetControlsEnabled(true);
    if (programmed) {
        messages_.Show(kProgrammed, kMessageCaption, IMessageBox::Icon::Information);
        accept();
    } else {
        reject();
    }
}

void CProgramEEprom::SetControlsEnabled(bool enabled) {
    goButton_->setEnabled(enabled);
    cancelButton_->setEnabled(enabled);
    portCombo_->setEnabled(enabled);
}

} // namespace kv
