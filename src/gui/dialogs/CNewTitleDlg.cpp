#include "dialogs/CNewTitleDlg.h"

#include "dialogs/DialogLayout.h"

#include <QFormLayout>
#include <QLineEdit>

namespace kv {
namespace {

constexpr int kMaxTitleLength = 254;

} // namespace

CNewTitleDlg::CNewTitleDlg(const std::string& title, QWidget* parent)
    : QDialog(parent), title_(new QLineEdit(QString::fromStdString(title), this)) {
    setObjectName(QStringLiteral("newTitleDialog"));
    setWindowTitle(QStringLiteral("New Title"));
    title_->setObjectName(QStringLiteral("titleEdit"));
    title_->setMaxLength(kMaxTitleLength);
    title_->selectAll();
    auto* form = new QFormLayout;
    AddLabelledRow(*form, QStringLiteral("New &title"), title_);
    FinishOkCancelDialog(*this, form);
    setMinimumWidth(420);
}

std::string CNewTitleDlg::Title() const {
    return title_->text().toStdString();
}

} // namespace kv
