#include "dialogs/CSPLCurve.h"

#include "app/FileDialogs.h"
#include "archive/PathText.h"
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

namespace kv {

CSPLCurve::CSPLCurve(CBand& band, IMessageBox& messages, IFileChooser& files,
                     std::function<void()> changed, QWidget* parent)
    : QDialog(parent), band_(band), files_(files), editor_(band, messages, std::move(changed)) {
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

    const FieldSpec& spec = FieldsOf(FieldGroup::SplCurve)[0];
    smooth_ = BuildWholeField(spec, FieldContext{band}, this);
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
    AddLabelledRow(*form, QString::fromLatin1(spec.label), smooth_);
    AddLabelledRow(*form, QStringLiteral("&Level column"), column_);
    columnLabel_ = qobject_cast<QLabel*>(form->labelForField(column_));
    auto* outer = new QFormLayout;
    outer->addRow(properties);
    FinishOkCancelDialog(*this, outer);
    ShowColumns();
}

void CSPLCurve::ChooseFile() {
    const std::optional<std::filesystem::path> path =
        files_.ChooseFileToOpen(MeasurementFileSpec(band_.splFileName));
    if (!path) {
        return;
    }
    if (editor_.LoadFile(*path)) {
        file_->setText(QString::fromStdString(PathText(*path)));
    }
    ShowColumns();
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

void CSPLCurve::reject() {
    editor_.Cancel();
    QDialog::reject();
}

} // namespace kv
