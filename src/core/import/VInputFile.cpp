#include "import/VInputFile.h"

#include "archive/VSafeFile.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <system_error>

#if defined(_WIN32)
#define KV_SEEK64 _fseeki64
#else
#define KV_SEEK64 fseeko
#endif

namespace kv {
namespace {

constexpr std::size_t kBufferSize = 1 << 20;

bool IsTextByte(unsigned char byte) {
    return (byte >= 0x20 && byte <= 0xFE) || byte == '\r' || byte == '\n' || byte == '\t' ||
           byte == 0x1A;
}

const std::array<bool, 256>& TextByteTable() {
    static const std::array<bool, 256> table = [] {
        std::array<bool, 256> t{};
        for (std::size_t i = 0; i < t.size(); ++i) {
            t[i] = IsTextByte(static_cast<unsigned char>(i));
        }
        return t;
    }();
    return table;
}

} // namespace

VInputFile::VInputFile() = default;
VInputFile::~VInputFile() = default;

bool VInputFile::Open(const std::filesystem::path& path) {
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(path, error);
    if (error) {
        return false;
    }
    file_ = OpenFile(path, "rb");
    if (!file_) {
        return false;
    }
    buffer_.resize(kBufferSize);
    size_ = size;
    window_ = buffer_.data();
    windowSize_ = windowPos_ = 0;
    windowStart_ = 0;
    return true;
}

void VInputFile::OpenMemory(const std::uint8_t* data, std::size_t size) {
    file_.reset();
    buffer_.clear();
    window_ = reinterpret_cast<const char*>(data);
    windowSize_ = size;
    windowPos_ = 0;
    windowStart_ = 0;
    size_ = size;
}

bool VInputFile::Refill() {
    if (!file_) {
        return false;
    }
    windowStart_ += windowSize_;
    windowPos_ = 0;
    windowSize_ = std::fread(buffer_.data(), 1, buffer_.size(), file_.get());
    return windowSize_ > 0;
}

bool VInputFile::Seek(std::uint64_t position) {
    if (position > size_) {
        return false;
    }
    if (position >= windowStart_ && position - windowStart_ <= windowSize_) {
        windowPos_ = static_cast<std::size_t>(position - windowStart_);
        return true;
    }
    if (!file_ || KV_SEEK64(file_.get(), static_cast<long long>(position), SEEK_SET) != 0) {
        return false;
    }
    windowStart_ = position;
    windowSize_ = windowPos_ = 0;
    return true;
}

bool VInputFile::ReadLine(std::string& line, std::size_t maxKeep) {
    line.clear();
    bool readAny = false;
    for (;;) {
        if (windowPos_ == windowSize_ && !Refill()) {
            return readAny;
        }
        readAny = true;
        const char* start = window_ + windowPos_;
        const std::size_t available = windowSize_ - windowPos_;
        const auto* feed = static_cast<const char*>(std::memchr(start, '\n', available));
        const std::size_t length =
            feed != nullptr ? static_cast<std::size_t>(feed - start) : available;
        const std::size_t kept = std::min(length, maxKeep - std::min(maxKeep, line.size()));
        line.append(start, kept);
        windowPos_ += length;
        if (feed != nullptr) {
            ++windowPos_;
            return true;
        }
    }
}

std::size_t VInputFile::Read(void* data, std::size_t count) {
    auto* out = static_cast<char*>(data);
    std::size_t done = 0;
    while (done < count) {
        if (windowPos_ == windowSize_ && !Refill()) {
            break;
        }
        const std::size_t chunk = std::min(count - done, windowSize_ - windowPos_);
        std::memcpy(out + done, window_ + windowPos_, chunk);
        windowPos_ += chunk;
        done += chunk;
    }
    return done;
}

bool VInputFile::HoldsBinaryBytes() {
    const std::uint64_t start = Tell();
    const std::array<bool, 256>& text = TextByteTable();
    bool binary = false;
    while (!binary && (windowPos_ < windowSize_ || Refill())) {
        const auto* bytes = reinterpret_cast<const unsigned char*>(window_);
        binary = std::any_of(bytes + windowPos_, bytes + windowSize_,
                             [&text](unsigned char byte) { return !text[byte]; });
        windowPos_ = windowSize_;
    }
    Seek(start);
    return binary;
}

} // namespace kv
