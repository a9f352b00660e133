#include "dialogs/CGainDlg.h"

#include "controls/VFloatSpinButton.h"
#include "dialogs/DialogLayout.h"
#include "dialogs/FieldTable.h"
#include "model/CBand.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QRadioButton>
#include <QVBoxLayout>

namespace kv {
namespace {

constexpr std::array<const char*, 3> kInputTexts = {"Input &A", "Input &B", "&Input (A+B)/2"};
constexpr std::array<const char*, 3> kInputNames = {"inputARadio", "inputBRadio", "inputBothRadio"};

} // namespace

CGainDlg::CGainDlg(CBand& band, std::function<void()> changed, QWidget* parent)
    : LiveEditDialog(parent), band_(band), changed_(std::move(changed)), saved_(ReadRouting(band)) {
    setObjectName(QStringLiteral("gainDialog"));
    setWindowTitle(QStringLiteral("Routing & Gain"));
    auto* routing = new QGroupBox(QStringLiteral("Routing"), this);
    auto* radios = new QVBoxLayout(routing);
    for (std::size_t i = 0; i < inputs_.size(); ++i) {
        inputs_[i] = new QRadioButton(QString::fromLatin1(kInputTexts[i]), routing);
        inputs_[i]->setObjectName(QString::fromLatin1(kInputNames[i]));
        inputs_[i]->setChecked(band.input == static_cast<int>(i));
        radios->addWidget(inputs_[i]);
        const int route = static_cast<int>(i);
        connect(inputs_[i], &QRadioButton::clicked, this, [this, route] {
            band_.SetInput(route);
            changed_();
        });
    }
    const FieldDescription& description = FieldsOf(FieldGroup::Gain)[0];
    gain_ = BuildFloatField(description, FieldContext{band}, this);
    connect(gain_, &VSpinButtonBase::spinChanged, this, &CGainDlg::GainChanged);
    muted_ = new QCheckBox(QStringLiteral("Output &muted"), this);
    muted_->setObjectName(QStringLiteral("mutedCheck"));
    muted_->setChecked(band.muted);
    connect(muted_, &QCheckBox::clicked, this, [this](bool on) {
        band_.SetMuted(on);
        changed_();
    });
    reversed_ = new QCheckBox(QStringLiteral("&Reversed phase"), this);
    reversed_->setObjectName(QStringLiteral("reversedCheck"));
    reversed_->setChecked(band.reversedPhase);
    connect(reversed_, &QCheckBox::clicked, this, [this](bool on) {
        band_.SetReversedPhase(on);
        changed_();
    });

    auto* form = new QFormLayout;
    form->addRow(routing);
    AddLabelledRow(*form, QString::fromLatin1(description.label), gain_);
    form->addRow(muted_);
    form->addRow(reversed_);
    FinishOkCancelDialog(*this, form);
}

void CGainDlg::GainChanged() {
    band_.SetGain(gain_->Value());
    gain_->SetValue(band_.gain);
    changed_();
}

void CGainDlg::Restore() {
    RestoreRouting(band_, saved_);
    changed_();
}

} // namespace kv
