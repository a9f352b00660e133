#include "dialogs/CBassNTrebleDlg.h"

#include "dialogs/DialogLayout.h"

#include <QComboBox>
#include <QFormLayout>

namespace kv {

CBassNTrebleDlg::CBassNTrebleDlg(CConfiguration& design, int band, std::function<void()> changed,
                                 QWidget* parent)
    : LiveEditDialog(design, std::move(changed), parent),
      band_(design.bands[static_cast<std::size_t>(band)]) {
    setObjectName(QStringLiteral("bassTrebleDialog"));
    setWindowTitle(QStringLiteral("Bass & Treble"));
    bassCorner_ = CornerCombo(QStringLiteral("bassCornerCombo"), false, band_.bassCorner);
    trebleCorner_ = CornerCombo(QStringLiteral("trebleCornerCombo"), true, band_.trebleCorner);
    auto* form = new QFormLayout;
    AddLabelledField(*form, "bassGain", {design, band});
    AddLabelledRow(*form, QStringLiteral("3 dB &corner"), bassCorner_);
    AddLabelledField(*form, "trebleGain", {design, band});
    AddLabelledRow(*form, QStringLiteral("3 dB c&orner"), trebleCorner_);
    FinishOkCancelDialog(*this, form);
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

void CBassNTrebleDlg::CornersChanged() {
    HandleChange([this] {
        band_.SetBassCorner(bassCorner_->currentData().toInt());
        band_.SetTrebleCorner(trebleCorner_->currentData().toInt());
    });
}

} // namespace kv
