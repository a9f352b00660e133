#include "dialogs/CEqDlg.h"

#include "app/FileDialogs.h"
#include "app/IFileChooser.h"
#include "model/FilterImport.h"
#include "ui/IMessageBox.h"

#include <QLayout>
#include <QPushButton>
#include <QSpacerItem>

namespace kv {
namespace {

std::string Lines(const std::vector<FilterLineMessage>& messages) {
    std::string text;
    for (const FilterLineMessage& message : messages) {
        text += "\n" + DescribeLineMessage(message);
    }
    return text;
}

} // namespace

CEqDlg::CEqDlg(CBand& band, IMessageBox& messages, IFileChooser& files,
               std::function<void()> changed, QWidget* parent)
    : CFilterItemsDlg(Sorted(band), FilterItems::Peqs, QStringLiteral("Parametric EQ"), messages,
                      changed, parent),
      band_(band), messages_(messages), files_(files), changed_(std::move(changed)) {
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

bool CEqDlg::ConfirmImport(const FilterImportPlan& plan) {
    if (plan.misfits.empty() && plan.notes.empty()) {
        return true;
    }
    std::string question;
    if (!plan.misfits.empty()) {
        question +=
            "These lines of the filter list do not fit the band:\n" + Lines(plan.misfits) + "\n\n";
    }
    if (!plan.notes.empty()) {
        question += "Notes on the filters that fit:\n" + Lines(plan.notes) + "\n\n";
    }
    question += "Import the " + std::to_string(plan.placements.size()) +
                " filters that fit? No imports nothing.";
    return messages_.Ask(question, kMessageCaption, IMessageBox::Buttons::YesNo,
                         IMessageBox::Icon::Question) == IMessageBox::Answer::Yes;
}

void CEqDlg::ImportFilters() {
    const std::optional<std::filesystem::path> path = files_.ChooseFileToOpen(FilterListFileSpec());
    if (!path) {
        return;
    }
    FilterImportPlan plan;
    std::string error;
    if (!PlanFilterImport(*path, band_, plan, error)) {
        messages_.ShowError(error);
        return;
    }
    if (plan.placements.empty()) {
        messages_.ShowError("None of the filters of the list fits the band:\n" +
                            Lines(plan.misfits));
        return;
    }
    if (!ConfirmImport(plan)) {
        return;
    }
    if (!ApplyFilterImport(plan, band_)) {
        messages_.ShowError("The band refused the filters; nothing was imported.");
    }
    ShowBand();
    changed_();
}

} // namespace kv
