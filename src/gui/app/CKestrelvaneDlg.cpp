#include "app/CKestrelvaneDlg.h"

#include "app/HelpViewer.h"
#include "app/PortEntries.h"
#include "app/ProgramIcon.h"
#include "app/ResponsePane.h"
#include "app/SchematicPane.h"
#include "dialogs/CAboutDlg.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QShortcut>
#include <QSplitter>
#include <QVBoxLayout>

namespace kv {
namespace {

// Wide enough for the schematic's thirteen blocks side by side.
constexpr int kMinimumPaneWidth = 940;

QGroupBox* Framed(const QString& title, QWidget* pane, const QString& objectName) {
    auto* frame = new QGroupBox(title);
    frame->setObjectName(objectName);
    auto* layout = new QVBoxLayout(frame);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(pane);
    return frame;
}

} // namespace

CKestrelvaneDlg::CKestrelvaneDlg(ISettings& settings, QWidget* parent)
    : QMainWindow(parent), messages_(this), files_(this),
      dialogs_(this, settings, messages_, files_), session_(messages_, files_, settings, dialogs_),
      bandCurve_(session_.View()), totalCurve_(session_.View()) {
    setObjectName(QStringLiteral("mainWindow"));
    setWindowIcon(ProgramIcon());
    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->addWidget(BuildPanes(), 1);
    layout->addWidget(BuildCommandBar());
    setCentralWidget(central);
    BuildMenus();
    // Esc quits as Cancel does, with the question about unsaved work.
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, this, &QWidget::close);
    session_.SetRedrawHandler([this] { Refresh(); });
    resize(1200, 880);
    Refresh();
}

CKestrelvaneDlg::~CKestrelvaneDlg() = default;

void CKestrelvaneDlg::Start(const std::filesystem::path& file) {
    session_.Start(file);
    FillPortCombo(*portCombo_, session_.ComPort(), -1);
}

QWidget* CKestrelvaneDlg::BuildPanes() {
    bandPane_ = new ResponsePane(bandCurve_);
    bandPane_->setObjectName(QStringLiteral("bandPane"));
    bandPane_->setAccessibleName(QStringLiteral("Band Response"));
    totalPane_ = new ResponsePane(totalCurve_);
    totalPane_->setObjectName(QStringLiteral("totalPane"));
    totalPane_->setAccessibleName(QStringLiteral("Total Response"));
    schematicPane_ = new SchematicPane(session_);
    schematicPane_->setObjectName(QStringLiteral("schematicPane"));
    schematicPane_->setAccessibleName(QStringLiteral("Block Schematic"));

    auto* responses = new QSplitter(Qt::Horizontal);
    responses->addWidget(
        Framed(QStringLiteral("Band Response"), bandPane_, QStringLiteral("bandFrame")));
    responses->addWidget(
        Framed(QStringLiteral("Total Response"), totalPane_, QStringLiteral("totalFrame")));
    auto* schematic =
        Framed(QStringLiteral("Block Schematic"), schematicPane_, QStringLiteral("schematicFrame"));
    schematic->setMinimumWidth(kMinimumPaneWidth);
    auto* panes = new QSplitter(Qt::Vertical);
    panes->setObjectName(QStringLiteral("paneSplitter"));
    panes->addWidget(responses);
    panes->addWidget(schematic);
    panes->setStretchFactor(0, 3);
    panes->setStretchFactor(1, 2);
    panes->setChildrenCollapsible(false);
    return panes;
}

QWidget* CKestrelvaneDlg::BuildCommandBar() {
    auto* bar = new QWidget;
    auto* layout = new QHBoxLayout(bar);
    layout->setContentsMargins(0, 0, 0, 0);
    portCombo_ = new QComboBox;
    portCombo_->setObjectName(QStringLiteral("portCombo"));
    portCombo_->setAccessibleName(QStringLiteral("Serial port"));
    FillPortCombo(*portCombo_, session_.ComPort(), -1);
    connect(portCombo_, &QComboBox::activated, this,
            [this](int index) { session_.SetComPort(portCombo_->itemData(index).toInt()); });
    auto* portLabel = new QLabel(QStringLiteral("Se&rial port"));
    portLabel->setBuddy(portCombo_);
    layout->addWidget(portLabel);
    layout->addWidget(portCombo_);
    layout->addStretch(1);

    const auto addButton = [&](const QString& text, const QString& name, auto command) {
        auto* button = new QPushButton(text);
        button->setObjectName(name);
        button->setAutoDefault(false);
        connect(button, &QPushButton::clicked, this, command);
        layout->addWidget(button);
    };
    addButton(QStringLiteral("&Update HMQ"), QStringLiteral("updateButton"),
              [this] { session_.UpdateHmq(); });
    addButton(QStringLiteral("&New"), QStringLiteral("newButton"), [this] { session_.New(); });
    addButton(QStringLiteral("&Load"), QStringLiteral("loadButton"), [this] { session_.Load(); });
    addButton(QStringLiteral("&Save"), QStringLiteral("saveButton"), [this] { session_.Save(); });
    addButton(QStringLiteral("Save &As"), QStringLiteral("saveAsButton"),
              [this] { session_.SaveAs(); });
    addButton(QStringLiteral("&Help"), QStringLiteral("helpButton"), [this] { ShowHelp(); });
    return bar;
}

QAction* CKestrelvaneDlg::AddDesignAction(QMenu* menu, const QString& text,
                                          const QKeySequence& shortcut) {
    QAction* action = menu->addAction(text);
    action->setShortcut(shortcut);
    designActions_.push_back(action);
    return action;
}

void CKestrelvaneDlg::BuildMenus() {
    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    file->addAction(QStringLiteral("&New..."), QKeySequence::New, this, [this] { session_.New(); });
    file->addAction(QStringLiteral("&Load..."), QKeySequence::Open, this,
                    [this] { session_.Load(); });
    connect(AddDesignAction(file, QStringLiteral("&Save"), QKeySequence::Save), &QAction::triggered,
            this, [this] { session_.Save(); });
    connect(AddDesignAction(file, QStringLiteral("Save &As..."), QKeySequence::SaveAs),
            &QAction::triggered, this, [this] { session_.SaveAs(); });
    file->addSeparator();
    QAction* quit =
        file->addAction(QStringLiteral("&Quit"), QKeySequence::Quit, this, &QWidget::close);
    quit->setMenuRole(QAction::QuitRole);

    QMenu* edit = menuBar()->addMenu(QStringLiteral("&Edit"));
    connect(AddDesignAction(edit, QStringLiteral("Change &Title..."), {}), &QAction::triggered,
            this, [this] { session_.ChangeTitle(); });

    QMenu* unit = menuBar()->addMenu(QStringLiteral("Uni&t"));
    connect(
        AddDesignAction(unit, QStringLiteral("&Update HMQ..."), QKeySequence(Qt::CTRL | Qt::Key_U)),
        &QAction::triggered, this, [this] { session_.UpdateHmq(); });
    connect(AddDesignAction(unit, QStringLiteral("Write .&cfg File..."), {}), &QAction::triggered,
            this, [this] { session_.WriteCfgFile(); });

    QMenu* help = menuBar()->addMenu(QStringLiteral("Hel&p"));
    help->addAction(QStringLiteral("Kestrelvane &Help"), QKeySequence::HelpContents, this,
                    &CKestrelvaneDlg::ShowHelp);
    QAction* about =
        help->addAction(QStringLiteral("&About Kestrelvane..."), this, &CKestrelvaneDlg::ShowAbout);
    about->setMenuRole(QAction::AboutRole);
}

void CKestrelvaneDlg::ShowHelp() {
    if (help_ == nullptr) {
        help_ = new HelpViewer(this);
    }
    help_->ShowManual();
}

void CKestrelvaneDlg::ShowAbout() {
    CAboutDlg about(this);
    about.exec();
}

void CKestrelvaneDlg::Refresh() {
    setWindowTitle(QString::fromStdString(session_.WindowTitle()));
    for (QAction* action : designActions_) {
        action->setEnabled(session_.HasDesign());
    }
    bandPane_->update();
    totalPane_->update();
    schematicPane_->update();
}

void CKestrelvaneDlg::closeEvent(QCloseEvent* event) {
    if (session_.Close()) {
        event->accept();
    } else {
        event->ignore();
    }
}

} // namespace kv
