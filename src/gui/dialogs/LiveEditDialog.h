#pragma once

#include "dialogs/RowField.h"
#include "model/CConfiguration.h"
#include "session/HeldMessages.h"

#include <QDialog>
#include <functional>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

class QFormLayout;

namespace kv {

// A dialog whose fields change the design while the user edits them: a
// list of rows of the field table and the controls of its own. Every change
// is written at once and, when it changed the design, followed by
// changed(); Cancel, Esc and the close box put back a copy of the design's
// settings taken when it opened.
class LiveEditDialog : public QDialog {
public:
    LiveEditDialog(CConfiguration& design, std::function<void()> changed, QWidget* parent);
    // A dialog whose editing tells the user things: they go through
    // Messages.
    LiveEditDialog(CConfiguration& design, std::function<void()> changed, IMessageBox& messages,
                   QWidget* parent);

    void reject() final;

    // Shows what the design holds after a change made outside the dialog (a
    // handle dragged on the band pane); its own changes show themselves.
    void ShowOutsideChange();

protected:
    // Never narrower than its title: a window manager cuts a long title
    // ("Low-pas…g Filter") in a dialog only as wide as its fields.
    void showEvent(QShowEvent* event) override;

    CConfiguration& Design() { return design_; }
    // Where the dialog's editing tells the user things; only for a dialog
    // made with a message box.
    IMessageBox& Messages() { return *messages_; }

    // The field of a row; a change of it is handled as one change:
    // WriteField, then ShowDesign.
    RowField& AddField(std::string_view row, const FieldContext& context);
    // The same as a row of a form, under the row's label.
    RowField& AddLabelledField(QFormLayout& form, std::string_view row,
                               const FieldContext& context);
    // Writes a field that changed; through its row unless the dialog knows
    // better.
    virtual void WriteField(const RowField& field);
    // Shows what the design holds now: every field, and what else the
    // dialog shows of it.
    virtual void ShowDesign();

    // Runs one change: the dialog applies it, the design is recomputed, and
    // the dialog shows what the band then holds; only then does the user
    // see what the editing said. A change reported while one is handled is
    // dropped: a message box takes the focus from the field that reported
    // the first, and the field would report again, and again.
    void HandleChange(const std::function<void()>& change);

private:
    CConfiguration& design_;
    std::function<void()> changed_;
    DesignSettings saved_;
    std::optional<HeldMessages> messages_;
    std::vector<std::unique_ptr<RowField>> fields_;
    bool handling_ = false;
};

} // namespace kv
