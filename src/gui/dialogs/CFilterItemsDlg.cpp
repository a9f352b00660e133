#include "dialogs/CFilterItemsDlg.h"

#include "controls/VSpinButtonBase.h"
#include "dialogs/DialogLayout.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>

namespace kv {
namespace {

// The items of the notch and equaliser dialogs, four boxes to a row.
constexpr int kItemsPerRow = 4;

bool SingleItem(FilterItems items) {
    return items != FilterItems::Notches && items != FilterItems::Peqs;
}

QString ItemName(FilterItems items) {
    return items == FilterItems::Notches ? QStringLiteral("Notch") : QStringLiteral("PEQ");
}

} // namespace

CFilterItemsDlg::CFilterItemsDlg(CConfiguration& design, int band, FilterItems items,
                                 const QString& title, IMessageBox& messages,
                                 std::function<void()> changed, QWidget* parent)
    : LiveEditDialog(design, std::move(changed), messages, parent),
      editor_(design.bands[static_cast<std::size_t>(band)], items, Messages()), items_(items),
      extra_(new QHBoxLayout) {
    setWindowTitle(title);
    auto* form = new QFormLayout;
    form->addRow(SingleItem(items) ? BuildSingle(band) : BuildItems(band, ItemName(items)));
    form->addRow(extra_);
    FinishOkCancelDialog(*this, form);
    ShowDesign();
}

FieldContext CFilterItemsDlg::ItemContext(int band, int item) {
    return {Design(), band, editor_.ContextIndex(item)};
}

QLayout* CFilterItemsDlg::BuildSingle(int band) {
    auto* form = new QFormLayout;
    ItemControls controls;
    for (const std::string_view row : ItemRows(items_)) {
        controls.fields.push_back(&AddLabelledField(*form, row, ItemContext(band, 0)));
    }
    controls.enabled = new QCheckBox(QStringLiteral("&Enabled"), this);
    controls.enabled->setObjectName(QStringLiteral("enabledCheck"));
    connect(controls.enabled, &QCheckBox::clicked, this, [this] { EnableClicked(0); });
    form->addRow(controls.enabled);
    controls_.push_back(controls);
    return form;
}

QLayout* CFilterItemsDlg::BuildItems(int band, const QString& itemName) {
    auto* boxes = new QGridLayout;
    for (int item = 0; item < ItemCount(items_); ++item) {
        auto* box = new QGroupBox(QStringLiteral("%1 %2").arg(itemName).arg(item + 1), this);
        box->setObjectName(QStringLiteral("itemGroup%1").arg(item + 1));
        auto* grid = new QGridLayout(box);
        controls_.push_back(BuildItem(band, item, *grid));
        boxes->addWidget(box, item / kItemsPerRow, item % kItemsPerRow);
    }
    return boxes;
}

CFilterItemsDlg::ItemControls CFilterItemsDlg::BuildItem(int band, int item, QGridLayout& grid) {
    ItemControls controls;
    controls.grid = &grid;
    controls.enabled = new QCheckBox(QStringLiteral("Enabled"), this);
    controls.enabled->setObjectName(QStringLiteral("enabledCheck%1").arg(item + 1));
    connect(controls.enabled, &QCheckBox::clicked, this, [this, item] { EnableClicked(item); });
    grid.addWidget(controls.enabled, 0, 0, 1, 2);
    int row = 1;
    for (const std::string_view name : ItemRows(items_)) {
        RowField& field = AddField(name, ItemContext(band, item));
        auto* label = new QLabel(QString::fromLatin1(field.Row().label), this);
        label->setBuddy(field.Widget());
        grid.addWidget(label, row, 0);
        grid.addWidget(field.Widget(), row, 1);
        ++row;
        controls.fields.push_back(&field);
    }
    return controls;
}

// The fields of a notch or an equaliser take input only while it is on; the
// single filters keep theirs.
void CFilterItemsDlg::ShowDesign() {
    LiveEditDialog::ShowDesign();
    for (std::size_t k = 0; k < controls_.size(); ++k) {
        const bool on = editor_.Enabled(static_cast<int>(k));
        for (RowField* field : controls_[k].fields) {
            field->Widget()->Enable(SingleItem(items_) || on);
        }
        controls_[k].enabled->setChecked(on);
    }
}

void CFilterItemsDlg::EnableClicked(int item) {
    HandleChange([this, item] { editor_.ToggleEnabled(item); });
}

} // namespace kv
