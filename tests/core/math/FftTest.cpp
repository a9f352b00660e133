#include "math/VFft.h"

#include <cmath>
#include <gtest/gtest.h>
#include <numbers>
#include <random>

namespace kv {
namespace {

constexpr double pi = std::numbers::pi;

double MaxDifference(const VComplexVec& a, const VComplexVec& b) {
    double worst = 0.0;
    for (int i = 0; i < a.GetSize(); ++i) {
        worst = std::max(worst, std::abs(a[i] - b[i]));
    }
    return worst;
}

// The definition, summed directly in long double.
VComplexVec DirectTransform(const VComplexVec& x) {
    const int n = x.GetSize();
    VComplexVec out(n);
    for (int k = 0; k < n; ++k) {
        std::complex<long double> sum;
        for (int t = 0; t < n; ++t) {
            const long double angle =
                -2.0L * std::numbers::pi_v<long double> *
                static_cast<long double>((static_cast<long long>(k) * t) % n) / n;
            sum += std::complex<long double>(x[t].real(), x[t].imag()) *
                   std::complex<long double>(std::cos(angle), std::sin(angle));
        }
        out[k] = Complex(static_cast<double>(sum.real()), static_cast<double>(sum.imag()));
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

TEST(Fft, MatchesTheDefinitionForEveryStageLayout) {
    VFft fft;
    for (int n : {4, 8, 16, 32, 64, 128, 256, 512}) {
        const VComplexVec x = Noise(n, static_cast<unsigned>(n));
        VComplexVec y = x;
        fft.Transform(y, false);
        EXPECT_LT(MaxDifference(y, DirectTransform(x)), 1e-12 * n) << n;
    }
}

TEST(Fft, RoundTripsReturnTheInput) {
    VFft fft;
    for (int n = 4; n <= 65536; n *= 2) {
        const VComplexVec x = Noise(n, 99);
        VComplexVec y = x;
        fft.Transform(y, false);
        fft.InverseTransform(y);
        // The twiddle recurrence adds an error that grows with the size.
        EXPECT_LT(MaxDifference(y, x), 1e-14 + 1e-16 * n) << n;
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
