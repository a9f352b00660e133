#include "math/VFft.h"
#include "support/Lanes.h"

#include <cmath>
#include <gtest/gtest.h>
#include <numbers>
#include <random>
#include <vector>

namespace kv {
namespace {

using test::LanesName;
using test::SupportedLanes;

constexpr double pi = std::numbers::pi;

double MaxDifference(const VComplexVec& a, const VComplexVec& b) {
    double worst = 0.0;
    for (int i = 0; i < a.GetSize(); ++i) {
        worst = std::max(worst, std::abs(a[i] - b[i]));
    }
    return worst;
}

// Bin k of the definition, summed directly in long double from a table of
// the n roots of unity.
Complex DirectBin(const VComplexVec& x, int k,
                  const std::vector<std::complex<long double>>& roots) {
    const int n = x.GetSize();
    std::complex<long double> sum;
    for (int t = 0; t < n; ++t) {
        const auto turn = static_cast<std::size_t>((static_cast<long long>(k) * t) % n);
        sum += std::complex<long double>(x[t].real(), x[t].imag()) * roots[turn];
    }
    return {static_cast<double>(sum.real()), static_cast<double>(sum.imag())};
}

std::vector<std::complex<long double>> RootsOfUnity(int n) {
    std::vector<std::complex<long double>> roots;
    for (int t = 0; t < n; ++t) {
        const long double angle = -2.0L * std::numbers::pi_v<long double> * t / n;
        roots.emplace_back(std::cos(angle), std::sin(angle));
    }
    return roots;
}

VComplexVec DirectTransform(const VComplexVec& x) {
    const auto roots = RootsOfUnity(x.GetSize());
    VComplexVec out(x.GetSize());
    for (int k = 0; k < x.GetSize(); ++k) {
        out[k] = DirectBin(x, k, roots);
    }
    return out;
}

VComplexVec Noise(int n, unsigned seed) {
    std::mt19937 random(seed);
    std::uniform_real_distribution<double> value(-1.0, 1.0);
    VComplexVec x(n);
    for (Complex& c : x) {
        c = {value(random), value(random)};
    }
    return x;
}

// A spectrum of a real signal of n points: bins 0 … n/2, with bins 0 and n/2
// real.
VComplexVec RealSignalSpectrum(int n, unsigned seed) {
    VComplexVec half = Noise(n / 2 + 1, seed);
    half[0] = half[0].real();
    half[n / 2] = half[n / 2].real();
    return half;
}

// The real parts of the complex inverse transform of the whole spectrum.
std::vector<double> InverseOfWholeSpectrum(const VComplexVec& half) {
    const int n = 2 * (half.GetSize() - 1);
    VComplexVec whole(n);
    for (int k = 0; k <= n / 2; ++k) {
        whole[k] = half[k];
        whole[(n - k) % n] = std::conj(half[k]);
    }
    whole[n / 2] = half[n / 2];
    VFft().InverseTransform(whole);
    std::vector<double> signal;
    for (const Complex& c : whole) {
        signal.push_back(c.real());
    }
    return signal;
}

TEST(Fft, MatchesTheDefinitionForEveryStageLayout) {
    for (const VectorLanes lanes : SupportedLanes()) {
        VFft fft(lanes);
        for (int n : {4, 8, 16, 32, 64, 128, 256, 512, 2048, 4096}) {
            const VComplexVec x = Noise(n, static_cast<unsigned>(n));
            VComplexVec y = x;
            fft.Transform(y, false);
            EXPECT_LT(MaxDifference(y, DirectTransform(x)), 1e-14 * n) << n << LanesName(lanes);
        }
    }
}

// Sizes whose small stages run block by block, checked at some of their
// bins.
TEST(Fft, MatchesTheDefinitionWhereItWorksInBlocks) {
    for (const VectorLanes lanes : SupportedLanes()) {
        VFft fft(lanes);
        for (int n : {8192, 65536}) {
            const VComplexVec x = Noise(n, 7);
            VComplexVec y = x;
            fft.Transform(y, false);
            const auto roots = RootsOfUnity(n);
            for (int k : {0, 1, 2, 3, 1000, n / 4 - 1, n / 2, n / 2 + 1, n - 1}) {
                EXPECT_LT(std::abs(y[k] - DirectBin(x, k, roots)), 1e-14 * n)
                    << n << " bin " << k << LanesName(lanes);
            }
        }
    }
}

TEST(Fft, RoundTripsReturnTheInput) {
    for (const VectorLanes lanes : SupportedLanes()) {
        VFft fft(lanes);
        for (int n = 4; n <= 65536; n *= 2) {
            const VComplexVec x = Noise(n, 99);
            VComplexVec y = x;
            fft.Transform(y, false);
            fft.InverseTransform(y);
            EXPECT_LT(MaxDifference(y, x), 1e-15 * (1 + std::log2(n))) << n << LanesName(lanes);
        }
    }
}

TEST(Fft, FourLanesGiveTheBitsOfTwo) {
    if (!LanesSupported(VectorLanes::Four)) {
        GTEST_SKIP() << "this processor has no AVX2";
    }
    VFft two(VectorLanes::Two);
    VFft four(VectorLanes::Four);
    for (int n = 16; n <= 65536; n *= 2) {
        VComplexVec a = Noise(n, 3);
        VComplexVec b = a;
        two.Transform(a, n % 3 == 0);
        four.Transform(b, n % 3 == 0);
        EXPECT_TRUE(std::equal(a.begin(), a.end(), b.begin())) << n;
        const VComplexVec spectrum = RealSignalSpectrum(n, 4);
        VDoubleVec x;
        VDoubleVec y;
        ASSERT_TRUE(two.InverseRealTransform(spectrum, x, 0));
        ASSERT_TRUE(four.InverseRealTransform(spectrum, y, 0));
        EXPECT_TRUE(std::equal(x.begin(), x.end(), y.begin())) << n;
    }
}

TEST(FftRealInverse, GivesTheComplexInverseOfTheWholeSpectrum) {
    for (const VectorLanes lanes : SupportedLanes()) {
        VFft fft(lanes);
        for (int n = 8; n <= 65536; n *= 2) {
            const VComplexVec spectrum = RealSignalSpectrum(n, static_cast<unsigned>(n) + 1);
            const std::vector<double> expected = InverseOfWholeSpectrum(spectrum);
            VDoubleVec signal;
            ASSERT_TRUE(fft.InverseRealTransform(spectrum, signal, 0));
            ASSERT_EQ(signal.GetSize(), n);
            double peak = 0.0;
            double worst = 0.0;
            for (int t = 0; t < n; ++t) {
                peak = std::max(peak, std::abs(expected[static_cast<std::size_t>(t)]));
                worst =
                    std::max(worst, std::abs(signal[t] - expected[static_cast<std::size_t>(t)]));
            }
            EXPECT_LT(worst, 1e-12 * peak) << n << LanesName(lanes);
        }
    }
}

TEST(FftRealInverse, GivesTheFirstSamplesAskedFor) {
    VFft fft;
    const VComplexVec spectrum = RealSignalSpectrum(64, 8);
    const std::vector<double> expected = InverseOfWholeSpectrum(spectrum);
    for (int count : {1, 7, 30, 64}) {
        VDoubleVec signal;
        ASSERT_TRUE(fft.InverseRealTransform(spectrum, signal, count));
        ASSERT_EQ(signal.GetSize(), count);
        for (int t = 0; t < count; ++t) {
            EXPECT_NEAR(signal[t], expected[static_cast<std::size_t>(t)], 1e-14) << count;
        }
    }
    VDoubleVec signal;
    ASSERT_TRUE(fft.InverseRealTransform(spectrum, signal, 65));
    EXPECT_EQ(signal.GetSize(), 64);
}

TEST(FftRealInverse, RefusesSpectraOfOtherSizes) {
    VFft fft;
    VDoubleVec signal(3);
    for (int bins : {0, 1, 2, 4, 6, 12}) {
        EXPECT_FALSE(fft.InverseRealTransform(VComplexVec(bins), signal, 0)) << bins;
        EXPECT_TRUE(signal.Empty());
    }
}

TEST(Fft, ImpulseConstantAndToneLandWhereTheyBelong) {
    VFft fft;
    VComplexVec impulse(1024);
    impulse[0] = 1.0;
    fft.Transform(impulse, false);
    for (const Complex& c : impulse) {
        ASSERT_EQ(c, Complex(1.0, 0.0));
    }
    fft.InverseTransform(impulse);
    EXPECT_NEAR(std::abs(impulse[0] - 1.0), 0.0, 1e-15);
    EXPECT_NEAR(std::abs(impulse[1]), 0.0, 1e-15);

    VComplexVec constant(8);
    constant.FillReal(1.0);
    fft.Transform(constant, false);
    EXPECT_EQ(constant[0], Complex(8.0, 0.0));
    for (int k = 1; k < 8; ++k) {
        EXPECT_NEAR(std::abs(constant[k]), 0.0, 1e-15);
    }

    VComplexVec tone(8);
    for (int t = 0; t < 8; ++t) {
        tone[t] = FromPolar(1.0, 2.0 * pi * t / 8.0);
    }
    fft.Transform(tone, false);
    EXPECT_NEAR(std::abs(tone[1] - 8.0), 0.0, 1e-14);
    EXPECT_NEAR(std::abs(tone[7]), 0.0, 1e-14);
}

TEST(Fft, OneObjectServesTransformsOfChangingSizes) {
    VFft fft;
    for (int n : {1024, 16, 1024, 8}) {
        const VComplexVec x = Noise(n, 5);
        VComplexVec y = x;
        fft.Transform(y, false);
        EXPECT_LT(MaxDifference(y, DirectTransform(x)), 1e-11 * n) << n;
    }
}

TEST(FftWindows, HanningFullAndHalf) {
    VFft fft;
    const double full[] = {0, 0.2929, 1, 1.7071, 2, 1.7071, 1, 0.2929};
    const double half[] = {1, 0.9619, 0.8536, 0.6913, 0.5, 0.3087, 0.1464, 0.0381};
    VDoubleVec data(8);
    data.Fill(1.0);
    fft.ApplyWindow(data, 8, WindowType::Hanning, false, 0);
    for (int i = 0; i < 8; ++i) {
        EXPECT_NEAR(data[i], full[i], 1e-4) << i;
    }
    VComplexVec complexData(8);
    complexData.Fill(Complex(1.0, 1.0));
    fft.ApplyWindow(complexData, 8, WindowType::Hanning, true, 0);
    for (int i = 0; i < 8; ++i) {
        EXPECT_NEAR(complexData[i].real(), half[i], 1e-4) << i;
        EXPECT_NEAR(complexData[i].imag(), half[i], 1e-4) << i;
    }
}

TEST(FftWindows, OffsetsAndLengthsZeroWhatLiesOutside) {
    VFft fft;
    VDoubleVec data(10);
    data.Fill(std::nan(""));
    fft.ApplyWindow(data, 4, WindowType::Rectangular, false, 2);
    EXPECT_EQ(data[0], 0.0);
    EXPECT_EQ(data[1], 0.0);
    EXPECT_EQ(data[9], 0.0);
    data.Fill(1.0);
    fft.ApplyWindow(data, 0, WindowType::Blackman, false, 0);
    EXPECT_NEAR(data[5], (0.42 + 0.5 + 0.08) * 2.3713737, 1e-12);
}

TEST(FftWindows, NamesAndGainFactors) {
    VFft fft;
    EXPECT_STREQ(fft.GetWindowName(static_cast<WindowType>(9)), "Hanning (Cos)");
    EXPECT_STREQ(fft.GetWindowName(WindowType::CosineBell), "Ext. Cosine Bell");
    EXPECT_STREQ(fft.GetWindowName(WindowType::Rectangular), "Rectangular");
    EXPECT_DOUBLE_EQ(VFftTools::WindowGainFactor(WindowType::Hanning, 101), 101.0 / 50.0);
    EXPECT_DOUBLE_EQ(VFftTools::WindowGainFactor(WindowType::Rectangular, 64), 1.0);
    // A triangle of n points sums to about n/2.
    EXPECT_DOUBLE_EQ(VFftTools::WindowGainFactor(WindowType::Bartlett, 1000), 2.0);
}

TEST(FftWindows, NormalisingDividesByTheLevelAroundTheFrequency) {
    VFft fft;
    VComplexVec spectrum(1024);
    spectrum.FillReal(4.0);
    fft.NormalizeAt(spectrum, 48000.0, 1000.0);
    EXPECT_DOUBLE_EQ(spectrum[10].real(), 1.0);
    VComplexVec silent(1024);
    fft.NormalizeAt(silent, 48000.0, 1000.0);
    EXPECT_EQ(silent[3], Complex(0.0, 0.0));
}

} // namespace
} // namespace kv
