#include "archive/VPersistence.h"

#include "archive/LittleEndian.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <cstring>
#include <limits>
#include <new>
#include <system_error>
#include <vector>

namespace kv {
namespace {

static_assert(sizeof(double) == 8 && std::numeric_limits<double>::is_iec559,
              "the file format stores IEEE 754 binary64 doubles");

std::uint64_t SizeOfOpenFile(std::FILE* file) {
    if (std::fseek(file, 0, SEEK_END) != 0) {
        return 0;
    }
    const long size = std::ftell(file);
    std::rewind(file);
    return size > 0 ? static_cast<std::uint64_t>(size) : 0;
}

} // namespace

// A storing archive that was never closed belongs to a save that failed: its
// temporary file goes and the previous file stays as it was.
VPersistence::~VPersistence() {
    writer_.Abandon();
    Close();
}

bool VPersistence::Open(const std::filesystem::path& path, bool storing) {
    if (IsOpen()) {
        return false;
    }
    if (storing) {
        return writer_.Open(path);
    }
    // A folder opens as a stream on some systems, and reads as nothing.
    std::error_code error;
    if (std::filesystem::is_directory(path, error)) {
        return false;
    }
    reader_ = OpenFile(path, "rb");
    if (reader_ == nullptr) {
        return false;
    }
    fileSize_ = SizeOfOpenFile(reader_.get());
    position_ = 0;
    ranOut_ = false;
    return true;
}

bool VPersistence::OpenMemoryForWriting(std::vector<std::uint8_t>& bytes) {
    if (IsOpen()) {
        return false;
    }
    bytes.clear();
    sink_ = &bytes;
    return true;
}

bool VPersistence::OpenMemoryForReading(const std::vector<std::uint8_t>& bytes) {
    if (IsOpen()) {
        return false;
    }
    source_ = &bytes;
    fileSize_ = bytes.size();
    position_ = 0;
    ranOut_ = false;
    return true;
}

bool VPersistence::Close(const VSafeFile::Verifier& verify) {
    if (sink_ != nullptr || source_ != nullptr) {
        sink_ = nullptr;
        source_ = nullptr;
        return true;
    }
    if (IsStoring()) {
        return writer_.Commit(verify);
    }
    if (reader_ == nullptr) {
        return false;
    }
    return std::fclose(reader_.release()) == 0;
}

bool VPersistence::Write(const void* data, std::size_t size, std::size_t count) {
    if (sink_ != nullptr) {
        const auto* bytes = static_cast<const std::uint8_t*>(data);
        try {
            sink_->insert(sink_->end(), bytes, bytes + size * count);
        } catch (const std::bad_alloc&) {
            return false;
        }
        return true;
    }
    return IsStoring() && writer_.Write(data, size * count);
}

bool VPersistence::Read(void* data, std::size_t size, std::size_t count) {
    if (!IsLoading()) {
        return false;
    }
    const std::size_t bytes = size * count;
    if (!Holds(bytes)) {
        return false;
    }
    if (source_ != nullptr) {
        std::copy_n(source_->data() + position_, bytes, static_cast<std::uint8_t*>(data));
    } else if (bytes > 0 && std::fread(data, 1, bytes, reader_.get()) != bytes) {
        return false;
    }
    position_ += bytes;
    return true;
}

bool VPersistence::WriteInt32(std::int32_t value) {
    std::array<std::uint8_t, 4> bytes{};
    StoreLittleEndian(static_cast<std::uint32_t>(value), bytes.data());
    return Write(bytes.data(), 1, bytes.size());
}

bool VPersistence::WriteDouble(double value) {
    std::array<std::uint8_t, 8> bytes{};
    StoreLittleEndian(std::bit_cast<std::uint64_t>(value), bytes.data());
    return Write(bytes.data(), 1, bytes.size());
}

bool VPersistence::WriteBool(bool value) {
    const std::uint8_t byte = value ? 1 : 0;
    return Write(&byte, 1, 1);
}

bool VPersistence::WriteDoubles(const double* values, std::size_t count) {
    std::vector<std::uint8_t> bytes(count * 8);
    for (std::size_t i = 0; i < count; ++i) {
        StoreLittleEndian(std::bit_cast<std::uint64_t>(values[i]), bytes.data() + 8 * i);
    }
    return Write(bytes.data(), 1, bytes.size());
}

bool VPersistence::ReadInt32(std::int32_t& value) {
    std::array<std::uint8_t, 4> bytes{};
    if (!Read(bytes.data(), 1, bytes.size())) {
        return false;
    }
    value = static_cast<std::int32_t>(LoadU32(bytes.data()));
    return true;
}

bool VPersistence::ReadDouble(double& value) {
    std::array<std::uint8_t, 8> bytes{};
    if (!Read(bytes.data(), 1, bytes.size())) {
        return false;
    }
    value = std::bit_cast<double>(LoadU64(bytes.data()));
    return true;
}

bool VPersistence::ReadBool(bool& value) {
    unsigned char byte = 0;
    if (!Read(&byte, 1, 1)) {
        return false;
    }
    value = byte != 0;
    return true;
}

bool VPersistence::ReadDoubles(double* values, std::size_t count) {
    if (count > RemainingBytes() / 8) {
        ranOut_ = true;
        return false;
    }
    std::vector<std::uint8_t> bytes(count * 8);
    if (!Read(bytes.data(), 1, bytes.size())) {
        return false;
    }
    for (std::size_t i = 0; i < count; ++i) {
        values[i] = std::bit_cast<double>(LoadU64(bytes.data() + 8 * i));
    }
    return true;
}

bool VPersistence::WriteString(const std::string& text) {
    const std::size_t length = text.size() + 1;
    if (length > static_cast<std::size_t>(INT32_MAX)) {
        return false;
    }
    return WriteInt32(static_cast<std::int32_t>(length)) && Write(text.c_str(), 1, length);
}

bool VPersistence::ReadString(std::string& text, int maxLen) {
    std::int32_t length = 0;
    if (!ReadInt32(length) || length < 1 || !Holds(static_cast<std::uint64_t>(length))) {
        return false;
    }
    std::string stored(static_cast<std::size_t>(length), '\0');
    if (!Read(stored.data(), 1, stored.size())) {
        return false;
    }
    // The text ends at its first 0 byte, as in the fixed fields it is read into.
    stored.resize(std::strlen(stored.c_str()));
    if (maxLen >= 0) {
        stored.resize(std::min(stored.size(), static_cast<std::size_t>(std::max(maxLen - 1, 0))));
    }
    text = std::move(stored);
    return true;
}

bool VPersistence::WriteTag(const std::string& name, std::int32_t version) {
    return WriteString(name) && WriteInt32(version);
}

bool VPersistence::ReadTag(std::string& name, std::int32_t& version, bool rewind) {
    if (!IsLoading()) {
        return false;
    }
    const std::uint64_t start = position_;
    const bool read = ReadString(name, -1) && ReadInt32(version);
    if (rewind && !SeekTo(start)) {
        return false;
    }
    return read;
}

bool VPersistence::ExpectTag(const std::string& name, std::int32_t& version) {
    const std::uint64_t start = position_;
    std::string stored;
    if (ReadTag(stored, version, false) && stored == name) {
        return true;
    }
    SeekTo(start);
    return false;
}

bool VPersistence::Holds(std::uint64_t bytes) {
    if (bytes > RemainingBytes()) {
        ranOut_ = true;
        return false;
    }
    return true;
}

std::uint64_t VPersistence::RemainingBytes() const {
    return position_ < fileSize_ ? fileSize_ - position_ : 0;
}

bool VPersistence::SeekTo(std::uint64_t position) {
    if (!IsLoading() || position > fileSize_ ||
        (reader_ != nullptr &&
         std::fseek(reader_.get(), static_cast<long>(position), SEEK_SET) != 0)) {
        return false;
    }
    position_ = position;
    return true;
}

} // namespace kv
