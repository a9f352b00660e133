#include "app/CZoomedWindow.h"

#include "app/ResponsePane.h"

#include <QVBoxLayout>

namespace kv {

CZoomedWindow::CZoomedWindow(std::unique_ptr<CCurveBase> curve, ResponseView view,
                             const QString& title, QWidget* owner)
    : FloatingWindow(owner), pane_(new ResponsePane(std::move(curve), view, this)) {
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(title);
    pane_->setAccessibleName(title);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(pane_);
    resize(960, view == ResponseView::Time ? 720 : 600);
}

void CZoomedWindow::Invalidate() {
    pane_->Invalidate();
}

} // namespace kv
