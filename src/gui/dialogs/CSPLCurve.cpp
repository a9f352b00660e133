#include "dialogs/CSPLCurve.h"

#include "archive/PathText.h"
#include "dialogs/DialogLayout.h"
#include "model/CBand.h"
#include "session/FileDialogs.h"
#include "session/IFileChooser.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStandardItemModel>
#include <algorithm>

namespace kv {
namespace {

// What the gate did, when the user should know: it ended with the file, or
// it gave no curve (and why).
QString GateNote(const GateReport& report) {
    if (report.outcome != GateOutcome::Gated) {
        return QString::fromStdString(DescribeGateOutcome(report.outcome));
    }
    if (report.clamped) {
        return QStringLiteral("The file ends %1 ms after the peak; the gate ends there.")
            .arg(report.appliedMs, 0, 'f', 2);
    }
    return {};
}

// Which phase the curve carries and what the file gave for it.
QString PhaseNote(const PhaseReport& report) {
    QString note = QStringLiteral("Phase: %1").arg(QString::fromStdString(DescribePhase(report)));
    if (report.content == PhaseContent::None) {
        note += QStringLiteral(" (the file carries none)");
    } else if (report.content == PhaseContent::GroupDelay && !report.minimum) {
        note += QStringLiteral(" (the file's third column is a group delay)");
    }
    return note;
}

} // namespace

CSPLCurve::CSPLCurve(CConfiguration& design, int band, IMessageBox& messages, IFileChooser& files,
                     std::function<void()> changed, QWidget* parent)
    : LiveEditDialog(design, std::move(changed), messages, parent),
      band_(design.bands[static_cast<std::size_t>(band)]), files_(files),
      editor_(band_, Messages()) {
    setObjectName(QStringLiteral("splCurveDialog"));
    setWindowTitle(QStringLiteral("SPL Curve"));
    file_ = new QLineEdit(QString::fromStdString(band_.splFileName), this);
    file_->setObjectName(QStringLiteral("fileEdit"));
    file_->setReadOnly(true);
    file_->setMinimumWidth(360);
    auto* browse = new QPushButton(QStringLiteral("..."), this);
    browse->setObjectName(QStringLiteral("browseButton"));
    browse->setAccessibleName(QStringLiteral("Choose a measurement file"));
    browse->setAutoDefault(false);
    connect(browse, &QPushButton::clicked, this, &CSPLCurve::ChooseFile);
    auto* fileRow = new QHBoxLayout;
    fileRow->addWidget(file_, 1);
    fileRow->addWidget(browse);

    column_ = new QComboBox(this);
    column_->setObjectName(QStringLiteral("columnCombo"));
    connect(column_, &QComboBox::activated, this, [this] {
        HandleChange([this] { editor_.ChooseColumn(column_->currentText().toStdString()); });
    });

    auto* properties = new QGroupBox(QStringLiteral("Properties"), this);
    auto* form = new QFormLayout(properties);
    auto* fileLabel = new QLabel(QStringLiteral("&Filename"), this);
    fileLabel->setBuddy(browse);
    form->addRow(fileLabel, fileRow);
    file_->setAccessibleName(QStringLiteral("Filename"));
    AddLabelledField(*form, "smoothing", {design, band});
    AddLabelledRow(*form, QStringLiteral("&Level column"), column_);
    columnLabel_ = qobject_cast<QLabel*>(form->labelForField(column_));
    auto* outer = new QFormLayout;
    outer->addRow(properties);
    outer->addRow(BuildGate(band));
    outer->addRow(BuildPhase(band));
    FinishOkCancelDialog(*this, outer);
    ShowDesign();
}

QWidget* CSPLCurve::BuildGate(int band) {
    auto* box = new QGroupBox(QStringLiteral("Impulse response gate"), this);
    box->setObjectName(QStringLiteral("gateGroup"));
    gateWindow_ = new QComboBox(box);
    gateWindow_->setObjectName(QStringLiteral("gateWindowCombo"));
    for (const std::string& name : GateWindowNames()) {
        gateWindow_->addItem(QString::fromStdString(name));
    }
    gateWindow_->setCurrentIndex(static_cast<int>(
        std::find(kGateWindows.begin(), kGateWindows.end(), editor_.Gate().window) -
        kGateWindows.begin()));
    connect(gateWindow_, &QComboBox::activated, this, &CSPLCurve::WindowChosen);
    gateNote_ = new QLabel(box);
    gateNote_->setObjectName(QStringLiteral("gateNote"));
    gateNote_->setWordWrap(true);
    auto* form = new QFormLayout(box);
    FieldContext gate{Design(), band};
    gate.gate = &editor_.Gate();
    AddLabelledField(*form, "gate", gate);
    AddLabelledRow(*form, QStringLiteral("&Window"), gateWindow_);
    form->addRow(gateNote_);
    gate_ = box;
    return box;
}

QWidget* CSPLCurve::BuildPhase(int band) {
    auto* box = new QGroupBox(QStringLiteral("Phase"), this);
    box->setObjectName(QStringLiteral("phaseGroup"));
    phaseNote_ = new QLabel(box);
    phaseNote_->setObjectName(QStringLiteral("phaseNote"));
    phaseChoice_ = new QComboBox(box);
    phaseChoice_->setObjectName(QStringLiteral("phaseCombo"));
    phaseChoice_->addItems({QStringLiteral("As measured"), QStringLiteral("Minimum phase")});
    connect(phaseChoice_, &QComboBox::activated, this, &CSPLCurve::PhaseChosen);
    flightTime_ = new QCheckBox(QStringLiteral("&Remove flight time"), box);
    flightTime_->setObjectName(QStringLiteral("flightTimeCheck"));
    connect(flightTime_, &QCheckBox::clicked, this, [this](bool on) {
        HandleChange([this, on] {
            editor_.Phase().removeFlightTime = on;
            editor_.ApplyPhase();
        });
    });
    auto* form = new QFormLayout(box);
    form->addRow(phaseNote_);
    AddLabelledRow(*form, QStringLiteral("&Phase"), phaseChoice_);
    FieldContext offset{Design(), band};
    offset.phase = &editor_.Phase();
    AddLabelledField(*form, "splOffset", offset);
    form->addRow(flightTime_);
    phase_ = box;
    return box;
}

void CSPLCurve::PhaseChosen() {
    const PhaseChoice choice =
        phaseChoice_->currentIndex() == 0 ? PhaseChoice::Measured : PhaseChoice::Minimum;
    HandleChange([this, choice] {
        editor_.Phase().choice = choice;
        editor_.ApplyPhase();
    });
}

// The gate's length goes into the editor's gate, and the offset into its
// phase, which then make the curve again.
void CSPLCurve::WriteField(const RowField& field) {
    field.Write();
    if (field.Context().gate != nullptr) {
        editor_.ApplyGate();
    }
    if (field.Context().phase != nullptr) {
        editor_.ApplyPhase();
    }
}

void CSPLCurve::WindowChosen() {
    const int window = gateWindow_->currentIndex();
    if (window < 0 || window >= static_cast<int>(kGateWindows.size())) {
        return;
    }
    HandleChange([this, window] {
        editor_.Gate().window = kGateWindows[static_cast<std::size_t>(window)];
        editor_.ApplyGate();
    });
}

void CSPLCurve::ShowDesign() {
    LiveEditDialog::ShowDesign();
    file_->setText(QString::fromStdString(band_.splFileName));
    ShowColumns();
    ShowGate();
    ShowPhase();
}

// The choice shows what the curve carries; a file without a phase has none
// to keep, and only a measured phase has a flight time to remove, which
// the box shows before it is applied.
void CSPLCurve::ShowPhase() {
    const bool offered = editor_.OffersPhase();
    if (offered == phase_->isHidden()) {
        phase_->setVisible(offered);
        adjustSize();
    }
    const PhaseReport& report = editor_.LastPhase();
    phaseNote_->setText(PhaseNote(report));
    phaseChoice_->setCurrentIndex(report.minimum ? 1 : 0);
    if (auto* model = qobject_cast<QStandardItemModel*>(phaseChoice_->model())) {
        model->item(0)->setEnabled(report.content != PhaseContent::None);
    }
    const bool measured = !report.minimum && report.flightTimeMs.has_value();
    flightTime_->setEnabled(measured);
    flightTime_->setChecked(report.flightTimeRemoved);
    flightTime_->setText(
        measured
            ? QStringLiteral("&Remove flight time (%1 ms)").arg(*report.flightTimeMs, 0, 'f', 3)
            : QStringLiteral("&Remove flight time"));
}

void CSPLCurve::ShowGate() {
    const bool offered = editor_.OffersGate();
    if (offered == gate_->isHidden()) {
        gate_->setVisible(offered);
        adjustSize();
    }
    gateNote_->setText(offered ? GateNote(editor_.LastGate()) : QString());
    gateNote_->setVisible(!gateNote_->text().isEmpty());
}

// The file dialog is part of the change: a second press of the button (its
// label's mnemonic clicks it too) while it is open opens no second one.
void CSPLCurve::ChooseFile() {
    HandleChange([this] {
        const std::optional<std::filesystem::path> path =
            files_.ChooseFileToOpen(MeasurementFileDialog(band_.splFileName));
        if (path) {
            editor_.LoadFile(*path);
        }
    });
}

void CSPLCurve::ShowColumns() {
    column_->clear();
    for (const std::string& name : editor_.LevelColumns()) {
        column_->addItem(QString::fromStdString(name));
    }
    column_->setCurrentText(QString::fromStdString(editor_.LevelColumn()));
    const bool several = column_->count() > 1;
    column_->setVisible(several);
    columnLabel_->setVisible(several);
}

} // namespace kv
