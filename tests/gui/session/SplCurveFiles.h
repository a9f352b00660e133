#pragma once

#include "core/import/ImportFiles.h"
#include "model/CConfiguration.h"
#include "support/TestSupport.h"

#include <cmath>
#include <fstream>
#include <gtest/gtest.h>

namespace kv::test {

// A 2-way design and the measurement files of its drivers: a woofer's and a
// tweeter's response and the woofer's impedance.
class SplCurveFiles : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(design.New(2, kDesignSampleRate));
        std::ofstream(dir / "woofer.frd") << "20 80 0\n200 90 -10\n2000 85 -40\n20000 60 -90\n";
        std::ofstream(dir / "tweeter.frd") << "500 70 0\n5000 92 -20\n20000 90 -45\n";
        std::ofstream(dir / "woofer.zma") << "20 6.5 10\n200 12 -30\n2000 9 20\n";
    }

    CBand& band() { return design.bands[1]; }

    TempDir dir;
    CConfiguration design;
    RecordingMessageBox messages;
};

// A measured impulse response as a 48 kHz float WAV: a decaying direct
// sound and, 4 ms after it, a reflection from the floor.
inline void WriteImpulseResponse(const std::filesystem::path& path) {
    ByteWriter data;
    for (int t = 0; t < 4800; ++t) {
        const double direct = t >= 100 ? std::exp(-(t - 100) / 6.0) : 0.0;
        const double reflection = t == 100 + 192 ? 0.5 : 0.0;
        Float32(data, static_cast<float>(direct + reflection));
    }
    WriteBytes(path, MakeWave({.formatTag = 3, .blockAlign = 4, .bits = 32, .data = data.Bytes()}));
}

} // namespace kv::test
