#include "dialogs/CProgramEEprom.h"

#include "dialogs/GuiThreadForwarding.h"
#include "dialogs/PortCombo.h"
#include "hardware/UnitProgramming.h"
#include "model/CConfiguration.h"
#include "platform/CComPort.h"
#include "session/UnitOutput.h"
#include "ui/IMessageBox.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QThread>
#include <QTimer>
#include <QVBoxLayout>

namespace kv {
namespace {

constexpr const char* kProgrammed = "The HMQ27 has been programmed.";
// The entry selected when the remembered port is not in the list.
constexpr int kFallbackPort = 2;

} // namespace

CProgramEEprom::CProgramEEprom(const CConfiguration& design, int portNumber, ISettings& settings,
                               IMessageBox& messages, IFileChooser& files, QWidget* parent)
    : QDialog(parent), design_(design), settings_(settings), messages_(messages), files_(files),
      portNumber_(ProgrammingPortNumber(portNumber, settings)), startAtOnce_(portNumber > 0),
      makePort_([] { return std::make_unique<CComPort>(); }), portCombo_(new QComboBox(this)),
      progress_(new QProgressBar(this)), goButton_(new QPushButton(QStringLiteral("&Go"), this)),
      cancelButton_(new QPushButton(QStringLiteral("&Cancel"), this)) {
    setObjectName(QStringLiteral("programDialog"));
    setWindowTitle(QStringLiteral("Program HMQ27"));

    portCombo_->setObjectName(QStringLiteral("portCombo"));
    FillPortCombo(*portCombo_, portNumber_, kFallbackPort);
    auto* portLabel = new QLabel(QStringLiteral("Serial &port:"), this);
    portLabel->setBuddy(portCombo_);
    portCombo_->setAccessibleName(QStringLiteral("Serial port"));
    connect(portCombo_, &QComboBox::activated, this,
            [this](int index) { portNumber_ = portCombo_->itemData(index).toInt(); });

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

void CProgramEEprom::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
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
    if (portNumber_ < 0) {
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
    const int portNumber = portNumber_;
    worker_.reset(QThread::create([this, progress, portNumber] {
        // The port lives and dies on this thread, as serial ports must.
        const std::unique_ptr<ISerialPort> port = makePort_();
        GuiThreadMessageBox messages(messages_, *this);
        GuiThreadSettings settings(settings_, *this);
        const bool programmed =
            ProgramUnit(design_, portNumber, settings, {*port, messages, progress, timing_});
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
