#include "dialogs/CAboutDlg.h"

#include "dialogs/ProgramIcon.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

namespace kv {

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("aboutDialog"));
    setWindowTitle(QStringLiteral("About Kestrelvane (HMQ27)"));
    auto* icon = new QLabel(this);
    icon->setPixmap(ProgramIcon().pixmap(64, 64));
    auto* version = new QLabel(QStringLiteral("Kestrelvane Version " KV_VERSION), this);
    version->setObjectName(QStringLiteral("versionLabel"));
    auto* edition = new QLabel(QStringLiteral("HMQ27 Edition"), this);
    auto* notice =
        new QLabel(QStringLiteral("Crossover design for the HMQ27 active loudspeaker unit.\n"
                                  "Copyright \u00A9 2026 Veldrasound."),
                   this);
    notice->setObjectName(QStringLiteral("noticeLabel"));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("okButton"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto* layout = new QGridLayout(this);
    layout->addWidget(icon, 0, 0, 3, 1, Qt::AlignTop);
    layout->addWidget(version, 0, 1);
    layout->addWidget(edition, 1, 1);
    layout->addWidget(notice, 2, 1);
    layout->addWidget(buttons, 3, 0, 1, 2);
    layout->setHorizontalSpacing(16);
}

} // namespace kv
