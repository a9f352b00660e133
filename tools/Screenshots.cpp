// Makes the README's screenshots with the program's own window, offscreen:
// the main window with the 3-way example, the Parametric EQ dialog, both
// response panes with phase and group delay, and the window with a design
// the unit cannot run.
//
//     kv_screenshots OUTPUT_FOLDER EXAMPLES_FOLDER
//
// It runs with settings and data folders of its own, so it neither reads
// nor changes the user's.

#include "ToolMessages.h"
#include "app/CKestrelvaneDlg.h"
#include "dialogs/CEqDlg.h"
#include "platform/CSettings.h"
#include "session/IFileChooser.h"

#include <QApplication>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <iostream>

namespace {

// No file is chosen while the pictures are made.
class NoFiles : public kv::IFileChooser {
public:
    std::optional<std::filesystem::path> ChooseFileToOpen(const kv::FileDialogRequest&) override {
        return std::nullopt;
    }
    std::optional<std::filesystem::path> ChooseFileToSave(const kv::FileDialogRequest&) override {
        return std::nullopt;
    }
};

bool Save(QWidget& widget, const std::filesystem::path& file) {
    QApplication::processEvents();
    const QPixmap picture = widget.grab();
    if (picture.isNull() || !picture.save(QString::fromStdU16String(file.u16string()), "PNG")) {
        std::cerr << "cannot write " << file << "\n";
        return false;
    }
    return true;
}

struct Shots {
    std::filesystem::path output;
    std::filesystem::path examples;
    kv::CSettings& settings;
};

// The 3-way example with the midrange's equaliser selected, its filter
// curve shown and the hardware's over it.
bool MainWindow(const Shots& shots) {
    kv::CKestrelvaneDlg window(shots.settings);
    window.Start(shots.examples / "three-way.ksv");
    kv::DesignSession& session = window.Session();
    session.View().Flags()[kv::ShowFlag::Filter] = true;
    session.View().Flags()[kv::ShowFlag::Hardware] = true;
    session.View().Select({static_cast<int>(kv::BlockKind::Eq), 1});
    session.View().SetCurrentBand(1);
    session.ViewChanged();
    window.resize(1200, 880);
    window.show();
    if (!Save(window, shots.output / "main-window.png")) {
        return false;
    }
    kv::tools::PrintedMessages messages;
    NoFiles files;
    kv::CEqDlg equalisers(
        session.Document().Design(), 1, messages, files, [] {}, &window);
    equalisers.show();
    return Save(equalisers, shots.output / "parametric-eq.png");
}

// Both response panes of the 3-way example with level, phase and group
// delay, the midrange in the band pane and each band's own curve in the
// total pane: the legends, the axes and the handles.
bool ResponsePanes(const Shots& shots) {
    kv::CKestrelvaneDlg window(shots.settings);
    window.Start(shots.examples / "three-way.ksv");
    kv::DesignSession& session = window.Session();
    for (const kv::ShowFlag flag : {kv::ShowFlag::Phase, kv::ShowFlag::GroupDelay,
                                    kv::ShowFlag::Filter, kv::ShowFlag::Individual}) {
        session.View().Flags()[flag] = true;
    }
    session.View().SetCurrentBand(1);
    session.ViewChanged();
    window.resize(1600, 1000);
    window.show();
    QWidget* panes = window.findChild<QWidget*>(QStringLiteral("bandFrame"))->parentWidget();
    return Save(*panes, shots.output / "response-panes.png");
}

// The example with a +20 dB high shelf at 20 Hz on the woofer: a coefficient
// the chip cannot hold.
bool RefusedDesign(const Shots& shots) {
    kv::CKestrelvaneDlg window(shots.settings);
    window.Start(shots.examples / "three-way.ksv");
    kv::DesignSession& session = window.Session();
    kv::CBand& woofer = session.Document().Design().bands[2];
    if (!woofer.SetHighShelf(20.0, 20.0, true)) {
        return false;
    }
    session.View().SetCurrentBand(2);
    session.LiveChange();
    window.resize(1200, 880);
    window.show();
    return Save(window, shots.output / "hardware-check.png");
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    QStandardPaths::setTestModeEnabled(true);
    if (argc != 3) {
        std::cerr << "usage: kv_screenshots OUTPUT_FOLDER EXAMPLES_FOLDER\n";
        return 2;
    }
    QTemporaryDir folder;
    kv::CSettings settings(folder.filePath(QStringLiteral("settings.ini")));
    const Shots shots{argv[1], argv[2], settings};
    // The window would ask about a design it cannot open, and nobody would
    // answer offscreen.
    kv::tools::PrintedMessages messages;
    kv::CConfiguration example;
    if (!example.Load(shots.examples / "three-way.ksv", messages)) {
        return 1;
    }
    std::error_code error;
    std::filesystem::create_directories(shots.output, error);
    return MainWindow(shots) && ResponsePanes(shots) && RefusedDesign(shots) ? 0 : 1;
}
