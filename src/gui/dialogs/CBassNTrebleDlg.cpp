#include "dialogs/CBassNTrebleDlg.h"

#include "controls/VFloatSpinButton.h"
#include "dialogs/DialogLayout.h"
#include "dialogs/FieldTable.h"
#include "model/CBand.h"

#include <QComboBox>
#include <QFormLayout>

namespace kv {

CBassNTrebleDlg::CBassNTrebleDlg(CBand& band, std::function<void()> changed, QWidget* parent)
    : LiveEditDialog(parent), band_(band), changed_(std::move(changed)), saved_(ReadTone(band)) {
    setObjectName(QStringLiteral("bassTrebleDialog"));
    setWindowTitle(QStringLiteral("Bass & Treble"));
    const std::span<const FieldDescription> fields = FieldsOf(FieldGroup::BassTreble);
    const FieldContext context{band};
    bass_ = BuildFloatField(fields[0], context, this);
    treble_ = BuildFloatField(fields[1], context, this);
    bassCorner_ = CornerCombo(QStringLiteral("bassCornerCombo"), false, band.bassCorner);
    trebleCorner_ = CornerCombo(QStringLiteral("trebleCornerCombo"), true, band.trebleCorner);
    auto* form = new QFormLayout;
    AddLabelledRow(*form, QString::fromLatin1(fields[0].label), bass_);
    AddLabelledRow(*form, QStringLiteral("3 dB &corner"), bassCorner_);
    AddLabelledRow(*form, QString::fromLatin1(fields[1].label), treble_);
    AddLabelledRow(*form, QStringLiteral("3 dB c&orner"), trebleCorner_);
    FinishOkCancelDialog(*this, form);
    for (VFloatSpinButton* field : {bass_, treble_}) {
        connect(field, &VSpinButtonBase::spinChanged, this, &CBassNTrebleDlg::GainsChanged);
    }
    for (QComboBox* combo : {bassCorner_, trebleCorner_}) {
        connect(combo, &QComboBox::activated, this, &CBassNTrebleDlg::CornersChanged);
    }
}

QComboBox* CBassNTrebleDlg::CornerCombo(const QString& name, bool treble, int selection) {
    auto* combo = new QComboBox(this);
    combo->setObjectName(name);
    int value = kMinToneCorner;
    for (const std::string& text : CornerTexts(band_, treble)) {
        combo->addItem(QString::fromStdString(text), value++);
    }
    combo->setCurrentIndex(combo->findData(selection));
    return combo;
}

void CBassNTrebleDlg::ShowGains() {
    bass_->SetValue(band_.bassGain);
    treble_->SetValue(band_.trebleGain);
}

void CBassNTrebleDlg::GainsChanged() {
    SetToneGains(band_, bass_->Value(), treble_->Value());
    ShowGains();
    changed_();
}

void CBassNTrebleDlg::CornersChanged() {
    SetToneCorners(band_, bassCorner_->currentData().toInt(), trebleCorner_->currentData().toInt());
    changed_();
}

void CBassNTrebleDlg::Restore() {
    RestoreTone(band_, saved_);
    changed_();
}

} // namespace kv
