#pragma once

#include "BenchWave.h"

#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <vector>

namespace kv::bench {

inline constexpr int kImpulseRate = 48000;
inline constexpr int kImpulseSamples = 2 * kImpulseRate;

// A room measurement's shape: 3 ms of flight, a ringing direct sound,
// reflections, and a decaying noise tail over the whole 2 s.
inline std::vector<float> RoomImpulse() {
    std::vector<float> samples(kImpulseSamples, 0.0f);
    std::uint32_t noise = 12345;
    for (int t = 0; t < kImpulseSamples; ++t) {
        noise = noise * 1664525u + 1013904223u;
        const double tail = (static_cast<double>(noise) / 4294967296.0 - 0.5) * 0.02 *
                            std::exp(-t / (0.25 * kImpulseRate));
        samples[static_cast<std::size_t>(t)] = static_cast<float>(tail);
    }
    const int arrival = 144;
    for (int t = arrival; t < kImpulseSamples; ++t) {
        const double u = (t - arrival) / static_cast<double>(kImpulseRate);
        samples[static_cast<std::size_t>(t)] +=
            static_cast<float>(std::exp(-3000.0 * u) * std::cos(2.0 * 3.14159265 * 800.0 * u));
    }
    for (const int reflection : {900, 1500, 2600}) {
        samples[static_cast<std::size_t>(reflection)] += 0.3f;
    }
    return samples;
}

// The room impulse response as a mono 32-bit float WAV file, as
// measurement programs export one: 2 seconds at 48 kHz.
inline void WriteRoomImpulseWave(const std::filesystem::path& path) {
    const std::vector<float> samples = RoomImpulse();
    const auto dataBytes = static_cast<std::uint32_t>(samples.size() * sizeof(float));
    std::ofstream out(path, std::ios::binary);
    WriteWaveHeader(out, {3, 1, kImpulseRate, 32}, dataBytes);
    out.write(reinterpret_cast<const char*>(samples.data()), dataBytes);
}

} // namespace kv::bench
