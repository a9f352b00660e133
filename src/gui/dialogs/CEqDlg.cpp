#include "dialogs/CEqDlg.h"

#include "app/FileDialogs.h"
#include "app/IFileChooser.h"

#include <QLayout>
#include <QPushButton>
#include <QSpacerItem>

namespace kv {

CEqDlg::CEqDlg(CBand& band, IMessageBox& messages, IFileChooser& files,
               std::function<void()> changed, QWidget* parent)
    : CFilterItemsDlg(Sorted(band), FilterItems::Peqs, QStringLiteral("Parametric EQ"), messages,
                      std::move(changed), parent),
      files_(files) {
    setObjectName(QStringLiteral("eqDialog"));
    auto* import = new QPushButton(QStringLiteral("&Import filters..."), this);
    import->setObjectName(QStringLiteral("importFiltersButton"));
    import->setAutoDefault(false);
    connect(import, &QPushButton::clicked, this, &CEqDlg::ImportFilters);
    ExtraRow()->addWidget(import);
    ExtraRow()->addItem(new QSpacerItem(0, 0, QSizePolicy::Expanding));
}

CBand& CEqDlg::Sorted(CBand& band) {
    SortPeqs(band);
    return band;
}

void CEqDlg::ImportFilters() {
    const std::optional<std::filesystem::path> path =
        files_.ChooseFileToOpen(FilterListFileDialog());
    if (path) {
        HandleChange([this, &path] {
            if (Editor().ImportFilters(*path)) {
                ShowBand();
            }
        });
    }
}

} // namespace kv
