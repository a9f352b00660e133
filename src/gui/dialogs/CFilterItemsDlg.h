#pragma once

#include "dialogs/FilterItemsEditor.h"
#include "dialogs/LiveEditDialog.h"

#include <vector>

class QCheckBox;
class QGridLayout;
class QLayout;

namespace kv {

class VFloatSpinButton;

// The dialogs of the one-section filters: the all-pass, the shelves, the
// notches and the equalisers, edited live from the field table. The editing
// is the items editor's; the dialog shows its view.
class CFilterItemsDlg : public LiveEditDialog {
    Q_OBJECT

public:
protected:
    CFilterItemsDlg(CBand& band, FilterItems items, const QString& title, IMessageBox& messages,
                    std::function<void()> changed, QWidget* parent);

    // Where a dialog adds controls of its own above OK and Cancel.
    QLayout* ExtraRow() const { return extra_; }
    // Shows what the band holds now, after a change made around the editor.
    void ShowBand();
    FilterItemsEditor& Editor() { return editor_; }

private:
    void Restore() override;
    // One item's fields and enable box.
    struct ItemControls {
        std::vector<VFloatSpinButton*> fields;
        QCheckBox* enabled = nullptr;
    };

    QLayout* BuildSingle(const CBand& band);
    QLayout* BuildItems(const CBand& band, const QString& itemName);
    ItemControls BuildItem(const CBand& band, int item, QGridLayout& grid);
    ItemView ReadItem(int item) const;
    void ShowView(const std::vector<ItemView>& view);
    void ValuesChanged(int item);
    void EnableClicked(int item);

    FilterItemsEditor editor_;
    FilterItems items_;
    std::vector<ItemControls> controls_;
    QLayout* extra_ = nullptr;
};

} // namespace kv
