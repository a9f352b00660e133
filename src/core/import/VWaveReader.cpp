#include "import/VWaveReader.h"

#include "archive/LittleEndian.h"
#include "import/VInputFile.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cmath>
#include <cstring>
#include <vector>

namespace kv {
namespace {

constexpr std::uint16_t kFormatPcm = 1;
constexpr std::uint16_t kFormatFloat = 3;
constexpr std::uint16_t kFormatExtensible = 65534;
constexpr std::uint32_t kMinFormatChunk = 16;
constexpr std::uint32_t kMaxFormatChunk = 40;
// Where the sub-format of an extensible format chunk starts.
constexpr std::size_t kSubFormatOffset = 24;
constexpr std::size_t kChunkBytes = 1 << 16;

constexpr double kScale8 = 0.0078125;
constexpr double kScale16 = 3.0517578125e-5;
constexpr double kScale32 = 4.656612873077393e-10;

bool IsChunk(const std::uint8_t* id, const char (&name)[5]) {
    return std::memcmp(id, name, 4) == 0;
}

struct ChunkHeader {
    std::array<std::uint8_t, 4> id{};
    std::uint32_t length = 0;
};

bool ReadChunkHeader(VInputFile& file, ChunkHeader& chunk) {
    std::array<std::uint8_t, 8> bytes{};
    if (!file.ReadExact(bytes.data(), bytes.size())) {
        return false;
    }
    std::copy_n(bytes.begin(), 4, chunk.id.begin());
    chunk.length = LoadU32(bytes.data() + 4);
    return true;
}

double Signed24(const std::uint8_t* p) {
    const auto bits = (static_cast<std::uint32_t>(p[2]) << 24) |
                      (static_cast<std::uint32_t>(p[1]) << 16) |
                      (static_cast<std::uint32_t>(p[0]) << 8);
    return static_cast<std::int32_t>(bits) * kScale32;
}

template <typename Decode>
void MixFrames(const std::uint8_t* bytes, int frames, int channels, int blockAlign, int stride,
               double* out, Decode decode) {
    for (int frame = 0; frame < frames; ++frame) {
        const std::uint8_t* sample = bytes + static_cast<std::ptrdiff_t>(frame) * blockAlign;
        double sum = 0.0;
        for (int channel = 0; channel < channels; ++channel) {
            sum += decode(sample + static_cast<std::ptrdiff_t>(channel) * stride);
        }
        out[frame] = channels >= 2 ? sum / channels : sum;
    }
}

} // namespace

bool VWaveReader::ReadHeader(VInputFile& file) {
    std::array<std::uint8_t, 12> riff{};
    if (!file.ReadExact(riff.data(), riff.size()) || !IsChunk(riff.data(), "RIFF") ||
        !IsChunk(riff.data() + 8, "WAVE")) {
        return false;
    }
    bool haveFormat = false;
    ChunkHeader chunk;
    while (ReadChunkHeader(file, chunk)) {
        if (IsChunk(chunk.id.data(), "fmt ")) {
            if (!ReadFormatChunk(file, chunk.length)) {
                return false;
            }
            haveFormat = true;
        } else if (IsChunk(chunk.id.data(), "data")) {
            if (!haveFormat || !ChooseEncoding()) {
                return false;
            }
            // A data chunk claiming more than the file holds is a broken
            // file, not a reason to allocate what it claims.
            if (chunk.length > file.Remaining()) {
                return false;
            }
            const int frames = FrameCount(chunk.length);
            if (frames < 0) {
                return false;
            }
            frames_ = frames;
            return true;
        } else if (!file.Seek(file.Tell() + chunk.length)) {
            return false;
        }
    }
    return false;
}

bool VWaveReader::ReadFormatChunk(VInputFile& file, std::uint32_t length) {
    std::array<std::uint8_t, kMaxFormatChunk> bytes{};
    if (length < kMinFormatChunk || length > kMaxFormatChunk ||
        !file.ReadExact(bytes.data(), length)) {
        return false;
    }
    formatTag_ = LoadU16(bytes.data());
    channels_ = LoadU16(bytes.data() + 2);
    sampleRate_ = LoadU32(bytes.data() + 4);
    blockAlign_ = LoadU16(bytes.data() + 12);
    bitsPerSample_ = LoadU16(bytes.data() + 14);
    subFormat_ =
        length >= kSubFormatOffset + 2 ? LoadU16(bytes.data() + kSubFormatOffset) : kFormatPcm;
    return formatTag_ == kFormatPcm || formatTag_ == kFormatFloat ||
           formatTag_ == kFormatExtensible;
}

// The sample type, from the bits per sample and, for 32 bits, the format or
// (extensible format) its sub-format. A block alignment too small for the
// channels' samples would make every frame read into the next one.
bool VWaveReader::ChooseEncoding() {
    if (channels_ < 1 || blockAlign_ < 1 || sampleRate_ <= 0.0) {
        return false;
    }
    const int stride = blockAlign_ / channels_;
    bool isFloat = formatTag_ == kFormatFloat;
    if (formatTag_ == kFormatExtensible) {
        if (subFormat_ != kFormatPcm && subFormat_ != kFormatFloat) {
            return false;
        }
        isFloat = subFormat_ == kFormatFloat;
    }
    if (bitsPerSample_ < 8 || bitsPerSample_ > 80) {
        return false;
    }
    if (bitsPerSample_ == 8) {
        encoding_ = Encoding::Unsigned8;
    } else if (bitsPerSample_ <= 16) {
        encoding_ = Encoding::Signed16;
    } else if (bitsPerSample_ <= 24) {
        encoding_ = stride == 4 ? Encoding::Signed24In32 : Encoding::Signed24;
    } else if (bitsPerSample_ <= 32) {
        encoding_ = isFloat ? Encoding::Float32 : Encoding::Signed32;
    } else {
        encoding_ = Encoding::Float64;
    }
    return stride >= BytesPerSample();
}

int VWaveReader::BytesPerSample() const {
    switch (encoding_) {
    case Encoding::Unsigned8:
        return 1;
    case Encoding::Signed16:
        return 2;
    case Encoding::Signed24:
        return 3;
    case Encoding::Signed24In32:
    case Encoding::Signed32:
    case Encoding::Float32:
        return 4;
    case Encoding::Float64:
        return 8;
    }
    return 8;
}

// Whole frames of the data chunk, at most 300 seconds; -1 when that is more
// than a vector can index.
int VWaveReader::FrameCount(std::uint64_t dataLength) const {
    const std::uint64_t inFile = dataLength / static_cast<unsigned>(blockAlign_);
    const double limit = std::round(kMaxSeconds * sampleRate_);
    const std::uint64_t frames = std::min<std::uint64_t>(inFile, static_cast<std::uint64_t>(limit));
    return frames > static_cast<std::uint64_t>(INT_MAX) ? -1 : static_cast<int>(frames);
}

bool VWaveReader::ReadSamples(VInputFile& file, VDoubleVec& samples) const {
    if (!samples.SetSize(frames_)) {
        return false;
    }
    const int framesPerChunk = std::max(1, static_cast<int>(kChunkBytes) / blockAlign_);
    std::vector<std::uint8_t> chunk(static_cast<std::size_t>(framesPerChunk) *
                                    static_cast<std::size_t>(blockAlign_));
    for (int done = 0; done < frames_;) {
        const int frames = std::min(framesPerChunk, frames_ - done);
        const std::size_t bytes = static_cast<std::size_t>(frames) * blockAlign_;
        if (!file.ReadExact(chunk.data(), bytes)) {
            return false;
        }
        DecodeFrames(chunk.data(), frames, samples.Data() + done);
        done += frames;
    }
    return true;
}

void VWaveReader::DecodeFrames(const std::uint8_t* bytes, int frames, double* out) const {
    const int stride = blockAlign_ / channels_;
    const auto mix = [&](auto decode) {
        MixFrames(bytes, frames, channels_, blockAlign_, stride, out, decode);
    };
    switch (encoding_) {
    case Encoding::Unsigned8:
        mix([](const std::uint8_t* p) { return (p[0] - 128) * kScale8; });
        break;
    case Encoding::Signed16:
        mix([](const std::uint8_t* p) { return LoadI16(p) * kScale16; });
        break;
    case Encoding::Signed24:
        mix(Signed24);
        break;
    case Encoding::Signed24In32:
        mix([](const std::uint8_t* p) { return LoadI32(p) * 256.0 * kScale32; });
        break;
    case Encoding::Signed32:
        mix([](const std::uint8_t* p) { return LoadI32(p) * kScale32; });
        break;
    case Encoding::Float32:
        mix([](const std::uint8_t* p) { return static_cast<double>(LoadF32(p)); });
        break;
    case Encoding::Float64:
        mix([](const std::uint8_t* p) { return LoadF64(p); });
        break;
    }
}

} // namespace kv
