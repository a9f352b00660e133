#include "app/HelpViewer.h"

#include <QFile>
#include <QTextBrowser>
#include <QVBoxLayout>

namespace kv {
namespace {

QString ManualText() {
    QFile manual(QStringLiteral(":/docs/manual.md"));
    if (!manual.open(QIODevice::ReadOnly)) {
        return QStringLiteral("# Kestrelvane Help\n\nThe manual could not be read.");
    }
    return QString::fromUtf8(manual.readAll());
}

} // namespace

HelpViewer::HelpViewer(QWidget* parent) : FloatingWindow(parent), browser_(new QTextBrowser(this)) {
    setObjectName(QStringLiteral("helpViewer"));
    setWindowTitle(QStringLiteral("Kestrelvane Help"));
    browser_->setObjectName(QStringLiteral("manualText"));
    browser_->setOpenExternalLinks(true);
    browser_->setMarkdown(ManualText());
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(browser_);
    resize(820, 900);
}

} // namespace kv
