#include "dialogs/CFilterItemsDlg.h"

#include "controls/VFloatSpinButton.h"
#include "dialogs/DialogLayout.h"
#include "model/CBand.h"

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

CFilterItemsDlg::CFilterItemsDlg(CBand& band, FilterItems items, const QString& title,
                                 IMessageBox& messages, std::function<void()> changed,
                                 QWidget* parent)
    : LiveEditDialog(messages, parent), editor_(band, items, Messages(), std::move(changed)),
      items_(items), extra_(new QHBoxLayout) {
    setWindowTitle(title);
    auto* form = new QFormLayout;
    form->addRow(SingleItem(items) ? BuildSingle(band) : BuildItems(band, ItemName(items)));
    form->addRow(extra_);
    FinishOkCancelDialog(*this, form);
    ShowView(editor_.View());
}

QLayout* CFilterItemsDlg::BuildSingle(const CBand& band) {
    auto* form = new QFormLayout;
    ItemControls controls;
    const FieldContext context{band, items_ == FilterItems::HighShelf ? 1 : 0};
    for (const FieldDescription& description : FieldsOf(GroupOf(items_))) {
        VFloatSpinButton* field = BuildFloatField(description, context, this);
        AddLabelledRow(*form, QString::fromLatin1(description.label), field);
        connect(field, &VSpinButtonBase::spinChanged, this, [this] { ValuesChanged(0); });
        controls.fields.push_back(field);
    }
    controls.enabled = new QCheckBox(QStringLiteral("&Enabled"), this);
    controls.enabled->setObjectName(QStringLiteral("enabledCheck"));
    connect(controls.enabled, &QCheckBox::clicked, this, [this] { EnableClicked(0); });
    form->addRow(controls.enabled);
    controls_.push_back(controls);
    return form;
}

QLayout* CFilterItemsDlg::BuildItems(const CBand& band, const QString& itemName) {
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

CFilterItemsDlg::ItemControls CFilterItemsDlg::BuildItem(const CBand& band, int item,
                                                         QGridLayout& grid) {
    ItemControls controls;
    controls.enabled = new QCheckBox(QStringLiteral("Enabled"), this);
    controls.enabled->setObjectName(QStringLiteral("enabledCheck%1").arg(item + 1));
    connect(controls.enabled, &QCheckBox::clicked, this, [this, item] { EnableClicked(item); });
    grid.addWidget(controls.enabled, 0, 0, 1, 2);
    const FieldContext context{band, item};
    int row = 1;
    for (const FieldDescription& description : FieldsOf(GroupOf(items_))) {
        VFloatSpinButton* field = BuildFloatField(description, context, this);
        auto* label = new QLabel(QString::fromLatin1(description.label), this);
        label->setBuddy(field);
        grid.addWidget(label, row, 0);
        grid.addWidget(field, row, 1);
        ++row;
        connect(field, &VSpinButtonBase::spinChanged, this, [this, item] { ValuesChanged(item); });
        controls.fields.push_back(field);
    }
    return controls;
}

ItemView CFilterItemsDlg::ReadItem(int item) const {
    const ItemControls& controls = controls_[static_cast<std::size_t>(item)];
    ItemView values;
    for (std::size_t i = 0; i < controls.fields.size(); ++i) {
        values.values[i] = controls.fields[i]->Value();
    }
    values.enabled = controls.enabled->isChecked();
    return values;
}

// The fields of a notch or an equaliser take input only while it is on; the
// single filters keep theirs.
void CFilterItemsDlg::ShowView(const std::vector<ItemView>& view) {
    for (std::size_t k = 0; k < controls_.size(); ++k) {
        const ItemControls& item = controls_[k];
        for (std::size_t i = 0; i < item.fields.size(); ++i) {
            item.fields[i]->SetValue(view[k].values[i]);
            item.fields[i]->Enable(SingleItem(items_) || view[k].enabled);
        }
        item.enabled->setChecked(view[k].enabled);
    }
}

void CFilterItemsDlg::ShowBand() {
    ShowView(editor_.View());
}

// Only the item whose field changed is written: another item may hold a
// value its field cannot show (an imported Q below the field's range).
void CFilterItemsDlg::ValuesChanged(int item) {
    HandleChange([this, item] { ShowView(editor_.ApplyValues(item, ReadItem(item))); });
}

void CFilterItemsDlg::EnableClicked(int item) {
    HandleChange([this, item] {
        editor_.ToggleEnabled(item);
        ShowView(editor_.View());
    });
}

void CFilterItemsDlg::Restore() {
    editor_.Cancel();
}

} // namespace kv
