#include "dialogs/CCrossoverDlg.h"

#include "controls/VSpinButtonBase.h"
#include "dialogs/DialogLayout.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>

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

CCrossoverDlg::CCrossoverDlg(CConfiguration& design, int band, CrossoverSide side, int slot,
                             IMessageBox& messages, std::function<void()> changed, QWidget* parent)
    : LiveEditDialog(design, std::move(changed), messages, parent),
      editor_({design, band, slot, side}, Messages()) {
    setObjectName(side == CrossoverSide::HighPass ? QStringLiteral("highPassDialog")
                                                  : QStringLiteral("lowPassDialog"));
    setWindowTitle(
        QStringLiteral("%1[%2]").arg(QString::fromLatin1(editor_.Title())).arg(slot + 1));
    auto* options = new QHBoxLayout;
    options->addWidget(BuildTarget());
    options->addWidget(BuildFilter());
    auto* form = new QFormLayout;
    form->addRow(options);
    form->addRow(BuildTuning());
    FinishOkCancelDialog(*this, form);
    ShowDesign();
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

QGroupBox* CCrossoverDlg::BuildTarget() {
    targetType_ = TypeCombo(QStringLiteral("targetTypeCombo"), false);
    auto* form = new QFormLayout;
    AddLabelledRow(*form, QStringLiteral("T&ype"), targetType_);
    for (const std::string_view row : kTargetRows) {
        AddLabelledField(*form, row, editor_.Context());
    }
    connect(targetType_, &QComboBox::activated, this,
            [this] { HandleChange([this] { editor_.TargetTypeChosen(TypeOf(*targetType_)); }); });
    return Group(QStringLiteral("Target Options"), QStringLiteral("targetGroup"), form);
}

QGroupBox* CCrossoverDlg::BuildFilter() {
    filterType_ = TypeCombo(QStringLiteral("filterTypeCombo"), true);
    enabled_ = new QCheckBox(QStringLiteral("&Enabled"));
    enabled_->setObjectName(QStringLiteral("enabledCheck"));
    auto* form = new QFormLayout;
    AddLabelledRow(*form, QStringLiteral("Ty&pe"), filterType_);
    for (const std::string_view row : kFilterRows) {
        filterOrder_ = &AddLabelledField(*form, row, editor_.Context());
    }
    form->addRow(enabled_);
    connect(filterType_, &QComboBox::activated, this,
            [this] { HandleChange([this] { editor_.FilterTypeChosen(TypeOf(*filterType_)); }); });
    connect(enabled_, &QCheckBox::clicked, this,
            [this] { HandleChange([this] { editor_.EnabledClicked(); }); });
    return Group(QStringLiteral("Filter Options"), QStringLiteral("filterGroup"), form);
}

// Four rows, one per section: its frequency ratio, then its Q.
QGroupBox* CCrossoverDlg::BuildTuning() {
    auto* grid = new QGridLayout;
    for (std::size_t i = 0; i < kTuningRows.size(); ++i) {
        tuning_[i] = &AddField(kTuningRows[i], editor_.Context());
        auto* label = new QLabel(QString::fromLatin1(tuning_[i]->Row().label));
        label->setBuddy(tuning_[i]->Widget());
        const int row = static_cast<int>(i / 2);
        const int column = static_cast<int>(i % 2) * 2;
        grid->addWidget(label, row, column);
        grid->addWidget(tuning_[i]->Widget(), row, column + 1);
    }
    return Group(QStringLiteral("Custom Tuning"), QStringLiteral("tuningGroup"), grid);
}

void CCrossoverDlg::WriteField(const RowField& field) {
    editor_.ApplyField(field.Row(), field.Value());
}

void CCrossoverDlg::ShowDesign() {
    LiveEditDialog::ShowDesign();
    Select(*targetType_, editor_.TargetType());
    Select(*filterType_, editor_.FilterType());
    const int order = static_cast<int>(filterOrder_->Value());
    const std::array<bool, 2 * kCrossoverSections> editable =
        TuningFieldsEnabled(editor_.FilterType(), order);
    const std::array<bool, 2 * kCrossoverSections> used =
        TuningFieldsEnabled(CrossoverType::Custom, order);
    for (std::size_t i = 0; i < tuning_.size(); ++i) {
        tuning_[i]->Widget()->Enable(editable[i]);
        // A section beyond the order holds no value worth showing.
        if (!used[i]) {
            tuning_[i]->Widget()->ShowBlank();
        }
    }
    enabled_->setChecked(editor_.Enabled());
}

} // namespace kv
