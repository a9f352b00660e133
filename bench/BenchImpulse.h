#pragma once

#include <cmath>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
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

inline void AppendLittleEndian(std::vector<char>& bytes, std::uint32_t value, int count) {
    for (int i = 0; i < count; ++i) {
        bytes.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
    }
}

// The room impulse response as a mono 32-bit float WAV file, as
// measurement programs export one: 2 seconds at 48 kHz.
inline void WriteRoomImpulseWave(const std::filesystem::path& path) {
    const std::vector<float> samples = RoomImpulse();
    const auto dataBytes = static_cast<std::uint32_t>(samples.size() * 4);
    std::vector<char> bytes = {'R', 'I', 'F', 'F'};
    AppendLittleEndian(bytes, 36 + dataBytes, 4);
    for (const char c : std::string("WAVEfmt ")) {
        bytes.push_back(c);
    }
    for (const auto& [value, count] : std::vector<std::pair<std::uint32_t, int>>{
             {16, 4}, {3, 2}, {1, 2}, {kImpulseRate, 4}, {kImpulseRate * 4, 4}, {4, 2}, {32, 2}}) {
        AppendLittleEndian(bytes, value, count);
    }
    for (const char c : std::string("data")) {
        bytes.push_back(c);
    }
    AppendLittleEndian(bytes, dataBytes, 4);
    const std::size_t header = bytes.size();
    bytes.resize(header + dataBytes);
    std::memcpy(bytes.data() + header, samples.data(), dataBytes);
    std::ofstream(path, std::ios::binary).write(bytes.data(), std::ssize(bytes));
}

} // namespace kv::bench
