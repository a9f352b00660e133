#include "graphs/CEditCurve.h"
#include "graphs/CTotalCurve.h"
#include "graphs/LogFrequencyAxis.h"
#include "graphs/ResponseViewImage.h"
#include "model/CConfiguration.h"
#include "support/TestSupport.h"

#include <QImageReader>
#include <gtest/gtest.h>

namespace kv {
namespace {

const QColor kFilterColour = LookOf(CurveKind::Filter).colour;
const QColor kTotalBlue(0, 0, 192);
const QColor kTitleRed(192, 0, 0);

// A design of flat 0 dB bands computed on the main grid, drawn by both panes.
class ResponseViewTest : public ::testing::Test {
protected:
    void SetUp() override {
        CreateMainGrid(grid);
        ASSERT_TRUE(design.New(2, kDesignSampleRate));
        design.Recalculate(&grid, kMainPirLength);
        source.currentBand = 0;
    }

    void ShowOnly(std::initializer_list<ShowFlag> flags) {
        source.showFlags.Fill(false);
        for (const ShowFlag flag : flags) {
            source.showFlags[flag] = true;
        }
    }

    // The image row a level falls on in a pane's last frequency view.
    int LevelRow(const CCurveBase& curve, double dB, double pixelRatio = 1.0) const {
        const VFreqGraph& graph = curve.Graph();
        const LinearValueAxis scale = ValueAxisScale(graph.Setup().axes.at(0), graph.PlotRect());
        return static_cast<int>(scale.Y(dB, pixelRatio) * pixelRatio);
    }

    // The middle half of the plot's columns, in image pixels.
    static std::vector<int> MiddleColumns(const PixelRect& plot, int ratio) {
        std::vector<int> columns;
        for (int x = plot.left + plot.Width() / 4; x < plot.right - plot.Width() / 4; x += 17) {
            columns.push_back(x * ratio);
        }
        return columns;
    }

    static bool HasColour(const QImage& image, const QColor& colour) {
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                if (image.pixelColor(x, y) == colour) {
                    return true;
                }
            }
        }
        return false;
    }

    VFreqVec grid;
    CConfiguration design;
    ResponseViewSource source{design, grid};
    const QSize size{800, 300};
};

TEST_F(ResponseViewTest, FlatBandLiesOnTheRowOfZeroDecibelsOrOfTheTargetLevel) {
    ShowOnly({ShowFlag::Filter});
    CEditCurve curve(source);
    for (const double targetLevel : {0.0, 90.0}) {
        ASSERT_TRUE(design.SetTargetLevel(targetLevel));
        const QImage image = RenderResponseView(curve, ResponseView::Frequency, size);
        EXPECT_EQ(curve.Graph().Setup().axes.at(0).top, targetLevel + 5.0);
        const int row = LevelRow(curve, targetLevel);
        for (const int x : MiddleColumns(curve.Graph().PlotRect(), 1)) {
            EXPECT_EQ(image.pixelColor(x, row), kFilterColour) << x << " at " << targetLevel;
            EXPECT_NE(image.pixelColor(x, row - 1), kFilterColour) << x;
            EXPECT_NE(image.pixelColor(x, row + 1), kFilterColour) << x;
        }
    }
}

TEST_F(ResponseViewTest, HighDensityScreensGetTheSameRowInTwiceThePixels) {
    ShowOnly({ShowFlag::Filter});
    CEditCurve curve(source);
    const QImage image = RenderResponseView(curve, ResponseView::Frequency, size, 2.0);
    ASSERT_EQ(image.size(), size * 2);
    const int row = LevelRow(curve, 0.0, 2.0);
    for (const int x : MiddleColumns(curve.Graph().PlotRect(), 2)) {
        EXPECT_EQ(image.pixelColor(x, row), kFilterColour) << x;
        EXPECT_EQ(image.pixelColor(x, row + 1), kFilterColour) << x;
        EXPECT_NE(image.pixelColor(x, row - 1), kFilterColour) << x;
        EXPECT_NE(image.pixelColor(x, row + 2), kFilterColour) << x;
    }
}

TEST_F(ResponseViewTest, CurvesAreDrawnInOrderWithTheTotalOnTopAndTheBandNamed) {
    ShowOnly({ShowFlag::Filter, ShowFlag::Target, ShowFlag::Total});
    CEditCurve curve(source);
    const QImage image = RenderResponseView(curve, ResponseView::Frequency, size);
    const int row = LevelRow(curve, 0.0);
    for (const int x : MiddleColumns(curve.Graph().PlotRect(), 1)) {
        EXPECT_EQ(image.pixelColor(x, row), kTotalBlue) << x;
        EXPECT_EQ(image.pixelColor(x, row - 1), kTotalBlue) << x;
    }
    // "Output 1 (HF)" in red in the plot's bottom right corner.
    const PixelRect& plot = curve.Graph().PlotRect();
    const QImage corner = image.copy(plot.right - 120, plot.bottom - 30, 120, 30);
    EXPECT_TRUE(HasColour(corner, kTitleRed));
}

TEST_F(ResponseViewTest, WithoutBandOrCurveOnlyTheGraphIsDrawn) {
    CEditCurve curve(source);
    for (const int band : {-1, 2, 3}) {
        source.currentBand = band;
        const QImage image = RenderResponseView(curve, ResponseView::Frequency, size);
        EXPECT_FALSE(HasColour(image, kTitleRed)) << band;
        EXPECT_EQ(curve.Graph().Setup().axes.size(), 1u);
        EXPECT_EQ(curve.Graph().Setup().axes[0].top, 10.0);
    }
    // A band without a driver's curve has a flat SPL response: it is no
    // measurement, and neither drawn nor named.
    source.currentBand = 0;
    ShowOnly({ShowFlag::ImportedSpl});
    const QImage unmeasured = RenderResponseView(curve, ResponseView::Frequency, size);
    EXPECT_FALSE(HasColour(unmeasured, LookOf(CurveKind::ImportedSpl).colour));
    EXPECT_FALSE(HasColour(unmeasured, kTitleRed));
    // A response not computed yet counts as not shown.
    design.bands[0].splResponse.SetSize(0);
    ShowOnly({ShowFlag::ImportedSpl, ShowFlag::Phase});
    const QImage noSpl = RenderResponseView(curve, ResponseView::Frequency, size);
    EXPECT_FALSE(HasColour(noSpl, kTitleRed));
    EXPECT_EQ(curve.Graph().Setup().axes.size(), 1u);
}

TEST_F(ResponseViewTest, PhaseAndGroupDelayTakeTheRightHandAxes) {
    ShowOnly({ShowFlag::Total, ShowFlag::Phase, ShowFlag::GroupDelay, ShowFlag::UnwrappedPhase});
    CEditCurve curve(source);
    RenderResponseView(curve, ResponseView::Frequency, size);
    const std::vector<CurveAxisDescriptor>& axes = curve.Graph().Setup().axes;
    ASSERT_EQ(axes.size(), 3u);
    EXPECT_EQ(axes[1].unit, "deg");
    EXPECT_EQ(axes[2].unit, "ms");
}

TEST_F(ResponseViewTest, TotalPaneDrawsTheSumsAndWithIndividualCurvesEachBand) {
    CTotalCurve curve(source);
    source.showFlags = DefaultShowFlags();
    const QImage before = RenderResponseView(curve, ResponseView::Frequency, size);
    // Two flat bands sum to +6 dB.
    EXPECT_EQ(curve.Graph().Setup().axes.at(0).top, 10.0);
    const int row = LevelRow(curve, 20.0 * std::log10(2.0));
    const int x = MiddleColumns(curve.Graph().PlotRect(), 1).front();
    EXPECT_EQ(before.pixelColor(x, row), kTotalBlue);
    EXPECT_NE(before.pixelColor(x, LevelRow(curve, 0.0)), BandLook(1, "").colour);

    // Each band's own total lies at 0 dB, thin, in its band's colour; the
    // second band's is drawn over the first's.
    source.showFlags[ShowFlag::Individual] = true;
    const QImage individual = RenderResponseView(curve, ResponseView::Frequency, size);
    EXPECT_EQ(individual.pixelColor(x, LevelRow(curve, 0.0)), BandLook(1, "").colour);
    EXPECT_NE(individual.pixelColor(x, LevelRow(curve, 0.0) - 1), BandLook(1, "").colour);
    EXPECT_EQ(individual.pixelColor(x, row), kTotalBlue) << "the sum stays on top";
    EXPECT_NE(BandLook(0, "").colour, BandLook(1, "").colour);
    EXPECT_NE(BandLook(1, "").colour, BandLook(2, "").colour);
}

TEST_F(ResponseViewTest, TimeViewScalesToThePeakAndFallsBackForSilence) {
    ShowOnly({ShowFlag::Total});
    CEditCurve curve(source);
    RenderResponseView(curve, ResponseView::Time, size);
    double peak = 0.0;
    for (const double sample : design.bands[0].totalImpulse) {
        peak = std::max(peak, std::abs(sample));
    }
    // A tenth above the peak, in whole round steps (1, 2 or 5 times a power
    // of ten), at most five each way.
    const TimeGraphSetup& impulse = curve.ImpulseGraph().Setup();
    EXPECT_GE(impulse.yMax, 1.1 * peak);
    EXPECT_LT(impulse.yMax, 1.1 * peak + impulse.yStep);
    EXPECT_EQ(impulse.yMin, -impulse.yMax);
    const double mantissa = impulse.yStep / std::pow(10.0, std::floor(std::log10(impulse.yStep)));
    EXPECT_TRUE(std::abs(mantissa - 1.0) < 1e-9 || std::abs(mantissa - 2.0) < 1e-9 ||
                std::abs(mantissa - 5.0) < 1e-9)
        << impulse.yStep;
    const double steps = impulse.yMax / impulse.yStep;
    EXPECT_NEAR(steps, std::round(steps), 1e-9);
    EXPECT_LE(std::round(steps), 5.0);
    EXPECT_EQ(impulse.tMax, kMainPirLength);
    EXPECT_EQ(impulse.unit, "Pa");
    EXPECT_LT(curve.ImpulseGraph().PlotRect().bottom, curve.StepGraph().PlotRect().top);

    // A muted band's responses round to nothing; the axes must still have a
    // range to label.
    ASSERT_TRUE(design.bands[0].SetMuted(true));
    design.Recalculate(&grid, kMainPirLength);
    const QImage silent = RenderResponseView(curve, ResponseView::Time, size);
    EXPECT_FALSE(silent.isNull());
    EXPECT_EQ(curve.ImpulseGraph().Setup().yMax, 1.0);
    EXPECT_EQ(curve.StepGraph().Setup().yMin, -1.0);
}

TEST_F(ResponseViewTest, PngOnDiskReadsBackAtItsSize) {
    CTotalCurve curve(source);
    test::TempDir dir;
    const auto path = dir / "total.png";
    ASSERT_EQ(WritePngFile(RenderResponseView(curve, ResponseView::Time, size), path), "");
    QImageReader reader(QString::fromStdString(path.string()));
    EXPECT_EQ(reader.format(), "png");
    EXPECT_EQ(reader.size(), size);
    EXPECT_NE(WritePngFile(QImage(), dir / "empty.png"), "");
    EXPECT_NE(WritePngFile(RenderResponseView(curve, ResponseView::Time, size),
                           dir / "missing" / "total.png"),
              "");
}

} // namespace
} // namespace kv

namespace kv {
namespace {

TEST_F(ResponseViewTest, TheReadoutNamesTheFrequencyAndEachShownCurveUnderThePointer) {
    ShowOnly({ShowFlag::Filter, ShowFlag::Total, ShowFlag::Phase});
    ASSERT_TRUE(design.bands[0].SetGain(-6.0));
    ASSERT_TRUE(design.SetTargetLevel(90.0));
    design.Recalculate(&grid, kMainPirLength);
    CEditCurve curve(source);
    RenderResponseView(curve, ResponseView::Frequency, size);
    const PixelRect& plot = curve.Graph().PlotRect();
    const LogFrequencyAxis axis(10.0, 40000.0, plot.left, plot.Width());
    const std::vector<ReadoutLine> lines = curve.FrequencyReadout(axis.PixelX(1000.0));
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0].text, "1.00 kHz");
    EXPECT_EQ(lines[1].text, "Filter: 84.0 dB, 0\u00B0")
        << "the filter is drawn at the target level";
    EXPECT_EQ(lines[2].text, "Total: -6.0 dB, 0\u00B0");
    EXPECT_EQ(lines[2].colour, kTotalBlue);
    EXPECT_TRUE(curve.FrequencyReadout(plot.left - 1).empty());
}

TEST_F(ResponseViewTest, TheTimeReadoutTellsWhichGraphThePointerIsIn) {
    ShowOnly({ShowFlag::Total});
    CEditCurve curve(source);
    RenderResponseView(curve, ResponseView::Time, size);
    const PixelRect& pir = curve.ImpulseGraph().PlotRect();
    const PixelRect& step = curve.StepGraph().PlotRect();
    const std::vector<ReadoutLine> top = curve.TimeReadout(pir.left, pir.top + 5);
    ASSERT_EQ(top.size(), 2u);
    EXPECT_EQ(top[0].text, "PIR, t = 0.000 ms");
    EXPECT_EQ(top[1].text.rfind("Total: ", 0), 0u);
    EXPECT_EQ(curve.TimeReadout(step.left, step.bottom - 2).at(0).text.rfind("Step Response", 0),
              0u);
    EXPECT_TRUE(curve.TimeReadout(pir.left - 2, pir.top + 5).empty());
}

} // namespace
} // namespace kv
