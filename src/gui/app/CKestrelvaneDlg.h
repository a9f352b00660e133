#pragma once

#include "app/CBlockDialogs.h"
#include "app/CDesignDialogs.h"
#include "app/CFileChooser.h"
#include "app/CMessageBox.h"
#include "app/WindowPlacer.h"
#include "graphs/ShowFlags.h"
#include "session/DesignSession.h"
#include "session/HandleEditor.h"
#include "session/Schematic.h"

#include <QMainWindow>
#include <QPointer>
#include <array>
#include <cstdint>
#include <filesystem>
#include <vector>

class QAction;
class QActionGroup;
class QGroupBox;
class QStackedWidget;
class QLabel;
class QMenu;
class QTimer;

namespace kv {

class CZoomedWindow;
class HelpViewer;
class ISettings;
class PortComboBox;
class ResponsePane;
class SchematicPane;
class StartPanel;

// The four free-floating views: each pane's zoomed frequency view and PIR.
enum class ZoomedView { BandResponse, BandPir, TotalResponse, TotalPir };

// The main window: the band and total response panes above the block
// schematic, the command buttons and the serial port, the panes' context
// menus and a menu bar with every command. The logic lives in
// DesignSession and Schematic; the window shows it.
class CKestrelvaneDlg : public QMainWindow {
    Q_OBJECT

public:
    explicit CKestrelvaneDlg(ISettings& settings, QWidget* parent = nullptr);
    ~CKestrelvaneDlg() override;

    // Start-up: the given design, or without one the last file.
    void Start(const std::filesystem::path& file = {});

    DesignSession& Session() { return session_; }
    Schematic& BlockSchematic() { return schematic_; }
    CBlockDialogs& BlockDialogs() { return blockDialogs_; }
    WindowPlacer& Placer() { return placer_; }
    // Opens a zoomed or PIR window, or raises it when it is open already.
    CZoomedWindow* OpenZoomed(ZoomedView view);

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    QWidget* BuildPanes();
    QWidget* BuildCommandBar();
    void BuildStatusBar();
    void ShowHardwareStatus();
    void BuildActions();
    void BuildMenus();
    void BuildContextMenus();
    void AddCurveSwitches(QMenu& band, QMenu& total);
    void AddViewCommands(QMenu& band, QMenu& total);
    void EditLevelRange(PaneKind pane);
    // The screen areas of the response panes, the band pane's first.
    std::vector<QRect> PaneAreas() const;
    QAction* NewAction(const QString& text, const QString& objectName);
    void EditTargetLevels();
    void OptimiseBand();
    void FillRecentMenu();
    void AlignBands();
    void ShowHelp();
    void ShowAbout();
    // Everything the window shows, after any change.
    void Refresh();
    void ShowSchematicOrStart();
    void UpdateActions();

    CMessageBox messages_;
    CFileChooser files_;
    CDesignDialogs dialogs_;
    DesignSession session_;
    HandleEditor handleEditor_{session_};
    WindowPlacer placer_;
    CBlockDialogs blockDialogs_;
    Schematic schematic_;
    ResponsePane* bandPane_ = nullptr;
    ResponsePane* totalPane_ = nullptr;
    QGroupBox* bandFrame_ = nullptr;
    QGroupBox* totalFrame_ = nullptr;
    SchematicPane* schematicPane_ = nullptr;
    // Without a design, the start panel takes the schematic's place.
    StartPanel* startPanel_ = nullptr;
    QStackedWidget* schematicStack_ = nullptr;
    QGroupBox* schematicFrame_ = nullptr;
    PortComboBox* portCombo_ = nullptr;
    HelpViewer* help_ = nullptr;
    std::array<QPointer<CZoomedWindow>, 4> zoomed_;

    std::array<QAction*, kShowFlagCount> flagActions_{};
    // Greyed while there is no design.
    std::vector<QAction*> designActions_;
    // New and Load, which need no design.
    std::vector<QAction*> openActions_;
    QAction* properties_ = nullptr;
    QAction* changeTitle_ = nullptr;
    QAction* targetLevels_ = nullptr;
    QAction* optimise_ = nullptr;
    std::array<QAction*, 4> zoomActions_{};
    std::array<QAction*, 2> levelRangeActions_{};
    QActionGroup* pirLengths_ = nullptr;
    QMenu* pirMenu_ = nullptr;
    QAction* undo_ = nullptr;
    QAction* redo_ = nullptr;
    QMenu* recentMenu_ = nullptr;
    QTimer* recoveryTimer_ = nullptr;
    QAction* exportBand_ = nullptr;
    QAction* exportTotal_ = nullptr;
    QAction* exportFilters_ = nullptr;
    QLabel* hardwareStatus_ = nullptr;
    // The hardware check the status bar shows.
    std::uint64_t shownChecks_ = 0;
    QMenu* schematicMenu_ = nullptr;
    QMenu* bandMenu_ = nullptr;
    QMenu* totalMenu_ = nullptr;
};

} // namespace kv
