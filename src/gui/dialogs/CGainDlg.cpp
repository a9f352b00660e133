#include "dialogs/CGainDlg.h"

#include "dialogs/DialogLayout.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QRadioButton>
#include <QVBoxLayout>

namespace kv {
namespace {

struct InputItem {
    const char* text;
    const char* name;
    InputRoute route;
};

constexpr std::array<InputItem, 3> kInputItems = {{
    {"Input &A", "inputARadio", InputRoute::A},
    {"Input &B", "inputBRadio", InputRoute::B},
    {"&Input (A+B)/2", "inputBothRadio", InputRoute::Both},
}};

} // namespace

CGainDlg::CGainDlg(CConfiguration& design, int band, std::function<void()> changed, QWidget* parent)
    : LiveEditDialog(design, std::move(changed), parent) {
    setObjectName(QStringLiteral("gainDialog"));
    setWindowTitle(QStringLiteral("Routing & Gain"));
    CBand& edited = design.bands[static_cast<std::size_t>(band)];
    auto* routing = new QGroupBox(QStringLiteral("Routing"), this);
    auto* radios = new QVBoxLayout(routing);
    for (const InputItem& item : kInputItems) {
        auto* radio = new QRadioButton(QString::fromLatin1(item.text), routing);
        radio->setObjectName(QString::fromLatin1(item.name));
        radio->setChecked(edited.input == item.route);
        radios->addWidget(radio);
        connect(radio, &QRadioButton::clicked, this, [this, &edited, route = item.route] {
            HandleChange([&edited, route] { edited.SetInput(route); });
        });
    }
    auto* muted = new QCheckBox(QStringLiteral("Output &muted"), this);
    muted->setObjectName(QStringLiteral("mutedCheck"));
    muted->setChecked(edited.muted);
    connect(muted, &QCheckBox::clicked, this,
            [this, &edited](bool on) { HandleChange([&edited, on] { edited.SetMuted(on); }); });
    auto* reversed = new QCheckBox(QStringLiteral("&Reversed phase"), this);
    reversed->setObjectName(QStringLiteral("reversedCheck"));
    reversed->setChecked(edited.reversedPhase);
    connect(reversed, &QCheckBox::clicked, this, [this, &edited](bool on) {
        HandleChange([&edited, on] { edited.SetReversedPhase(on); });
    });

    auto* form = new QFormLayout;
    form->addRow(routing);
    AddLabelledField(*form, "gain", {design, band});
    form->addRow(muted);
    form->addRow(reversed);
    FinishOkCancelDialog(*this, form);
}

} // namespace kv
