#include "dialogs/CEqDlg.h"

#include "session/FileDialogs.h"
#include "session/IFileChooser.h"

#include <QLayout>
#include <QPushButton>
#include <QSpacerItem>

namespace kv {

CEqDlg::CEqDlg(CConfiguration& design, int band, IMessageBox& messages, IFileChooser& files,
               std::function<void()> changed, QWidget* parent)
    : CFilterItemsDlg(Sorted(design, band), band, FilterItems::Peqs,
                      QStringLiteral("Parametric EQ"), messages, std::move(changed), parent),
      files_(files) {
    setObjectName(QStringLiteral("eqDialog"));
    auto* import = new QPushButton(QStringLiteral("&Import filters..."), this);
    import->setObjectName(QStringLiteral("importFiltersButton"));
    import->setAutoDefault(false);
    connect(import, &QPushButton::clicked, this, &CEqDlg::ImportFilters);
    ExtraRow()->addWidget(import);
    ExtraRow()->addItem(new QSpacerItem(0, 0, QSizePolicy::Expanding));
}

CConfiguration& CEqDlg::Sorted(CConfiguration& design, int band) {
    SortPeqs(design.bands[static_cast<std::size_t>(band)]);
    return design;
}

void CEqDlg::ImportFilters() {
    HandleChange([this] {
        const std::optional<std::filesystem::path> path =
            files_.ChooseFileToOpen(FilterListFileDialog());
        if (path) {
            Editor().ImportFilters(*path);
        }
    });
}

} // namespace kv
