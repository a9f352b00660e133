#include "graphs/CEditCurve.h"
#include "graphs/CTotalCurve.h"
#include "model/CConfiguration.h"
#include "model/MainGrid.h"
#include "model/SplCurve.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <benchmark/benchmark.h>
#include <cmath>

namespace {

// A 3-way design whose bands each have crossovers, a few equalisers and a
// measured-looking SPL curve, so that every curve of a view has shape.
void BuildDesign(kv::CConfiguration& design) {
    design.New(3, kv::kDesignSampleRate);
    const double crossovers[] = {3000.0, 400.0};
    for (int b = 0; b < 3; ++b) {
        kv::CBand& band = design.bands[b];
        kv::CrossoverSettings slot;
        slot.order = 4;
        if (b < 2) {
            slot.freq = crossovers[b];
            band.SetHighPass(0, slot);
            band.EnableHighPass(0, true);
        }
        if (b > 0) {
            slot.freq = crossovers[b - 1];
            band.SetLowPass(0, slot);
            band.EnableLowPass(0, true);
        }
        for (int k = 0; k < 4; ++k) {
            band.SetPeq(k, 4.0 - 2.0 * k, 150.0 * (k + 1) * (b + 1), 3.0, true);
        }
        constexpr int kPoints = 400;
        band.splFreqs.SetSize(kPoints);
        band.splRaw.SetSize(kPoints);
        for (int i = 0; i < kPoints; ++i) {
            band.splFreqs[i] = 15.0 * std::pow(1500.0, i / (kPoints - 1.0));
            band.splRaw[i] = kv::FromPolar(30.0 * (1.0 + 0.2 * std::cos(i * 0.21)), -0.02 * i);
        }
        band.SetSmoothing(6);
    }
}

struct ViewFixture {
    ViewFixture() {
        kv::CreateMainGrid(grid);
        BuildDesign(design);
        design.Recalculate(&grid, kv::kMainPirLength);
        source.showFlags.Fill(true);
        source.currentBand = 1;
    }

    kv::VFreqVec grid;
    kv::CConfiguration design;
    kv::ResponseViewSource source{design, grid};
    QImage image{1600, 500, QImage::Format_ARGB32_Premultiplied};
};

template <typename Curve> void DrawView(benchmark::State& state, bool timeView) {
    ViewFixture fixture;
    Curve curve(fixture.source);
    const QRect rect(0, 0, fixture.image.width(), fixture.image.height());
    for (auto _ : state) {
        QPainter painter(&fixture.image);
        if (timeView) {
            curve.DrawTimeView(painter, rect);
        } else {
            curve.DrawFrequencyView(painter, rect);
        }
    }
}

// The band pane with imported SPL, filter, target and total, each with its
// phase and group delay: the heaviest frequency view.
void BM_BandFrequencyView(benchmark::State& state) {
    DrawView<kv::CEditCurve>(state, false);
}

void BM_BandTimeView(benchmark::State& state) {
    DrawView<kv::CEditCurve>(state, true);
}

void BM_TotalFrequencyView(benchmark::State& state) {
    DrawView<kv::CTotalCurve>(state, false);
}

void BM_TotalTimeView(benchmark::State& state) {
    DrawView<kv::CTotalCurve>(state, true);
}

} // namespace

BENCHMARK(BM_BandFrequencyView)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(10)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_BandTimeView)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(10)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_TotalFrequencyView)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(10)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_TotalTimeView)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(10)
    ->ReportAggregatesOnly(true);

// Painting needs a QGuiApplication; the benchmark makes one without a
// display.
int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
