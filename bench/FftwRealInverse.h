#pragma once

#include <cstddef>
#include <fftw3.h>

namespace kv::bench {

// FFTW's transform from bins 0 … n/2 of a real signal's spectrum to its n
// samples, planned once: what the benchmarks measure ours against.
class FftwRealInverse {
public:
    FftwRealInverse(int n, unsigned flags)
        : spectrum_(fftw_alloc_complex(static_cast<std::size_t>(n / 2 + 1))),
          signal_(fftw_alloc_real(static_cast<std::size_t>(n))),
          plan_(fftw_plan_dft_c2r_1d(n, spectrum_, signal_, flags)) {}
    FftwRealInverse(const FftwRealInverse&) = delete;
    FftwRealInverse& operator=(const FftwRealInverse&) = delete;
    ~FftwRealInverse() {
        fftw_destroy_plan(plan_);
        fftw_free(signal_);
        fftw_free(spectrum_);
    }

    fftw_complex* Spectrum() const { return spectrum_; }
    double* Signal() const { return signal_; }
    void Execute() const { fftw_execute(plan_); }

private:
    fftw_complex* spectrum_;
    double* signal_;
    fftw_plan plan_;
};

} // namespace kv::bench
