#include "app/SchematicPane.h"

#include "ShownWindow.h"

namespace kv {
namespace {

// The Input block's face in the schematic, drawn as the window shows it.
class InputBlockFace : public test::ShownWindow {
protected:
    void SetUp() override {
        ShownWindow::SetUp();
        CConfiguration design;
        ASSERT_TRUE(design.New(1, kDesignSampleRate));
        Show(design);
    }

    CBand& Band() { return window.Session().Document().Design().bands[0]; }

    // The face and the gap after it, as the pane paints them now.
    QImage Painted() {
        window.Session().LiveChange();
        auto* pane = window.findChild<SchematicPane*>(QStringLiteral("schematicPane"));
        face = window.BlockSchematic().Rows(pane->rect())[0].blocks[0];
        return pane->grab().toImage();
    }

    static int InkPixels(const QImage& image, const QRect& area) {
        int ink = 0;
        for (int y = area.top(); y <= area.bottom(); ++y) {
            for (int x = area.left(); x <= area.right(); ++x) {
                const QColor colour = image.pixelColor(x, y);
                // The schematic's dark blue ink, not the face's grey-blue edge.
                ink += colour.red() < 90 && colour.blue() - colour.red() > 30 ? 1 : 0;
            }
        }
        return ink;
    }

    QRect face;
};

// "G: -14.5dB" stays clear of the face's edge, which a selected block draws
// two pixels wide and a pixel further in, instead of running under it.
TEST_F(InputBlockFace, TheGainFitsInsideTheFace) {
    ASSERT_TRUE(Band().SetGain(-14.5));
    const QImage image = Painted();
    const QRect gainRow(face.right() - 2, face.top() + 29, 2, 13);
    EXPECT_EQ(InkPixels(image, gainRow), 0);
    EXPECT_GT(InkPixels(image, QRect(face.left() + 6, face.top() + 29, 48, 11)), 20);
}

TEST_F(InputBlockFace, ReversedPolarityIsMarkedOnTheFace) {
    const QImage plain = Painted();
    const QRect corner(face.left() + 3, face.top() + 3, 12, 12);
    ASSERT_TRUE(Band().SetReversedPhase(true));
    EXPECT_GT(InkPixels(Painted(), corner), InkPixels(plain, corner) + 10);
}

} // namespace
} // namespace kv
