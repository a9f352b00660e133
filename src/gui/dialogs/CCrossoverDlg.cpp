#include "dialogs/CCrossoverDlg.h"

#include "controls/VFloatSpinButton.h"
#include "controls/VIntSpinButton.h"
#include "dialogs/DialogLayout.h"
#include "dialogs/FieldTable.h"
#include "model/CBand.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace kv {
namespace {

struct TypeItem {
    const char* text;
    CrossoverType type;
};

constexpr std::array<TypeItem, 4> kTypeItems = {{
    {"Bessel", CrossoverType::Bessel},
    {"Butterworth", CrossoverType::Butterworth},
    {"Linkwitz-Riley", CrossoverType::LinkwitzRiley},
    {"Custom...", CrossoverType::Custom},
}};

CrossoverType TypeOf(const QComboBox& combo) {
    return static_cast<CrossoverType>(combo.currentData().toInt());
}

void Select(QComboBox& combo, CrossoverType type) {
    combo.setCurrentIndex(combo.findData(static_cast<int>(type)));
}

QGroupBox* Group(const QString& title, const QString& name, QLayout* layout) {
    auto* group = new QGroupBox(title);
    group->setObjectName(name);
    group->setLayout(layout);
    return group;
}

} // namespace

CCrossoverDlg::CCrossoverDlg(CBand& band, CrossoverSide side, int slot, IMessageBox& messages,
                             std::function<void()> changed, QWidget* parent)
    : LiveEditDialog(messages, parent), editor_(band, side, slot, Messages(), std::move(changed)) {
    const bool highPass = side == CrossoverSide::HighPass;
    setObjectName(highPass ? QStringLiteral("highPassDialog") : QStringLiteral("lowPassDialog"));
    setWindowTitle(
        QStringLiteral("%1[%2]").arg(QString::fromLatin1(editor_.Title())).arg(slot + 1));
    auto* options = new QHBoxLayout;
    options->addWidget(BuildTarget(band, highPass));
    options->addWidget(BuildFilter(band, highPass));
    auto* form = new QFormLayout;
    form->addRow(options);
    form->addRow(BuildTuning(band, highPass));
    FinishOkCancelDialog(*this, form);
    ShowView(editor_.InitialView());
}

QComboBox* CCrossoverDlg::TypeCombo(const QString& name, bool withCustom) {
    auto* combo = new QComboBox;
    combo->setObjectName(name);
    for (const TypeItem& item : kTypeItems) {
        if (withCustom || item.type != CrossoverType::Custom) {
            combo->addItem(QString::fromLatin1(item.text), static_cast<int>(item.type));
        }
    }
    return combo;
}

QGroupBox* CCrossoverDlg::BuildTarget(const CBand& band, bool highPass) {
    const FieldContext context{band, editor_.Slot(), highPass};
    const std::span<const FieldDescription> fields = FieldsOf(FieldGroup::CrossoverTarget);
    targetType_ = TypeCombo(QStringLiteral("targetTypeCombo"), false);
    targetFreq_ = BuildFloatField(fields[0], context, this);
    targetOrder_ = BuildWholeField(fields[1], context, this);
    auto* form = new QFormLayout;
    AddLabelledRow(*form, QStringLiteral("T&ype"), targetType_);
    AddLabelledRow(*form, QString::fromLatin1(fields[0].label), targetFreq_);
    AddLabelledRow(*form, QString::fromLatin1(fields[1].label), targetOrder_);
    connect(targetType_, &QComboBox::activated, this,
            [this] { Handle(&CrossoverSlotEditor::TargetTypeChanged); });
    for (VSpinButtonBase* field : {static_cast<VSpinButtonBase*>(targetFreq_),
                                   static_cast<VSpinButtonBase*>(targetOrder_)}) {
        connect(field, &VSpinButtonBase::spinChanged, this,
                [this] { Handle(&CrossoverSlotEditor::ApplySettings); });
    }
    return Group(QStringLiteral("Target Options"), QStringLiteral("targetGroup"), form);
}

QGroupBox* CCrossoverDlg::BuildFilter(const CBand& band, bool highPass) {
    const FieldContext context{band, editor_.Slot(), highPass};
    const std::span<const FieldDescription> fields = FieldsOf(FieldGroup::CrossoverFilter);
    filterType_ = TypeCombo(QStringLiteral("filterTypeCombo"), true);
    filterFreq_ = BuildFloatField(fields[0], context, this);
    filterOrder_ = BuildWholeField(fields[1], context, this);
    enabled_ = new QCheckBox(QStringLiteral("&Enabled"));
    enabled_->setObjectName(QStringLiteral("enabledCheck"));
    auto* form = new QFormLayout;
    AddLabelledRow(*form, QStringLiteral("Ty&pe"), filterType_);
    AddLabelledRow(*form, QString::fromLatin1(fields[0].label), filterFreq_);
    AddLabelledRow(*form, QString::fromLatin1(fields[1].label), filterOrder_);
    form->addRow(enabled_);
    connect(filterType_, &QComboBox::activated, this,
            [this] { Handle(&CrossoverSlotEditor::FilterTypeChanged); });
    connect(enabled_, &QCheckBox::clicked, this,
            [this] { Handle(&CrossoverSlotEditor::EnabledClicked); });
    for (VSpinButtonBase* field : {static_cast<VSpinButtonBase*>(filterFreq_),
                                   static_cast<VSpinButtonBase*>(filterOrder_)}) {
        connect(field, &VSpinButtonBase::spinChanged, this,
                [this] { Handle(&CrossoverSlotEditor::ApplySettings); });
    }
    return Group(QStringLiteral("Filter Options"), QStringLiteral("filterGroup"), form);
}

// Four rows, one per section: its frequency ratio, then its Q.
QGroupBox* CCrossoverDlg::BuildTuning(const CBand& band, bool highPass) {
    const FieldContext context{band, editor_.Slot(), highPass};
    const std::span<const FieldDescription> fields = FieldsOf(FieldGroup::CrossoverTuning);
    auto* grid = new QGridLayout;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        tuning_[i] = BuildFloatField(fields[i], context, this);
        auto* label = new QLabel(QString::fromLatin1(fields[i].label));
        label->setBuddy(tuning_[i]);
        const int row = static_cast<int>(i / 2);
        const int column = static_cast<int>(i % 2) * 2;
        grid->addWidget(label, row, column);
        grid->addWidget(tuning_[i], row, column + 1);
        connect(tuning_[i], &VSpinButtonBase::spinChanged, this,
                [this] { Handle(&CrossoverSlotEditor::ApplySettings); });
    }
    return Group(QStringLiteral("Custom Tuning"), QStringLiteral("tuningGroup"), grid);
}

CrossoverView CCrossoverDlg::ReadView() {
    CrossoverView view;
    view.targetType = TypeOf(*targetType_);
    view.targetOrder = targetOrder_->Value();
    view.targetFreq = targetFreq_->Value();
    view.filterType = TypeOf(*filterType_);
    view.filterOrder = filterOrder_->Value();
    view.filterFreq = filterFreq_->Value();
    for (std::size_t k = 0; k < kCrossoverSections; ++k) {
        view.ratios[k] = tuning_[2 * k]->Value();
        view.qs[k] = tuning_[2 * k + 1]->Value();
    }
    view.enabled = enabled_->isChecked();
    return view;
}

void CCrossoverDlg::ShowView(const CrossoverView& view) {
    Select(*targetType_, view.targetType);
    targetOrder_->SetValue(view.targetOrder);
    targetFreq_->SetValue(view.targetFreq);
    Select(*filterType_, view.filterType);
    filterOrder_->SetValue(view.filterOrder);
    filterFreq_->SetValue(view.filterFreq);
    const std::array<bool, 2 * kCrossoverSections> editable =
        TuningFieldsEnabled(view.filterType, view.filterOrder);
    for (std::size_t k = 0; k < kCrossoverSections; ++k) {
        tuning_[2 * k]->SetValue(view.ratios[k]);
        tuning_[2 * k + 1]->SetValue(view.qs[k]);
    }
    for (std::size_t i = 0; i < tuning_.size(); ++i) {
        tuning_[i]->Enable(editable[i]);
    }
    enabled_->setChecked(view.enabled);
}

void CCrossoverDlg::Handle(void (CrossoverSlotEditor::*handler)(CrossoverView&)) {
    HandleChange([this, handler] {
        CrossoverView view = ReadView();
        (editor_.*handler)(view);
        ShowView(view);
    });
}

void CCrossoverDlg::Restore() {
    editor_.Cancel();
}

} // namespace kv
