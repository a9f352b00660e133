#pragma once

#include <cstdint>
#include <ostream>

namespace kv::bench {

// What a WAV file's format chunk says: 1 for integer samples, 3 for float.
struct WaveFormat {
    std::uint16_t formatTag;
    std::uint16_t channels;
    std::uint32_t rate;
    std::uint16_t bitsPerSample;
};

inline void WriteLittleEndian(std::ostream& out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) {
        out.put(static_cast<char>((value >> (8 * i)) & 0xFF));
    }
}

// The 44 bytes before the samples of a WAV file whose data chunk holds
// dataBytes.
inline void WriteWaveHeader(std::ostream& out, const WaveFormat& format, std::uint32_t dataBytes) {
    const std::uint32_t blockAlign = format.channels * (format.bitsPerSample / 8u);
    out.write("RIFF", 4);
    WriteLittleEndian(out, 36 + dataBytes, 4);
    out.write("WAVEfmt ", 8);
    WriteLittleEndian(out, 16, 4);
    WriteLittleEndian(out, format.formatTag, 2);
    WriteLittleEndian(out, format.channels, 2);
    WriteLittleEndian(out, format.rate, 4);
    WriteLittleEndian(out, format.rate * blockAlign, 4);
    WriteLittleEndian(out, blockAlign, 2);
    WriteLittleEndian(out, format.bitsPerSample, 2);
    out.write("data", 4);
    WriteLittleEndian(out, dataBytes, 4);
}

} // namespace kv::bench
