#include "app/ResponsePane.h"

#include "ShownWindow.h"
#include "app/SchematicPane.h"
#include "app/WindowPlacer.h"
#include "dialogs/LiveEditDialog.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QDialog>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QWheelEvent>
#include <gtest/gtest.h>

namespace kv {
namespace {

// The window with a 3-way design whose second band has an equaliser at
// 1100 Hz, -2 dB, Q 2, shown in the band pane.
class ResponsePaneTest : public test::ShownWindow {
protected:
    void SetUp() override {
        ShownWindow::SetUp();
        CConfiguration design;
        ASSERT_TRUE(design.New(3, kDesignSampleRate));
        ASSERT_TRUE(design.bands[1].SetPeq(0, -2.0, 1100.0, 2.0, true));
        Show(design);
        window.Session().View().SetCurrentBand(1);
        window.Session().ViewChanged();
        Band().repaint();
    }

    ResponsePane& Band() { return *window.findChild<ResponsePane*>(QStringLiteral("bandPane")); }
    const PeqSettings& Equaliser() { return window.Session().Document().Design().bands[1].peq[0]; }

    QPoint PlotCentre() {
        const PixelRect& plot = Band().Curve().Graph().PlotRect();
        return {(plot.left + plot.right) / 2, (plot.top + plot.bottom) / 2};
    }

    QPoint HandlePoint() {
        return Band().Curve().HandlePoint(Equaliser().freq).value_or(QPointF()).toPoint();
    }

    void Wheel(const QPoint& at, int delta, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QWheelEvent wheel(at, Band().mapToGlobal(at), {}, {0, delta}, Qt::NoButton, modifiers,
                          Qt::NoScrollPhase, false);
        QApplication::sendEvent(&Band(), &wheel);
        Band().repaint();
    }

    // A drag with the left button in ten moves, each repainted.
    void Drag(const QPoint& from, const QPoint& to) {
        QTest::mousePress(&Band(), Qt::LeftButton, {}, from);
        for (int step = 1; step <= 10; ++step) {
            QTest::mouseMove(&Band(), from + (to - from) * step / 10);
            Band().repaint();
        }
        QTest::mouseRelease(&Band(), Qt::LeftButton, {}, to);
        Band().repaint();
    }
};

TEST_F(ResponsePaneTest, TheWheelZoomsAndADoubleClickOnAnAxisPutsItBack) {
    const ViewZoom whole = Band().Curve().Zoom();
    const double under = Band().Curve().FrequencyAt(PlotCentre().x());
    Wheel(PlotCentre(), 240);
    const ViewZoom in = Band().Curve().Zoom();
    EXPECT_LT(in.fMax / in.fMin, whole.fMax / whole.fMin);
    EXPECT_NEAR(Band().Curve().FrequencyAt(PlotCentre().x()) / under, 1.0, 0.02)
        << "the frequency under the pointer stays";
    EXPECT_FALSE(in.level) << "the level axis still follows the curves";

    Wheel(PlotCentre(), 120, Qt::ControlModifier);
    ASSERT_TRUE(Band().Curve().Zoom().level);
    EXPECT_LT(Band().Curve().Zoom().level->span, 40.0);

    const PixelRect& plot = Band().Curve().Graph().PlotRect();
    QTest::mouseDClick(&Band(), Qt::LeftButton, {}, QPoint(PlotCentre().x(), plot.bottom + 8));
    EXPECT_EQ(Band().Curve().Zoom().fMin, whole.fMin);
    EXPECT_EQ(Band().Curve().Zoom().fMax, whole.fMax);
    EXPECT_TRUE(Band().Curve().Zoom().level);
    QTest::mouseDClick(&Band(), Qt::LeftButton, {}, QPoint(plot.left - 8, PlotCentre().y()));
    EXPECT_EQ(Band().Curve().Zoom(), whole);
}

TEST_F(ResponsePaneTest, ShiftAndTheLeftButtonPanBothAxes) {
    Wheel(PlotCentre(), 360);
    const ViewZoom before = Band().Curve().Zoom();
    const LevelWindow shown = Band().Curve().ShownLevels();
    const QPoint from = PlotCentre();
    QTest::mousePress(&Band(), Qt::LeftButton, Qt::ShiftModifier, from);
    QTest::mouseMove(&Band(), from + QPoint(-100, 30));
    QTest::mouseRelease(&Band(), Qt::LeftButton, Qt::ShiftModifier, from + QPoint(-100, 30));
    const ViewZoom after = Band().Curve().Zoom();
    EXPECT_GT(after.fMin, before.fMin) << "dragged left: higher frequencies come in";
    EXPECT_NEAR(after.fMax / after.fMin, before.fMax / before.fMin, 1e-6);
    ASSERT_TRUE(after.level);
    EXPECT_GT(after.level->top, shown.top) << "dragged down: higher levels come in";
    EXPECT_EQ(after.level->span, shown.span);
    EXPECT_EQ(Equaliser().freq, 1100.0) << "a pan moves no handle";
}

// A drag one octave up and up moves the equaliser; one undo takes the whole
// drag back.
TEST_F(ResponsePaneTest, DraggingAHandleMovesItsFilterAsOneStepOfUndo) {
    const QPoint handle = HandlePoint();
    ASSERT_NE(handle, QPoint());
    const double octave = Band().Curve().XOf(2200.0) - Band().Curve().XOf(1100.0);
    const double fourDb = Band().Curve().Graph().PlotRect().Height() / 10.0;
    Drag(handle, handle + QPoint(static_cast<int>(std::lround(octave)),
                                 -static_cast<int>(std::lround(fourDb))));
    EXPECT_NEAR(Equaliser().freq, 2200.0, 40.0);
    EXPECT_NEAR(Equaliser().gain, 2.0, 0.3);
    EXPECT_EQ(Equaliser().q, 2.0);
    EXPECT_TRUE(window.isWindowModified());
    window.Session().Undo();
    EXPECT_EQ(Equaliser().freq, 1100.0);
    EXPECT_EQ(Equaliser().gain, -2.0);
    EXPECT_FALSE(window.isWindowModified());

    Wheel(HandlePoint(), 6 * 120);
    EXPECT_EQ(Equaliser().q, 4.0) << "the wheel over a handle turns its Q";
    EXPECT_EQ(Band().Curve().Zoom(), ViewZoom()) << "and zooms nothing";
}

// A window that comes up during a drag takes its release: the next move
// without the button ends the drag there, as one step, and moves nothing.
TEST_F(ResponsePaneTest, ADragWhoseReleaseWentElsewhereEndsAtTheNextMove) {
    const QPoint handle = HandlePoint();
    ASSERT_NE(handle, QPoint());
    QTest::mousePress(&Band(), Qt::LeftButton, {}, handle);
    QTest::mouseMove(&Band(), handle + QPoint(40, 0));
    const double dragged = Equaliser().freq;
    EXPECT_GT(dragged, 1100.0);
    const QPoint later = handle + QPoint(120, 0);
    QMouseEvent released(QEvent::MouseMove, later, Band().mapToGlobal(later), Qt::NoButton,
                         Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(&Band(), &released);
    EXPECT_EQ(Equaliser().freq, dragged);
    EXPECT_EQ(window.Session().History().Undo().UndoDescription(), "Drag EQ 1 of Output 2 (MF)");
    QTest::mouseMove(&Band(), handle + QPoint(200, 0));
    EXPECT_EQ(Equaliser().freq, dragged);
}

// With the equaliser's dialog open, the band pane still takes a drag and
// the dialog shows the new values; the rest of the window takes nothing;
// Cancel takes the drag back with everything else.
TEST_F(ResponsePaneTest, AnOpenDialogShowsWhatADragDidAndItsCancelTakesItBack) {
    auto* schematic = window.findChild<SchematicPane*>(QStringLiteral("schematicPane"));
    window.Session().View().Select({static_cast<int>(BlockKind::Eq), 1});
    bool checked = false;
    QTimer::singleShot(0, [&] {
        auto* dialog = window.findChild<QDialog*>(QStringLiteral("eqDialog"));
        ASSERT_NE(dialog, nullptr);
        auto* freq =
            dialog->findChild<QWidget*>(QStringLiteral("peqFreqField1"))->findChild<QLineEdit*>();
        Drag(HandlePoint(), HandlePoint() + QPoint(60, 0));
        EXPECT_GT(Equaliser().freq, 1200.0);
        EXPECT_EQ(freq->text().toDouble(), Equaliser().freq);

        const BlockSelection selected = window.Session().View().Selection();
        const QRect input = window.BlockSchematic().Rows(schematic->rect())[0].blocks[0];
        QTest::mouseClick(schematic, Qt::LeftButton, {}, input.center());
        EXPECT_EQ(window.Session().View().Selection().band, selected.band)
            << "the schematic took a click under the dialog";
        QTest::keyClick(&window, Qt::Key_Z, Qt::ControlModifier);
        EXPECT_GT(Equaliser().freq, 1200.0) << "Ctrl+Z reached the window under the dialog";
        QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("cancelButton")),
                          Qt::LeftButton);
        checked = true;
    });
    window.BlockSchematic().OpenSelectedBlock();
    EXPECT_TRUE(checked);
    EXPECT_EQ(Equaliser().freq, 1100.0);
    EXPECT_FALSE(window.Session().History().Undo().CanUndo());
}

// A readout left over the pane when another window comes up goes with the
// window's activation, and when the pane's menu opens over it.
TEST_F(ResponsePaneTest, TheReadoutGoesWhenAnotherWindowComesUp) {
    const QImage plain = Band().grab().toImage();
    QTest::mouseMove(&Band(), PlotCentre());
    EXPECT_NE(Band().grab().toImage(), plain) << "the readout shows";
    QEvent deactivate(QEvent::WindowDeactivate);
    QApplication::sendEvent(&Band(), &deactivate);
    EXPECT_EQ(Band().grab().toImage(), plain);

    QTest::mouseMove(&Band(), PlotCentre() + QPoint(1, 0));
    ASSERT_NE(Band().grab().toImage(), plain);
    QContextMenuEvent menu(QContextMenuEvent::Mouse, PlotCentre(),
                           Band().mapToGlobal(PlotCentre()));
    QApplication::sendEvent(&Band(), &menu);
    window.findChild<QMenu*>(QStringLiteral("bandMenu"))->close();
    EXPECT_EQ(Band().grab().toImage(), plain);
}

// On a 1920 x 1080 screen with the window maximised, no block's dialog
// opens over the band pane, and each lies wholly on the screen; a dialog
// the user moved opens where they left it.
TEST_F(ResponsePaneTest, EveryBlockDialogOpensClearOfTheBandPaneOnAFullHdScreen) {
    const QRect screen(0, 0, 1920, 1080);
    window.setGeometry(QRect(0, 30, 1920, 1050));
    QApplication::processEvents();
    auto* bandFrame = window.findChild<QWidget*>(QStringLiteral("bandFrame"));
    const QRect bandArea(bandFrame->mapToGlobal(QPoint(0, 0)), bandFrame->size());
    ASSERT_GT(bandArea.width(), 800);
    for (int kind = 0; kind < kBlockKinds; ++kind) {
        const std::unique_ptr<LiveEditDialog> dialog =
            window.BlockDialogs().DialogFor(static_cast<BlockKind>(kind), 1);
        ASSERT_NE(dialog, nullptr) << kind;
        const QRect frame = window.Placer().FrameFor(*dialog, screen);
        EXPECT_FALSE(frame.intersects(bandArea))
            << dialog->objectName().toStdString() << " at " << frame.x() << "," << frame.y() << " "
            << frame.width() << "x" << frame.height();
        EXPECT_TRUE(screen.contains(frame)) << dialog->objectName().toStdString();
    }

    const std::unique_ptr<LiveEditDialog> moved = window.BlockDialogs().DialogFor(BlockKind::Eq, 1);
    window.Placer().Place(*moved);
    moved->show();
    moved->move(40, 200);
    moved->reject();
    const std::unique_ptr<LiveEditDialog> again = window.BlockDialogs().DialogFor(BlockKind::Eq, 1);
    EXPECT_EQ(window.Placer().FrameFor(*again, screen).topLeft(), QPoint(40, 200));
}

// The SPL Curve dialog grows by its column and phase rows once a file is
// chosen: it moves up rather than lose OK and Cancel below the screen.
TEST_F(ResponsePaneTest, ADialogThatGrowsStaysWhollyOnTheScreen) {
    const std::unique_ptr<LiveEditDialog> dialog =
        window.BlockDialogs().DialogFor(BlockKind::Driver, 1);
    window.Placer().Place(*dialog);
    dialog->show();
    const QRect screen = dialog->screen()->availableGeometry();
    dialog->move(dialog->x(), screen.bottom() - dialog->frameGeometry().height());
    dialog->resize(dialog->width(), dialog->height() + 150);
    QApplication::processEvents();
    EXPECT_LE(dialog->pos().y() + dialog->frameGeometry().height(), screen.bottom() + 1)
        << "at " << dialog->pos().y() << ", " << dialog->frameGeometry().height() << " high";
    dialog->reject();
}

} // namespace
} // namespace kv
