#pragma once

#include "app/CDesignDialogs.h"
#include "app/CFileChooser.h"
#include "app/CMessageBox.h"
#include "app/DesignSession.h"
#include "graphs/CEditCurve.h"
#include "graphs/CTotalCurve.h"

#include <QMainWindow>
#include <filesystem>
#include <vector>

class QAction;
class QComboBox;
class QMenu;

namespace kv {

class HelpViewer;
class ISettings;
class ResponsePane;
class SchematicPane;

// The main window: the band and total response panes above the block
// schematic, the command buttons and the serial port, and a menu bar with
// every command. The logic lives in DesignSession; the window shows it.
class CKestrelvaneDlg : public QMainWindow {
    Q_OBJECT

public:
    explicit CKestrelvaneDlg(ISettings& settings, QWidget* parent = nullptr);
    ~CKestrelvaneDlg() override;

    // Start-up: the given design, or without one the last file.
    void Start(const std::filesystem::path& file = {});

    DesignSession& Session() { return session_; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    QWidget* BuildPanes();
    QWidget* BuildCommandBar();
    void BuildMenus();
    // A menu command that needs a design, greyed without one.
    QAction* AddDesignAction(QMenu* menu, const QString& text, const QKeySequence& shortcut);
    void ShowHelp();
    void ShowAbout();
    // Everything the window shows, after any change.
    void Refresh();

    CMessageBox messages_;
    CFileChooser files_;
    CDesignDialogs dialogs_;
    DesignSession session_;
    CEditCurve bandCurve_;
    CTotalCurve totalCurve_;
    ResponsePane* bandPane_ = nullptr;
    ResponsePane* totalPane_ = nullptr;
    SchematicPane* schematicPane_ = nullptr;
    QComboBox* portCombo_ = nullptr;
    HelpViewer* help_ = nullptr;
    std::vector<QAction*> designActions_;
};

} // namespace kv
