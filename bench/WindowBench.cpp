#include "BenchDesigns.h"
#include "BenchImpulse.h"
#include "BenchMessages.h"
#include "app/CKestrelvaneDlg.h"
#include "app/ResponsePane.h"
#include "app/SchematicPane.h"
#include "dialogs/CHpFilterDlg.h"
#include "dialogs/CSPLCurve.h"
#include "platform/CSettings.h"
#include "session/IFileChooser.h"

#include <QApplication>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <benchmark/benchmark.h>
#include <memory>

namespace {

using kv::bench::SilentMessages;

// A file dialog in which the user always chooses the same file.
class ChosenFile : public kv::IFileChooser {
public:
    explicit ChosenFile(std::filesystem::path path) : path_(std::move(path)) {}
    std::optional<std::filesystem::path> ChooseFileToOpen(const kv::FileDialogRequest&) override {
        return path_;
    }
    std::optional<std::filesystem::path> ChooseFileToSave(const kv::FileDialogRequest&) override {
        return path_;
    }

private:
    std::filesystem::path path_;
};

// The heavy 3-way design saved once, and settings of their own.
struct WindowFixture {
    WindowFixture() {
        kv::CConfiguration design;
        kv::bench::BuildHeavyDesign(design);
        SilentMessages messages;
        design.Save(DesignPath(), messages);
    }

    std::filesystem::path DesignPath() const { return Folder() / "heavy.ksv"; }
    std::filesystem::path Folder() const {
        return std::filesystem::path(folder.path().toStdU16String());
    }

    QTemporaryDir folder;
    kv::CSettings settings{folder.filePath(QStringLiteral("settings.ini"))};
};

WindowFixture& Fixture() {
    static WindowFixture fixture;
    return fixture;
}

// The window at 1600 x 1000 with the heavy design, painted once.
std::unique_ptr<kv::CKestrelvaneDlg> OpenWindow() {
    auto window = std::make_unique<kv::CKestrelvaneDlg>(Fixture().settings);
    window->Session().History().SetRecoveryFolder(Fixture().Folder());
    window->Start(Fixture().DesignPath());
    window->resize(1600, 1000);
    window->show();
    QApplication::processEvents();
    window->repaint();
    return window;
}

void RepaintPanes(kv::CKestrelvaneDlg& window) {
    for (const char* name : {"bandPane", "totalPane"}) {
        window.findChild<kv::ResponsePane*>(QString::fromLatin1(name))->repaint();
    }
    window.findChild<kv::SchematicPane*>(QStringLiteral("schematicPane"))->repaint();
}

// Up and Down in turn on a dialog's numeric field, the panes repainted
// after each press.
void PressArrows(benchmark::State& state, kv::CKestrelvaneDlg& window, QWidget& dialog,
                 const char* field) {
    auto* edit = dialog.findChild<QWidget*>(QString::fromLatin1(field))->findChild<QLineEdit*>();
    bool up = true;
    for (auto _ : state) {
        QTest::keyClick(edit, up ? Qt::Key_Up : Qt::Key_Down);
        up = !up;
        RepaintPanes(window);
    }
}

// A changed setting (an equaliser gain of band 1) to both panes and the
// schematic repainted: what every step of a held arrow costs.
void BM_EditToRepaintedPanes(benchmark::State& state) {
    const auto window = OpenWindow();
    kv::DesignSession& session = window->Session();
    double gain = 3.0;
    for (auto _ : state) {
        gain = gain > 2.0 ? 1.0 : 3.0;
        session.Document().Design().bands[0].SetPeq(0, gain, 100.0, 2.0, true);
        session.LiveChange();
        RepaintPanes(*window);
    }
}
BENCHMARK(BM_EditToRepaintedPanes)->Unit(benchmark::kMillisecond);

// One press of an arrow on the frequency field of a crossover dialog
// (high-pass 1 of band 1, enabled) to both panes and the schematic
// repainted: holding the arrow animates the curves at this pace.
void BM_CrossoverArrowToRepaintedPanes(benchmark::State& state) {
    const auto window = OpenWindow();
    kv::DesignSession& session = window->Session();
    SilentMessages messages;
    kv::CHpFilterDlg dialog(
        session.Document().Design(), 0, 0, messages, [&session] { session.LiveChange(); },
        window.get());
    dialog.show();
    PressArrows(state, *window, dialog, "filterFreqField");
}
BENCHMARK(BM_CrossoverArrowToRepaintedPanes)->Unit(benchmark::kMillisecond);

// One press of an arrow on the gate field of the SPL Curve dialog (0.1 ms)
// with a 2-second 48 kHz room impulse response loaded into band 1, to both
// panes and the schematic repainted.
void BM_GateArrowToRepaintedPanes(benchmark::State& state) {
    const auto window = OpenWindow();
    kv::DesignSession& session = window->Session();
    const std::filesystem::path wave = Fixture().Folder() / "room.wav";
    kv::bench::WriteRoomImpulseWave(wave);
    SilentMessages messages;
    ChosenFile files(wave);
    kv::CSPLCurve dialog(
        session.Document().Design(), 0, messages, files, [&session] { session.LiveChange(); },
        window.get());
    dialog.show();
    QTest::mouseClick(dialog.findChild<QPushButton*>(QStringLiteral("browseButton")),
                      Qt::LeftButton);
    PressArrows(state, *window, dialog, "gateField");
}
BENCHMARK(BM_GateArrowToRepaintedPanes)->Unit(benchmark::kMillisecond);

void SendMouse(QWidget& pane, QEvent::Type type, const QPointF& at, Qt::MouseButtons buttons) {
    QMouseEvent event(type, at, pane.mapToGlobal(at), Qt::LeftButton, buttons, Qt::NoModifier);
    QApplication::sendEvent(&pane, &event);
}

// One step of a drag of an equaliser's handle (band 1's at 500 Hz) on the
// band pane, sideways and up in turn, to both panes and the schematic
// repainted: dragging a handle animates the curves at this pace.
void BM_HandleDragStepToRepaintedPanes(benchmark::State& state) {
    const auto window = OpenWindow();
    auto& pane = *window->findChild<kv::ResponsePane*>(QStringLiteral("bandPane"));
    const std::optional<QPointF> handle = pane.Curve().HandlePoint(500.0);
    if (!handle) {
        state.SkipWithError("no handle at 500 Hz");
        return;
    }
    SendMouse(pane, QEvent::MouseButtonPress, *handle, Qt::LeftButton);
    bool away = true;
    for (auto _ : state) {
        const QPointF to = away ? *handle + QPointF(12.0, -6.0) : *handle;
        away = !away;
        SendMouse(pane, QEvent::MouseMove, to, Qt::LeftButton);
        RepaintPanes(*window);
    }
    SendMouse(pane, QEvent::MouseButtonRelease, *handle, Qt::NoButton);
}
BENCHMARK(BM_HandleDragStepToRepaintedPanes)->Unit(benchmark::kMillisecond);

// A resize to the whole window repainted.
void BM_ResizeToRepaintedWindow(benchmark::State& state) {
    const auto window = OpenWindow();
    bool wide = false;
    for (auto _ : state) {
        wide = !wide;
        window->resize(wide ? 1600 : 1580, wide ? 1000 : 980);
        QApplication::processEvents();
        window->repaint();
    }
}
BENCHMARK(BM_ResizeToRepaintedWindow)->Unit(benchmark::kMillisecond);

// From the window's creation to a painted window with the heavy design
// loaded and computed.
void BM_StartToPaintedWindow(benchmark::State& state) {
    for (auto _ : state) {
        const auto window = OpenWindow();
        benchmark::DoNotOptimize(window.get());
    }
}
BENCHMARK(BM_StartToPaintedWindow)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
