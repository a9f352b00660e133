#pragma once

#include "archive/VSafeFile.h"

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace kv {

// Buffered reading of an untrusted file (or of bytes already in memory, as
// the fuzz targets feed them), with the position and size the importers need
// to bound every count by what the file can really hold.
//
// Lines are read whole, however long: a long line read in pieces would turn
// its tail into a line of its own, and a tail that happens to start with a
// digit into a bogus data point. Only the first maxKeep characters of a line
// are kept, so a file without line breaks cannot make a line as big as
// itself.
class VInputFile {
public:
    static constexpr std::size_t kMaxLineLength = 65536;

    VInputFile();
    ~VInputFile();
    VInputFile(const VInputFile&) = delete;
    VInputFile& operator=(const VInputFile&) = delete;

    // False when the file cannot be opened or its size read.
    bool Open(const std::filesystem::path& path);
    // Reads from bytes the caller keeps alive while this object is used.
    void OpenMemory(const std::uint8_t* data, std::size_t size);

    std::uint64_t Size() const { return size_; }
    std::uint64_t Tell() const { return windowStart_ + windowPos_; }
    std::uint64_t Remaining() const { return Tell() < size_ ? size_ - Tell() : 0; }
    // False beyond the end of the file or when the file cannot be
    // positioned.
    bool Seek(std::uint64_t position);

    // The next line without its line feed (a carriage return stays, the
    // text cleaning takes it). False at the end of the file.
    bool ReadLine(std::string& line, std::size_t maxKeep = kMaxLineLength);
    // Up to count bytes; the number read.
    std::size_t Read(void* data, std::size_t count);
    bool ReadExact(void* data, std::size_t count) { return Read(data, count) == count; }

    // Whether any byte from the current position to the end is neither
    // printable text (0x20-0xFE) nor CR, LF, TAB or 0x1A. The position is
    // kept.
    bool HoldsBinaryBytes();

private:
    bool Refill();

    FileHandle file_;
    std::vector<char> buffer_;
    // The bytes at hand: a window on the file starting at windowStart_.
    const char* window_ = nullptr;
    std::size_t windowSize_ = 0;
    std::size_t windowPos_ = 0;
    std::uint64_t windowStart_ = 0;
    std::uint64_t size_ = 0;
};

} // namespace kv
