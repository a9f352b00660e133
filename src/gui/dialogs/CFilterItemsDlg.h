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

    // Where a dialog adds controls of its own above OK and Cancel, and to
    // an item's box (notches and equalisers).
    QLayout* ExtraRow() const { return extra_; }
    QGridLayout* ItemGrid(int item) const { return controls_[static_cast<std::size_t>(item)].grid; }
    FilterItemsEditor& Editor() { return editor_; }
    void ShowDesign() override;

private:
    // One item's fields and enable box, and the grid of its box.
    struct ItemControls {
        std::vector<RowField*> fields;
        QCheckBox* enabled = nullptr;
        QGridLayout* grid = nullptr;
    };

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
