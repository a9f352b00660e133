#include "dialogs/CSPLCurve.h"

#include "archive/PathText.h"
#include "dialogs/DialogLayout.h"
#include "model/CBand.h"
#include "session/FileDialogs.h"
#include "session/IFileChooser.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
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

// The gate's length goes into the editor's gate, which then makes the curve
// again.
void CSPLCurve::WriteField(const RowField& field) {
    field.Write();
    if (field.Context().gate != nullptr) {
        editor_.ApplyGate();
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
