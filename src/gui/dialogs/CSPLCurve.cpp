#include "dialogs/CSPLCurve.h"

#include "app/FileDialogs.h"
#include "archive/PathText.h"
#include "controls/VFloatSpinButton.h"
#include "controls/VIntSpinButton.h"
#include "dialogs/DialogLayout.h"
#include "dialogs/FieldTable.h"
#include "model/CBand.h"

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

CSPLCurve::CSPLCurve(CBand& band, IMessageBox& messages, IFileChooser& files,
                     std::function<void()> changed, QWidget* parent)
    : LiveEditDialog(parent), band_(band), files_(files),
      editor_(band, messages, std::move(changed)) {
    setObjectName(QStringLiteral("splCurveDialog"));
    setWindowTitle(QStringLiteral("SPL Curve"));
    file_ = new QLineEdit(QString::fromStdString(band.splFileName), this);
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

    const FieldDescription& description = FieldsOf(FieldGroup::SplCurve)[0];
    smooth_ = BuildWholeField(description, FieldContext{band}, this);
    connect(smooth_, &VSpinButtonBase::spinChanged, this,
            [this] { editor_.SetSmoothing(smooth_->Value()); });
    column_ = new QComboBox(this);
    column_->setObjectName(QStringLiteral("columnCombo"));
    connect(column_, &QComboBox::activated, this, [this] {
        editor_.ChooseColumn(column_->currentText().toStdString());
        ShowColumns();
    });

    auto* properties = new QGroupBox(QStringLiteral("Properties"), this);
    auto* form = new QFormLayout(properties);
    auto* fileLabel = new QLabel(QStringLiteral("&Filename"), this);
    fileLabel->setBuddy(browse);
    form->addRow(fileLabel, fileRow);
    file_->setAccessibleName(QStringLiteral("Filename"));
    AddLabelledRow(*form, QString::fromLatin1(description.label), smooth_);
    AddLabelledRow(*form, QStringLiteral("&Level column"), column_);
    columnLabel_ = qobject_cast<QLabel*>(form->labelForField(column_));
    auto* outer = new QFormLayout;
    outer->addRow(properties);
    outer->addRow(BuildGate());
    FinishOkCancelDialog(*this, outer);
    ShowColumns();
    ShowGate();
}

QWidget* CSPLCurve::BuildGate() {
    auto* box = new QGroupBox(QStringLiteral("Impulse response gate"), this);
    box->setObjectName(QStringLiteral("gateGroup"));
    const FieldDescription& description = FieldsOf(FieldGroup::Gate)[0];
    gateLength_ = BuildFloatField(description, FieldContext{band_}, box);
    connect(gateLength_, &VSpinButtonBase::spinChanged, this, &CSPLCurve::GateChanged);
    gateWindow_ = new QComboBox(box);
    gateWindow_->setObjectName(QStringLiteral("gateWindowCombo"));
    for (const std::string& name : GateWindowNames()) {
        gateWindow_->addItem(QString::fromStdString(name));
    }
    gateWindow_->setCurrentIndex(static_cast<int>(
        std::find(kGateWindows.begin(), kGateWindows.end(), editor_.Gate().window) -
        kGateWindows.begin()));
    connect(gateWindow_, &QComboBox::activated, this, &CSPLCurve::GateChanged);
    gateNote_ = new QLabel(box);
    gateNote_->setObjectName(QStringLiteral("gateNote"));
    gateNote_->setWordWrap(true);
    auto* form = new QFormLayout(box);
    AddLabelledRow(*form, QString::fromLatin1(description.label), gateLength_);
    AddLabelledRow(*form, QStringLiteral("&Window"), gateWindow_);
    form->addRow(gateNote_);
    gate_ = box;
    return box;
}

void CSPLCurve::GateChanged() {
    const int window = gateWindow_->currentIndex();
    if (window < 0 || window >= static_cast<int>(kGateWindows.size())) {
        return;
    }
    editor_.SetGate({gateLength_->Value(), kGateWindows[static_cast<std::size_t>(window)]});
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

void CSPLCurve::ChooseFile() {
    const std::optional<std::filesystem::path> path =
        files_.ChooseFileToOpen(MeasurementFileDialog(band_.splFileName));
    if (!path) {
        return;
    }
    if (editor_.LoadFile(*path)) {
        file_->setText(QString::fromStdString(PathText(*path)));
    }
    ShowColumns();
    ShowGate();
}

// The column list shows only for a file that names several level columns.
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

void CSPLCurve::Restore() {
    editor_.Cancel();
}

} // namespace kv
