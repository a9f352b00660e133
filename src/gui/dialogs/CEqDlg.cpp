#include "dialogs/CEqDlg.h"

#include "dialogs/COptimiseDlg.h"
#include "session/FileDialogs.h"
#include "session/IFileChooser.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLayout>
#include <QPushButton>
#include <QSpacerItem>

namespace kv {

CEqDlg::CEqDlg(CConfiguration& design, int band, IMessageBox& messages, IFileChooser& files,
               std::function<void()> changed, QWidget* parent)
    : CFilterItemsDlg(Sorted(design, band), band, FilterItems::Peqs,
                      QStringLiteral("Parametric EQ"), messages, changed, parent),
      files_(files), band_(band), changed_(std::move(changed)) {
    setObjectName(QStringLiteral("eqDialog"));
    auto* import = new QPushButton(QStringLiteral("&Import filters..."), this);
    import->setObjectName(QStringLiteral("importFiltersButton"));
    import->setAutoDefault(false);
    connect(import, &QPushButton::clicked, this, &CEqDlg::ImportFilters);
    auto* optimise = new QPushButton(QStringLiteral("O&ptimise..."), this);
    optimise->setObjectName(QStringLiteral("optimiseButton"));
    optimise->setAutoDefault(false);
    connect(optimise, &QPushButton::clicked, this, &CEqDlg::Optimise);
    ExtraRow()->addWidget(import);
    ExtraRow()->addWidget(optimise);
    ExtraRow()->addItem(new QSpacerItem(0, 0, QSizePolicy::Expanding));
    AddKeepBoxes();
    ShowDesign();
}

CConfiguration& CEqDlg::Sorted(CConfiguration& design, int band) {
    SortPeqs(design.bands[static_cast<std::size_t>(band)]);
    return design;
}

// Under each equaliser's fields: whether the optimiser leaves it alone.
void CEqDlg::AddKeepBoxes() {
    for (int k = 0; k < kEqualisers; ++k) {
        auto* box = new QCheckBox(QStringLiteral("Keep"), this);
        box->setObjectName(QStringLiteral("keepCheck%1").arg(k + 1));
        box->setToolTip(QStringLiteral("Optimise... leaves this equaliser as it is"));
        QGridLayout* grid = ItemGrid(k);
        grid->addWidget(box, grid->rowCount(), 0, 1, 2);
        keep_[static_cast<std::size_t>(k)] = box;
    }
}

// Only an equaliser that is on can be kept.
void CEqDlg::ShowDesign() {
    CFilterItemsDlg::ShowDesign();
    for (int k = 0; k < kEqualisers; ++k) {
        keep_[static_cast<std::size_t>(k)]->setEnabled(Editor().Enabled(k));
    }
}

KeptEqualisers CEqDlg::Kept() const {
    KeptEqualisers kept{};
    for (std::size_t k = 0; k < kept.size(); ++k) {
        kept[k] = keep_[k]->isChecked() && keep_[k]->isEnabled();
    }
    return kept;
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

// The fit shows in the panes while its dialog is open; what OK keeps there
// is part of this dialog's change, and this dialog's Cancel takes it back.
void CEqDlg::Optimise() {
    HandleChange([this] {
        COptimiseDlg dialog(Design(), band_, Kept(), changed_, this);
        dialog.exec();
    });
}

} // namespace kv
