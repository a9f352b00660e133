#include "app/CDesignDialogs.h"

#include "dialogs/CNewTitleDlg.h"
#include "dialogs/CNewXOver.h"
#include "dialogs/CProgramEEprom.h"

namespace kv {

std::optional<NewDesignChoice> CDesignDialogs::AskNewDesign() {
    CNewXOver dialog(parent_);
    if (dialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return dialog.Choice();
}

std::optional<std::string> CDesignDialogs::AskTitle(const std::string& current) {
    CNewTitleDlg dialog(current, parent_);
    if (dialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return dialog.Title();
}

void CDesignDialogs::ProgramUnit(const CConfiguration& design, const std::string& port,
                                 const BlockWarnings& safety) {
    CProgramEEprom dialog(design, port, safety, settings_, messages_, files_, parent_);
    dialog.exec();
}

} // namespace kv
