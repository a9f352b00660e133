#pragma once

#include "import/CImportEngine.h"
#include "support/TestSupport.h"

#include <bit>
#include <cstdint>
#include <fstream>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace kv::test {

// Writes measurement files into a fresh folder and imports them.
class ImportFiles : public ::testing::Test {
protected:
    std::filesystem::path WriteText(const std::string& name, const std::string& content) {
        const std::filesystem::path path = dir / name;
        std::ofstream(path, std::ios::binary) << content;
        return path;
    }

    bool ImportText(const std::string& name, const std::string& content) {
        return engine.Import(messages, WriteText(name, content));
    }

    bool ImportBytes(const std::string& name, const std::vector<std::uint8_t>& bytes) {
        WriteBytes(dir / name, bytes);
        return engine.Import(messages, dir / name);
    }

    std::vector<double> Values(const VDoubleVec& vector) const {
        return {vector.begin(), vector.end()};
    }

    TempDir dir;
    RecordingMessageBox messages;
    CImportEngine engine;
};

// Little-endian 32-bit floats and 16-bit integers, for binary layouts.
inline ByteWriter& Float32(ByteWriter& writer, float value) {
    return writer.Int32(std::bit_cast<std::int32_t>(value));
}

inline ByteWriter& Int16(ByteWriter& writer, int value) {
    return writer.Raw(
        {static_cast<std::uint8_t>(value & 0xFF), static_cast<std::uint8_t>((value >> 8) & 0xFF)});
}

// The fields of a WAV file's "fmt " chunk and its sample bytes.
struct WaveLayout {
    int formatTag = 1;
    int channels = 1;
    std::uint32_t sampleRate = 48000;
    int blockAlign = 2;
    int bits = 16;
    // 0 for a plain 16-byte format chunk, else the extensible sub-format.
    int subFormat = 0;
    std::vector<std::uint8_t> data{};
    // The length the data chunk claims; the true length when negative.
    long long claimedDataLength = -1;
};

inline std::vector<std::uint8_t> MakeWave(const WaveLayout& layout) {
    ByteWriter fmt;
    Int16(fmt, layout.formatTag);
    Int16(fmt, layout.channels);
    fmt.Int32(static_cast<std::int32_t>(layout.sampleRate));
    fmt.Int32(static_cast<std::int32_t>(layout.sampleRate * layout.blockAlign));
    Int16(fmt, layout.blockAlign);
    Int16(fmt, layout.bits);
    if (layout.subFormat != 0) {
        Int16(fmt, 22);
        Int16(fmt, layout.bits);
        fmt.Int32(0);
        Int16(fmt, layout.subFormat);
        fmt.Raw(
            {0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71});
    }
    const auto dataLength = layout.claimedDataLength >= 0
                                ? layout.claimedDataLength
                                : static_cast<long long>(layout.data.size());
    ByteWriter wave;
    wave.Raw({'R', 'I', 'F', 'F'}).Int32(0).Raw({'W', 'A', 'V', 'E'});
    wave.Raw({'L', 'I', 'S', 'T'}).Int32(4).Raw({'I', 'N', 'F', 'O'});
    wave.Raw({'f', 'm', 't', ' '}).Int32(static_cast<std::int32_t>(fmt.Bytes().size()));
    wave.Raw(fmt.Bytes());
    wave.Raw({'d', 'a', 't', 'a'}).Int32(static_cast<std::int32_t>(dataLength)).Raw(layout.data);
    return wave.Bytes();
}

} // namespace kv::test
