#pragma once

#include "archive/VSafeFile.h"

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace kv {

// The binary archive every stored object goes through: little-endian items
// without padding (int32, double, bool as one byte, strings as an int32
// length that counts a terminating 0 followed by the bytes, tags as a string
// and an int32 version). One open file at a time; the mode is fixed by Open.
//
// Writing goes to a temporary file beside the target that Close renames into
// place, so a failed save never destroys the previous file.
class VPersistence {
public:
    VPersistence() = default;
    ~VPersistence();
    VPersistence(const VPersistence&) = delete;
    VPersistence& operator=(const VPersistence&) = delete;

    // Opens path for reading, or its temporary file for writing; false when
    // that cannot be done (or a file is open already).
    bool Open(const std::filesystem::path& path, bool storing);
    // The same items to or from bytes in memory (a snapshot of a design)
    // instead of a file; the caller keeps the bytes alive while open.
    bool OpenMemoryForWriting(std::vector<std::uint8_t>& bytes);
    bool OpenMemoryForReading(const std::vector<std::uint8_t>& bytes);
    // Ends the file; when storing, renames the temporary file over the
    // target once verify (if given) accepts it, and false means the target
    // still holds its old content.
    bool Close(const VSafeFile::Verifier& verify = {});
    bool IsOpen() const { return IsStoring() || IsLoading(); }
    bool IsStoring() const { return writer_.IsOpen() || sink_ != nullptr; }
    bool IsLoading() const { return reader_ != nullptr || source_ != nullptr; }

    // Raw items: count items of size bytes, as they lie in memory.
    bool Write(const void* data, std::size_t size, std::size_t count);
    bool Read(void* data, std::size_t size, std::size_t count);

    bool WriteInt32(std::int32_t value);
    bool WriteDouble(double value);
    bool WriteBool(bool value);
    bool WriteDoubles(const double* values, std::size_t count);
    bool ReadInt32(std::int32_t& value);
    bool ReadDouble(double& value);
    bool ReadBool(bool& value);
    bool ReadDoubles(double* values, std::size_t count);

    bool WriteString(const std::string& text);
    // Reads a string item. With maxLen >= 0 at most maxLen - 1 characters are
    // kept (the size of the fixed field the text is meant for); with a
    // negative maxLen the whole stored text. The file is left after the item
    // in either case. A length that the rest of the file cannot hold fails
    // before anything is allocated.
    bool ReadString(std::string& text, int maxLen);

    bool WriteTag(const std::string& name, std::int32_t version);
    bool ReadTag(std::string& name, std::int32_t& version, bool rewind);
    // Reads a tag and succeeds when its name matches; otherwise the position
    // is restored so another reader may try. The version is handed back.
    bool ExpectTag(const std::string& name, std::int32_t& version);

    // Bytes left between the read position and the end of the file, so that a
    // stored count can be checked before anything is allocated for it.
    std::uint64_t RemainingBytes() const;
    std::uint64_t Size() const { return fileSize_; }
    // Whether a read failed because the file ended before the item did.
    bool RanOut() const { return ranOut_; }
    // The system's error number of the first failed call of a storing
    // archive; 0 when none failed.
    int WriteError() const { return writer_.Error(); }

private:
    bool SeekTo(std::uint64_t position);
    // Whether that many bytes are left to read; notes when they are not.
    bool Holds(std::uint64_t bytes);

    VSafeFile writer_;
    FileHandle reader_;
    std::vector<std::uint8_t>* sink_ = nullptr;
    const std::vector<std::uint8_t>* source_ = nullptr;
    std::uint64_t fileSize_ = 0;
    std::uint64_t position_ = 0;
    bool ranOut_ = false;
};

} // namespace kv
