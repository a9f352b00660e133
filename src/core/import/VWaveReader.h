#pragma once

#include "math/VDoubleVec.h"

#include <cstdint>

namespace kv {

class VInputFile;

// Reads a RIFF WAVE file as one mono time series: the header up to the
// sample data, then each frame as the mean of its channels in full-scale
// units. Every count in the header is checked against what the file holds
// before anything is allocated for it.
class VWaveReader {
public:
    static constexpr double kMaxSeconds = 300.0;

    // Reads the chunks up to "data"; the file is left at the first sample.
    // False for anything but a RIFF WAVE header whose counts fit the file.
    bool ReadHeader(VInputFile& file);
    // The frames after ReadHeader, at most 300 seconds of them; false when
    // the file ends early or memory is short.
    bool ReadSamples(VInputFile& file, VDoubleVec& samples) const;

    double SampleRate() const { return sampleRate_; }

private:
    enum class Encoding { Unsigned8, Signed16, Signed24, Signed24In32, Signed32, Float32, Float64 };

    bool ReadFormatChunk(VInputFile& file, std::uint32_t length);
    bool ChooseEncoding();
    int BytesPerSample() const;
    int FrameCount(std::uint64_t dataLength) const;
    void DecodeFrames(const std::uint8_t* bytes, int frames, double* out) const;

    std::uint16_t formatTag_ = 0;
    std::uint16_t subFormat_ = 0;
    int channels_ = 0;
    double sampleRate_ = 0.0;
    int blockAlign_ = 0;
    int bitsPerSample_ = 0;
    Encoding encoding_ = Encoding::Signed16;
    int frames_ = 0;
};

} // namespace kv
