#include "app/CKestrelvaneDlg.h"

#include "app/CZoomedWindow.h"
#include "app/HelpViewer.h"
#include "app/ResponsePane.h"
#include "app/SchematicPane.h"
#include "app/StartPanel.h"
#include "app/WarningColours.h"
#include "archive/PathText.h"
#include "dialogs/CAboutDlg.h"
#include "dialogs/CAlignDlg.h"
#include "dialogs/COptimiseDlg.h"
#include "dialogs/CTargetLevels.h"
#include "dialogs/PortComboBox.h"
#include "dialogs/ProgramIcon.h"
#include "graphs/CEditCurve.h"
#include "graphs/CTotalCurve.h"

#include <QActionGroup>
#include <QCloseEvent>
#include <QComboBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QMimeData>
#include <QPushButton>
#include <QScreen>
#include <QSplitter>
#include <QStackedWidget>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>

namespace kv {
namespace {

// Wide enough for the schematic's thirteen blocks side by side.
constexpr int kMinimumPaneWidth = 940;
constexpr int kRecoveryDelayMs = 3000;
// Long enough to read a path; the hardware status comes back after it.
constexpr int kNoticeMilliseconds = 8000;

struct FlagItem {
    ShowFlag flag;
    const char* text;
    const char* objectName;
};

constexpr std::array<FlagItem, kShowFlagCount> kFlagItems = {{
    {ShowFlag::ImportedSpl, "Show Imported SPL Curve", "showImportedSplAction"},
    {ShowFlag::Filter, "Show Filter Curve", "showFilterAction"},
    {ShowFlag::Total, "Show Total Curve", "showTotalAction"},
    {ShowFlag::Target, "Show Target Curve", "showTargetAction"},
    {ShowFlag::SumFilter, "Show Total Filter Curve", "showSumFilterAction"},
    {ShowFlag::SumTotal, "Show Total Curve", "showSumTotalAction"},
    {ShowFlag::SumTarget, "Show Total Target Curve", "showSumTargetAction"},
    {ShowFlag::Individual, "Show Individual Curves", "showIndividualAction"},
    {ShowFlag::Phase, "Show &Phase", "showPhaseAction"},
    {ShowFlag::GroupDelay, "Show &Group-Delay", "showGroupDelayAction"},
    {ShowFlag::UnwrappedPhase, "Show Phase &Unwrapped", "showUnwrappedAction"},
    {ShowFlag::Hardware, "Show Hardware Curve", "showHardwareAction"},
    {ShowFlag::Handles, "Show &Handles", "showHandlesAction"},
}};

// The curve switches of the band pane, in its menus' order.
constexpr std::array<ShowFlag, 5> kBandCurveFlags = {
    ShowFlag::ImportedSpl, ShowFlag::Filter, ShowFlag::Hardware, ShowFlag::Total, ShowFlag::Target};

struct LevelRangeItem {
    PaneKind pane;
    const char* title;
    const char* actionName;
};

constexpr std::array<LevelRangeItem, 2> kLevelRangeItems = {{
    {PaneKind::Band, "Band Response", "bandLevelRangeAction"},
    {PaneKind::Total, "Total Response", "totalLevelRangeAction"},
}};

// The level ranges the dialog offers, in dB, up to the widest a pane takes.
constexpr int kFewestLevelDb = 10;
constexpr int kMostLevelDb = static_cast<int>(kLargestLevelSpan);
constexpr int kLevelDbStep = 5;

struct ZoomedItem {
    const char* title;
    const char* menuText;
    const char* actionName;
    const char* windowName;
    bool total;
    ResponseView view;
};

constexpr std::array<ZoomedItem, 4> kZoomedItems = {{
    {"Kestrelvane - Band Response", "Open Zoomed &Window", "bandZoomAction", "bandZoomWindow",
     false, ResponseView::Frequency},
    {"Kestrelvane - Band Response [PIR]", "Open PIR Window", "bandPirAction", "bandPirWindow",
     false, ResponseView::Time},
    {"Kestrelvane - Total Response", "Open Zoomed &Window", "totalZoomAction", "totalZoomWindow",
     true, ResponseView::Frequency},
    {"Kestrelvane - Total Response [PIR]", "Open PIR Window", "totalPirAction", "totalPirWindow",
     true, ResponseView::Time},
}};

QAction* FlagAction(const std::array<QAction*, kShowFlagCount>& actions, ShowFlag flag) {
    return actions[static_cast<std::size_t>(flag)];
}

// The first local .ksv file of a drag, if it carries one.
std::filesystem::path DroppedDesign(const QMimeData& data) {
    for (const QUrl& url : data.urls()) {
        const QString file = url.toLocalFile();
        if (file.endsWith(QStringLiteral(".ksv"), Qt::CaseInsensitive)) {
            return std::filesystem::path(file.toStdU16String());
        }
    }
    return {};
}

QRect ScreenArea(const QWidget& widget) {
    return {widget.mapToGlobal(QPoint(0, 0)), widget.size()};
}

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
      placer_(*this, [this] { return PaneAreas(); }),
      blockDialogs_(this, session_, messages_, files_, placer_),
      schematic_(session_, blockDialogs_, messages_) {
    setObjectName(QStringLiteral("mainWindow"));
    setWindowIcon(ProgramIcon());
    BuildActions();
    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->addWidget(BuildPanes(), 1);
    layout->addWidget(BuildCommandBar());
    setCentralWidget(central);
    BuildStatusBar();
    BuildMenus();
    BuildContextMenus();
    // An unsaved design reaches the recovery file a few seconds after the
    // last change, not on every step of a held arrow.
    recoveryTimer_ = new QTimer(this);
    recoveryTimer_->setSingleShot(true);
    recoveryTimer_->setInterval(kRecoveryDelayMs);
    connect(recoveryTimer_, &QTimer::timeout, this, [this] { session_.WriteRecovery(); });
    session_.History().SetRecoveryFolder(std::filesystem::path(
        QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation).toStdU16String()));
    setAcceptDrops(true);
    session_.SetRedrawHandler([this] { Refresh(); });
    session_.SetNoticeHandler([this](const std::string& notice) {
        statusBar()->showMessage(QString::fromStdString(notice), kNoticeMilliseconds);
    });
    // A laptop's screen may be smaller than the window likes to be.
    resize(QSize(1200, 880).boundedTo(screen()->availableSize() * 0.95));
    Refresh();
}

CKestrelvaneDlg::~CKestrelvaneDlg() = default;

void CKestrelvaneDlg::Start(const std::filesystem::path& file) {
    session_.Start(file);
    // Nothing chosen before: the list's first port, a USB adapter if any.
    portCombo_->SetChoice(QString::fromStdString(session_.View().Port()));
    session_.View().SetPort(portCombo_->Choice().toStdString());
}

QWidget* CKestrelvaneDlg::BuildPanes() {
    bandPane_ = new ResponsePane(std::make_unique<CEditCurve>(session_.View().Source()),
                                 ResponseView::Frequency);
    bandPane_->setObjectName(QStringLiteral("bandPane"));
    bandPane_->setAccessibleName(QStringLiteral("Band Response"));
    totalPane_ = new ResponsePane(std::make_unique<CTotalCurve>(session_.View().Source()),
                                  ResponseView::Frequency);
    totalPane_->setObjectName(QStringLiteral("totalPane"));
    totalPane_->setAccessibleName(QStringLiteral("Total Response"));
    bandPane_->SetHandleEditor(&handleEditor_);
    schematicPane_ = new SchematicPane(session_, schematic_);
    schematicPane_->setObjectName(QStringLiteral("schematicPane"));
    schematicPane_->setAccessibleName(QStringLiteral("Block Schematic"));

    connect(bandPane_, &ResponsePane::doubleClicked, this,
            [this] { OpenZoomed(ZoomedView::BandResponse); });
    connect(totalPane_, &ResponsePane::doubleClicked, this,
            [this] { OpenZoomed(ZoomedView::TotalResponse); });
    connect(bandPane_, &ResponsePane::menuRequested, this,
            [this](const QPoint& at) { bandMenu_->popup(at); });
    connect(totalPane_, &ResponsePane::menuRequested, this,
            [this](const QPoint& at) { totalMenu_->popup(at); });
    connect(schematicPane_, &SchematicPane::menuRequested, this,
            [this](const QPoint& at) { schematicMenu_->popup(at); });
    connect(schematicPane_, &SchematicPane::curveDropped, this,
            [this](int band, const std::filesystem::path& file) {
                schematic_.LoadDriverCurve(band, file);
            });

    auto* responses = new QSplitter(Qt::Horizontal);
    bandFrame_ = Framed(QStringLiteral("Band Response"), bandPane_, QStringLiteral("bandFrame"));
    totalFrame_ =
        Framed(QStringLiteral("Total Response"), totalPane_, QStringLiteral("totalFrame"));
    responses->addWidget(bandFrame_);
    responses->addWidget(totalFrame_);
    startPanel_ = new StartPanel(session_);
    schematicStack_ = new QStackedWidget;
    schematicStack_->addWidget(schematicPane_);
    schematicStack_->addWidget(startPanel_);
    auto* schematic = Framed(QStringLiteral("Block Schematic"), schematicStack_,
                             QStringLiteral("schematicFrame"));
    schematic->setMinimumWidth(kMinimumPaneWidth);
    schematicFrame_ = schematic;
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
    portCombo_ = new PortComboBox;
    portCombo_->setObjectName(QStringLiteral("portCombo"));
    portCombo_->setAccessibleName(QStringLiteral("Serial port"));
    connect(portCombo_, &QComboBox::currentTextChanged, this,
            [this] { session_.View().SetPort(portCombo_->Choice().toStdString()); });
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

// The status bar says, as soon as a change makes it so, that the unit
// cannot run the design and why; its tooltip lists every reason.
void CKestrelvaneDlg::BuildStatusBar() {
    hardwareStatus_ = new QLabel;
    hardwareStatus_->setObjectName(QStringLiteral("hardwareStatus"));
    statusBar()->addWidget(hardwareStatus_, 1);
}

// Only after a new hardware check: a selection or a switch changes nothing
// of it.
void CKestrelvaneDlg::ShowHardwareStatus() {
    if (shownChecks_ == session_.Document().Checks()) {
        return;
    }
    shownChecks_ = session_.Document().Checks();
    const BlockWarnings& warnings = session_.Document().Warnings();
    const BlockWarnings& safety = session_.Document().SafetyWarnings();
    const bool refused = !warnings.Empty();
    const bool cautioned = !safety.Empty();
    hardwareStatus_->setText(!session_.Document().HasDesign() ? QString()
                             : refused   ? QString::fromStdString(warnings.Summary())
                             : cautioned ? QStringLiteral("Warning: ") +
                                               QString::fromStdString(safety.Summary())
                                         : QStringLiteral("The HMQ27 can run this design."));
    // Red for what stops programming, the schematic's violet for a warning.
    const QString bold = QStringLiteral("color: %1; font-weight: bold");
    const QString style = refused     ? bold.arg(kWarningInk.name())
                          : cautioned ? bold.arg(kCautionEdge.name())
                                      : QString();
    // Setting a style sheet repolishes the label: not on every step of a
    // held arrow.
    if (hardwareStatus_->styleSheet() != style) {
        hardwareStatus_->setStyleSheet(style);
    }
    const std::string details =
        warnings.Details() + (refused && cautioned ? "\n\n" : "") + safety.Details();
    hardwareStatus_->setToolTip(QString::fromStdString(details));
    hardwareStatus_->setAccessibleName(hardwareStatus_->text());
}

QAction* CKestrelvaneDlg::NewAction(const QString& text, const QString& objectName) {
    auto* action = new QAction(text, this);
    action->setObjectName(objectName);
    return action;
}

void CKestrelvaneDlg::BuildActions() {
    for (const FlagItem& item : kFlagItems) {
        QAction* action =
            NewAction(QString::fromLatin1(item.text), QString::fromLatin1(item.objectName));
        action->setCheckable(true);
        const ShowFlag flag = item.flag;
        connect(action, &QAction::triggered, this, [this, flag](bool on) {
            session_.View().Flags()[flag] = on;
            session_.ViewChanged();
        });
        flagActions_[static_cast<std::size_t>(flag)] = action;
        designActions_.push_back(action);
    }
    properties_ =
        NewAction(QStringLiteral("&Properties\tAlt-F1"), QStringLiteral("propertiesAction"));
    properties_->setShortcut(QKeySequence(Qt::ALT | Qt::Key_F1));
    connect(properties_, &QAction::triggered, this, [this] { schematic_.OpenSelectedBlock(); });
    changeTitle_ = NewAction(QStringLiteral("Change &Title"), QStringLiteral("changeTitleAction"));
    connect(changeTitle_, &QAction::triggered, this, [this] { session_.ChangeTitle(); });
    targetLevels_ =
        NewAction(QStringLiteral("Target &levels"), QStringLiteral("targetLevelsAction"));
    connect(targetLevels_, &QAction::triggered, this, &CKestrelvaneDlg::EditTargetLevels);
    for (std::size_t i = 0; i < kZoomedItems.size(); ++i) {
        zoomActions_[i] = NewAction(QString::fromLatin1(kZoomedItems[i].menuText),
                                    QString::fromLatin1(kZoomedItems[i].actionName));
        const auto view = static_cast<ZoomedView>(i);
        connect(zoomActions_[i], &QAction::triggered, this, [this, view] { OpenZoomed(view); });
        designActions_.push_back(zoomActions_[i]);
    }
    designActions_.push_back(targetLevels_);
    for (std::size_t i = 0; i < kLevelRangeItems.size(); ++i) {
        const LevelRangeItem& item = kLevelRangeItems[i];
        levelRangeActions_[i] =
            NewAction(QStringLiteral("Level &range..."), QString::fromLatin1(item.actionName));
        connect(levelRangeActions_[i], &QAction::triggered, this,
                [this, pane = item.pane] { EditLevelRange(pane); });
    }
    pirLengths_ = new QActionGroup(this);
    for (const double length : kPirLengths) {
        const int ms = static_cast<int>(std::lround(length * 1000.0));
        QAction* action =
            NewAction(QStringLiteral("%1 ms").arg(ms), QStringLiteral("pirLength%1Action").arg(ms));
        action->setCheckable(true);
        action->setData(length);
        pirLengths_->addAction(action);
        connect(action, &QAction::triggered, this,
                [this, length] { session_.SetPirLength(length); });
    }
    pirMenu_ = new QMenu(QStringLiteral("PIR &Length"), this);
    pirMenu_->setObjectName(QStringLiteral("pirLengthMenu"));
    pirMenu_->addActions(pirLengths_->actions());
    optimise_ = NewAction(QStringLiteral("&Optimise..."), QStringLiteral("optimiseAction"));
    connect(optimise_, &QAction::triggered, this, &CKestrelvaneDlg::OptimiseBand);
    designActions_.push_back(optimise_);
    exportBand_ = NewAction(QStringLiteral("Export"), QStringLiteral("bandExportAction"));
    connect(exportBand_, &QAction::triggered, this, [this] { session_.ExportCurve(false); });
    exportFilters_ =
        NewAction(QStringLiteral("Export &filters..."), QStringLiteral("exportFiltersAction"));
    connect(exportFilters_, &QAction::triggered, this, [this] { session_.ExportFilters(); });
    designActions_.push_back(exportFilters_);
    exportTotal_ = NewAction(QStringLiteral("Export"), QStringLiteral("totalExportAction"));
    connect(exportTotal_, &QAction::triggered, this, [this] { session_.ExportCurve(true); });
    designActions_.insert(designActions_.end(),
                          {properties_, changeTitle_, exportBand_, exportTotal_});
}

void CKestrelvaneDlg::BuildMenus() {
    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    QAction* newDesign = file->addAction(QStringLiteral("&New..."), QKeySequence::New, this,
                                         [this] { session_.New(); });
    QAction* load = file->addAction(QStringLiteral("&Load..."), QKeySequence::Open, this,
                                    [this] { session_.Load(); });
    openActions_ = {newDesign, load};
    QAction* save = file->addAction(QStringLiteral("&Save"), QKeySequence::Save, this,
                                    [this] { session_.Save(); });
    // Not every desktop defines a Save As key; the README promises this one.
    QAction* saveAs = file->addAction(QStringLiteral("Save &As..."),
                                      QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S), this,
                                      [this] { session_.SaveAs(); });
    recentMenu_ = file->addMenu(QStringLiteral("&Recent Designs"));
    recentMenu_->setObjectName(QStringLiteral("recentMenu"));
    connect(recentMenu_, &QMenu::aboutToShow, this, &CKestrelvaneDlg::FillRecentMenu);
    file->addSeparator();
    QAction* exportBand = file->addAction(QStringLiteral("&Export Band Curve..."), this,
                                          [this] { session_.ExportCurve(false); });
    QAction* exportTotal = file->addAction(QStringLiteral("Export &Total Curve..."), this,
                                           [this] { session_.ExportCurve(true); });
    file->addAction(exportFilters_);
    file->addSeparator();
    QAction* quit =
        file->addAction(QStringLiteral("&Quit"), QKeySequence::Quit, this, &QWidget::close);
    quit->setMenuRole(QAction::QuitRole);
    designActions_.insert(designActions_.end(), {save, saveAs, exportBand, exportTotal});

    QMenu* edit = menuBar()->addMenu(QStringLiteral("&Edit"));
    undo_ = edit->addAction(QStringLiteral("&Undo"), QKeySequence::Undo, this,
                            [this] { session_.Undo(); });
    undo_->setObjectName(QStringLiteral("undoAction"));
    redo_ = edit->addAction(QStringLiteral("&Redo"), QKeySequence::Redo, this,
                            [this] { session_.Redo(); });
    redo_->setObjectName(QStringLiteral("redoAction"));
    edit->addSeparator();
    edit->addAction(properties_);
    edit->addAction(changeTitle_);
    edit->addAction(targetLevels_);
    edit->addAction(optimise_);

    QMenu* view = menuBar()->addMenu(QStringLiteral("&View"));
    QMenu* band = view->addMenu(QStringLiteral("&Band Response"));
    QMenu* total = view->addMenu(QStringLiteral("&Total Response"));
    AddCurveSwitches(*band, *total);
    AddViewCommands(*band, *total);
    band->addActions({zoomActions_[0], zoomActions_[1]});
    total->addActions({zoomActions_[2], zoomActions_[3]});

    QMenu* unit = menuBar()->addMenu(QStringLiteral("Uni&t"));
    QAction* update =
        unit->addAction(QStringLiteral("&Update HMQ..."), QKeySequence(Qt::CTRL | Qt::Key_U), this,
                        [this] { session_.UpdateHmq(); });
    QAction* cfg = unit->addAction(QStringLiteral("Write .&cfg File..."), this,
                                   [this] { session_.WriteCfgFile(); });
    designActions_.insert(designActions_.end(), {update, cfg});

    QMenu* help = menuBar()->addMenu(QStringLiteral("Hel&p"));
    help->addAction(QStringLiteral("Kestrelvane &Help"), QKeySequence::HelpContents, this,
                    &CKestrelvaneDlg::ShowHelp);
    QAction* about =
        help->addAction(QStringLiteral("&About Kestrelvane..."), this, &CKestrelvaneDlg::ShowAbout);
    about->setMenuRole(QAction::AboutRole);
}

// The display switches of each pane, the same in the View menu and in the
// pane's own menu: its curves, then phase and group delay.
void CKestrelvaneDlg::AddCurveSwitches(QMenu& band, QMenu& total) {
    for (const ShowFlag flag : kBandCurveFlags) {
        band.addAction(FlagAction(flagActions_, flag));
    }
    for (const ShowFlag flag :
         {ShowFlag::SumFilter, ShowFlag::SumTotal, ShowFlag::SumTarget, ShowFlag::Individual}) {
        total.addAction(FlagAction(flagActions_, flag));
    }
    for (QMenu* pane : {&band, &total}) {
        pane->addSeparator();
        for (const ShowFlag flag :
             {ShowFlag::Phase, ShowFlag::GroupDelay, ShowFlag::UnwrappedPhase}) {
            pane->addAction(FlagAction(flagActions_, flag));
        }
        pane->addSeparator();
    }
}

// What each pane offers besides its switches: the handles (band pane), the
// level range and the PIR length.
void CKestrelvaneDlg::AddViewCommands(QMenu& band, QMenu& total) {
    band.addAction(FlagAction(flagActions_, ShowFlag::Handles));
    band.addAction(levelRangeActions_[0]);
    total.addAction(levelRangeActions_[1]);
    for (QMenu* pane : {&band, &total}) {
        pane->addMenu(pirMenu_);
        pane->addSeparator();
    }
}

void CKestrelvaneDlg::EditLevelRange(PaneKind pane) {
    const LevelRangeItem& item = kLevelRangeItems[pane == PaneKind::Band ? 0 : 1];
    bool ok = false;
    const int range = QInputDialog::getInt(
        this, QStringLiteral("%1 Level Range").arg(QString::fromLatin1(item.title)),
        QStringLiteral("&Level range (dB):"),
        static_cast<int>(std::lround(session_.View().LevelRange(pane))), kFewestLevelDb,
        kMostLevelDb, kLevelDbStep, &ok);
    if (ok) {
        session_.View().SetLevelRange(pane, range);
        session_.ViewChanged();
    }
}

std::vector<QRect> CKestrelvaneDlg::PaneAreas() const {
    return {ScreenArea(*bandFrame_), ScreenArea(*totalFrame_)};
}

void CKestrelvaneDlg::BuildContextMenus() {
    schematicMenu_ = new QMenu(this);
    schematicMenu_->setObjectName(QStringLiteral("schematicMenu"));
    schematicMenu_->addActions({properties_, changeTitle_});

    bandMenu_ = new QMenu(this);
    bandMenu_->setObjectName(QStringLiteral("bandMenu"));
    totalMenu_ = new QMenu(this);
    totalMenu_->setObjectName(QStringLiteral("totalMenu"));
    AddCurveSwitches(*bandMenu_, *totalMenu_);
    AddViewCommands(*bandMenu_, *totalMenu_);
    bandMenu_->addActions({targetLevels_, optimise_});
    bandMenu_->addSeparator();
    bandMenu_->addActions({zoomActions_[0], zoomActions_[1]});
    bandMenu_->addSeparator();
    bandMenu_->addActions({exportBand_, exportFilters_});
    bandMenu_->addSeparator();
    QAction* align = NewAction(QStringLiteral("&Align..."), QStringLiteral("alignAction"));
    connect(align, &QAction::triggered, this, &CKestrelvaneDlg::AlignBands);
    designActions_.push_back(align);
    bandMenu_->addAction(align);
    totalMenu_->addActions({zoomActions_[2], zoomActions_[3]});
    totalMenu_->addSeparator();
    totalMenu_->addAction(exportTotal_);
}

CZoomedWindow* CKestrelvaneDlg::OpenZoomed(ZoomedView view) {
    const auto index = static_cast<std::size_t>(view);
    QPointer<CZoomedWindow>& window = zoomed_[index];
    if (window.isNull()) {
        const ZoomedItem& item = kZoomedItems[index];
        std::unique_ptr<CCurveBase> curve;
        if (item.total) {
            curve = std::make_unique<CTotalCurve>(session_.View().Source());
        } else {
            curve = std::make_unique<CEditCurve>(session_.View().Source());
        }
        window =
            new CZoomedWindow(std::move(curve), item.view, QString::fromLatin1(item.title), this);
        window->setObjectName(QString::fromLatin1(item.windowName));
        ResponsePane& pane = window->Pane();
        if (item.view == ResponseView::Time) {
            connect(&pane, &ResponsePane::menuRequested, this,
                    [this](const QPoint& at) { pirMenu_->popup(at); });
        } else if (!item.total) {
            pane.SetHandleEditor(&handleEditor_);
        }
        placer_.Place(*window);
    }
    window->ShowRaised();
    return window;
}

// The target level is stored in the project file: a change kept with OK is a
// change to save.
void CKestrelvaneDlg::EditTargetLevels() {
    const DesignSettings before = session_.Document().Design().Settings();
    CTargetLevels dialog(
        session_.Document().Design(), [this] { session_.LiveChange(); }, this);
    dialog.exec();
    session_.CommitChange(before, "Change Target Level");
}

// The band pane's band with the neighbour the user picks; what the dialog
// found is one step of undo.
void CKestrelvaneDlg::AlignBands() {
    CAlignDlg dialog(session_.Document().Design(), session_.View().CurrentBand(), this);
    if (dialog.exec() == QDialog::Accepted && dialog.Found()) {
        const Alignment found = dialog.Result();
        session_.Change("Align",
                        [&found](CConfiguration& design) { return ApplyAlignment(design, found); });
    }
}

// The fit shows in the panes while the dialog is open; what OK keeps is one
// step of undo.
void CKestrelvaneDlg::OptimiseBand() {
    CConfiguration& design = session_.Document().Design();
    const int band = session_.View().CurrentBand();
    if (band < 0 || band >= design.numBands) {
        return;
    }
    const DesignSettings before = design.Settings();
    COptimiseDlg dialog(
        design, band, {}, [this] { session_.LiveChange(); }, this);
    dialog.exec();
    session_.CommitChange(before,
                          "Optimise " + design.bands[static_cast<std::size_t>(band)].GetName());
}

void CKestrelvaneDlg::ShowHelp() {
    if (help_ == nullptr) {
        help_ = new HelpViewer(this);
        placer_.Place(*help_);
    }
    help_->ShowRaised();
}

void CKestrelvaneDlg::ShowAbout() {
    CAboutDlg about(this);
    about.exec();
}

// While a block's dialog is open the commands are off, also where a
// desktop's global menu would reach them past the dialog.
void CKestrelvaneDlg::UpdateActions() {
    const bool free = !session_.BlockDialogOpen();
    const bool design = session_.Document().HasDesign();
    for (QAction* action : designActions_) {
        action->setEnabled(design && free);
    }
    for (QAction* action : openActions_) {
        action->setEnabled(free);
    }
    const UndoHistory& history = session_.History().Undo();
    undo_->setEnabled(history.CanUndo() && free);
    undo_->setText(
        QStringLiteral("&Undo %1").arg(QString::fromStdString(history.UndoDescription())));
    redo_->setEnabled(history.CanRedo() && free);
    redo_->setText(
        QStringLiteral("&Redo %1").arg(QString::fromStdString(history.RedoDescription())));
    recentMenu_->setEnabled(!session_.RecentDesigns().empty() && free);
    for (const FlagItem& item : kFlagItems) {
        FlagAction(flagActions_, item.flag)->setChecked(session_.View().Flags()[item.flag]);
    }
    for (QAction* length : pirLengths_->actions()) {
        length->setChecked(length->data().toDouble() == session_.View().PirLength());
    }
}

void CKestrelvaneDlg::FillRecentMenu() {
    recentMenu_->clear();
    int number = 1;
    for (const std::string& path : session_.RecentDesigns()) {
        const QString name = QString::fromStdString(path);
        QAction* open =
            recentMenu_->addAction(QStringLiteral("&%1 %2").arg(number++).arg(name), this,
                                   [this, path] { session_.OpenFile(PathFromText(path)); });
        open->setToolTip(name);
    }
}

void CKestrelvaneDlg::Refresh() {
    if (!session_.Document().Saved()) {
        recoveryTimer_->start();
    }
    setWindowTitle(QString::fromStdString(session_.Document().WindowTitle(true)));
    setWindowModified(session_.Document().HasDesign() && !session_.Document().Saved());
    ShowHardwareStatus();
    UpdateActions();
    bandPane_->Invalidate();
    totalPane_->Invalidate();
    ShowSchematicOrStart();
    for (const QPointer<CZoomedWindow>& window : zoomed_) {
        if (!window.isNull()) {
            window->Invalidate();
        }
    }
    blockDialogs_.ShowDesignInOpenDialog();
}

void CKestrelvaneDlg::ShowSchematicOrStart() {
    const bool hasDesign = session_.Document().HasDesign();
    QWidget* shown = hasDesign ? static_cast<QWidget*>(schematicPane_) : startPanel_;
    if (schematicStack_->currentWidget() != shown) {
        const bool hadFocus = schematicStack_->currentWidget()->hasFocus();
        schematicStack_->setCurrentWidget(shown);
        schematicFrame_->setTitle(hasDesign ? QStringLiteral("Block Schematic")
                                            : QStringLiteral("Start"));
        if (hadFocus) {
            shown->setFocus();
        }
    }
    if (hasDesign) {
        schematicPane_->update();
    } else {
        startPanel_->Refresh();
    }
}

// A design file dropped on the window opens, as Load would open it;
// measurement files are for a band's Driver block, which takes them itself.
void CKestrelvaneDlg::dragEnterEvent(QDragEnterEvent* event) {
    if (!DroppedDesign(*event->mimeData()).empty()) {
        event->acceptProposedAction();
    }
}

void CKestrelvaneDlg::dropEvent(QDropEvent* event) {
    const std::filesystem::path design = DroppedDesign(*event->mimeData());
    if (!design.empty()) {
        event->acceptProposedAction();
        session_.OpenFile(design);
    }
}

// Esc quits as Cancel does, with the question about unsaved work; only a key
// no control took, so that Esc on an open list closes the list.
void CKestrelvaneDlg::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        close();
        return;
    }
    QMainWindow::keyPressEvent(event);
}

void CKestrelvaneDlg::closeEvent(QCloseEvent* event) {
    if (session_.Close()) {
        event->accept();
    } else {
        event->ignore();
    }
}

} // namespace kv
