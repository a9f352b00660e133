#include "dialogs/CNewXOver.h"

#include "dialogs/DialogLayout.h"
#include "model/CBand.h"

#include <QComboBox>
#include <QFormLayout>
#include <QLineEdit>

namespace kv {

CNewXOver::CNewXOver(QWidget* parent)
    : QDialog(parent), title_(new QLineEdit(QStringLiteral("Untitled"), this)),
      topology_(new QComboBox(this)) {
    setObjectName(QStringLiteral("newXOverDialog"));
    setWindowTitle(QStringLiteral("New X-Over"));
    title_->setObjectName(QStringLiteral("titleEdit"));
    title_->setMaxLength(kTextFieldSize - 1);
    // Wide enough for a title of a few words, as "New Title" is.
    title_->setMinimumWidth(title_->fontMetrics().horizontalAdvance(QLatin1Char('x')) * 40);
    title_->selectAll();
    topology_->setObjectName(QStringLiteral("topologyCombo"));
    for (int ways = 1; ways <= kMaxBands; ++ways) {
        topology_->addItem(QStringLiteral(" %1 way").arg(ways), ways);
    }
    topology_->setCurrentIndex(topology_->findData(kMaxBands));

    auto* form = new QFormLayout;
    AddLabelledRow(*form, QStringLiteral("&Title"), title_);
    AddLabelledRow(*form, QStringLiteral("T&opology"), topology_);
    FinishOkCancelDialog(*this, form);
}

NewDesignChoice CNewXOver::Choice() const {
    return {topology_->currentData().toInt(), title_->text().toStdString()};
}

} // namespace kv
