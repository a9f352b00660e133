#include "app/ResponsePane.h"

#include "ShownWindow.h"

#include <QApplication>
#include <QTest>
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

// A readout left over the pane when another window comes up goes with the
// window's activation.
TEST_F(ResponsePaneTest, TheReadoutGoesWhenTheWindowIsNoLongerActive) {
    const QImage plain = Band().grab().toImage();
    QTest::mouseMove(&Band(), PlotCentre());
    EXPECT_NE(Band().grab().toImage(), plain) << "the readout shows";
    QEvent deactivate(QEvent::WindowDeactivate);
    QApplication::sendEvent(&Band(), &deactivate);
    EXPECT_EQ(Band().grab().toImage(), plain);
}

} // namespace
} // namespace kv
