#pragma once

#include "dialogs/LiveEditDialog.h"
#include "session/FilterItemsEditor.h"

#include <vector>

class QCheckBox;
class QGridLayout;
class QLayout;

namespace kv {

// The dialogs of the one-section filters: the all-pass, the shelves, the
// notches and the equalisers: each item's rows and its enable box. The
// switching is the items editor's.
class CFilterItemsDlg : public LiveEditDialog {
    Q_OBJECT

public:
protected:
    CFilterItemsDlg(CConfiguration& design, int band, FilterItems items, const QString& title,
                    IMessageBox& messages, std::function<void()> changed, QWidget* parent);

    // Where a dialog adds controls of its own above OK and Cancel.
    QLayout* ExtraRow() const { return extra_; }
    FilterItemsEditor& Editor() { return editor_; }

private:
    // One item's fields and enable box.
    struct ItemControls {
        std::vector<RowField*> fields;
        QCheckBox* enabled = nullptr;
    };

    void ShowDesign() override;
    QLayout* BuildSingle(int band);
    QLayout* BuildItems(int band, const QString& itemName);
    ItemControls BuildItem(int band, int item, QGridLayout& grid);
    FieldContext ItemContext(int band, int item);
    void EnableClicked(int item);

    FilterItemsEditor editor_;
    FilterItems items_;
    std::vector<ItemControls> controls_;
    QLayout* extra_ = nullptr;
};

} // namespace kv
