#include "support/TestSupport.h"

#include <bit>
#include <fstream>
#include <iterator>
#include <random>

namespace kv::test {

TempDir::TempDir() {
    std::random_device random;
    const auto base = std::filesystem::temp_directory_path();
    for (;;) {
        path_ = base / ("kv-test-" + std::to_string(random()));
        if (std::filesystem::create_directory(path_)) {
            break;
        }
    }
}

TempDir::~TempDir() {
    std::error_code error;
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, error);
    std::filesystem::remove_all(path_, error);
}

std::vector<std::uint8_t> ReadBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteBytes(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

ByteWriter& ByteWriter::Int32(std::int32_t value) {
    const auto bits = static_cast<std::uint32_t>(value);
    for (int i = 0; i < 4; ++i) {
        bytes_.push_back(static_cast<std::uint8_t>(bits >> (8 * i)));
    }
    return *this;
}

ByteWriter& ByteWriter::Double(double value) {
    const auto bits = std::bit_cast<std::uint64_t>(value);
    for (int i = 0; i < 8; ++i) {
        bytes_.push_back(static_cast<std::uint8_t>(bits >> (8 * i)));
    }
    return *this;
}

ByteWriter& ByteWriter::Bool(bool value) {
    bytes_.push_back(value ? 1 : 0);
    return *this;
}

ByteWriter& ByteWriter::String(const std::string& text) {
    Int32(static_cast<std::int32_t>(text.size() + 1));
    bytes_.insert(bytes_.end(), text.begin(), text.end());
    bytes_.push_back(0);
    return *this;
}

ByteWriter& ByteWriter::Tag(const std::string& name, std::int32_t version) {
    return String(name).Int32(version);
}

ByteWriter& ByteWriter::Raw(const std::vector<std::uint8_t>& bytes) {
    bytes_.insert(bytes_.end(), bytes.begin(), bytes.end());
    return *this;
}

} // namespace kv::test
