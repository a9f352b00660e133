#include "RatioReporter.h"
#include "math/VFft.h"

#include <benchmark/benchmark.h>
#include <cmath>

#if defined(KV_HAVE_FFTW)
#include "FftwRealInverse.h"

#include <fftw3.h>
#endif

namespace {

void FillSignal(kv::VComplexVec& data) {
    for (int i = 0; i < data.GetSize(); ++i) {
        data[i] = kv::Complex(std::sin(0.1 * i), std::cos(0.37 * i));
    }
}

void BM_VFftInverse(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    kv::VComplexVec data(n);
    FillSignal(data);
    kv::VFft fft;
    for (auto _ : state) {
        fft.InverseTransform(data);
        benchmark::DoNotOptimize(data.Data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_VFftInverse)->Arg(1024)->Arg(4096)->Arg(65536);

// The time response of a real signal: bins 0 … n/2 in, n samples out.
void BM_VFftRealInverse(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    kv::VComplexVec spectrum(n / 2 + 1);
    FillSignal(spectrum);
    spectrum[0] = spectrum[0].real();
    spectrum[n / 2] = spectrum[n / 2].real();
    kv::VDoubleVec signal;
    kv::VFft fft;
    for (auto _ : state) {
        fft.InverseRealTransform(spectrum, signal, n);
        benchmark::DoNotOptimize(signal.Data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_VFftRealInverse)->Arg(4096);

#if defined(KV_HAVE_FFTW)
void BM_FftwInverse(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    fftw_complex* data = fftw_alloc_complex(static_cast<std::size_t>(n));
    fftw_plan plan = fftw_plan_dft_1d(n, data, data, FFTW_BACKWARD, FFTW_MEASURE);
    for (int i = 0; i < n; ++i) {
        data[i][0] = std::sin(0.1 * i);
        data[i][1] = std::cos(0.37 * i);
    }
    for (auto _ : state) {
        fftw_execute(plan);
        benchmark::DoNotOptimize(data);
        benchmark::ClobberMemory();
    }
    fftw_destroy_plan(plan);
    fftw_free(data);
}
BENCHMARK(BM_FftwInverse)->Arg(1024)->Arg(4096)->Arg(65536);

void BM_FftwRealInverse(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    // Like ours, the transform keeps its input.
    const kv::bench::FftwRealInverse fftw(n, FFTW_MEASURE | FFTW_PRESERVE_INPUT);
    fftw_complex* spectrum = fftw.Spectrum();
    for (int k = 0; k <= n / 2; ++k) {
        spectrum[k][0] = std::sin(0.1 * k);
        spectrum[k][1] = k == 0 || k == n / 2 ? 0.0 : std::cos(0.37 * k);
    }
    for (auto _ : state) {
        fftw.Execute();
        benchmark::DoNotOptimize(fftw.Signal());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_FftwRealInverse)->Arg(4096);
#endif

} // namespace

int main(int argc, char** argv) {
    return kv::RunWithRatios(argc, argv,
                             {{"BM_VFftInverse/1024", "BM_FftwInverse/1024"},
                              {"BM_VFftInverse/4096", "BM_FftwInverse/4096"},
                              {"BM_VFftInverse/65536", "BM_FftwInverse/65536"},
                              {"BM_VFftRealInverse/4096", "BM_FftwRealInverse/4096"}});
}
