#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>

namespace kv {

// Little-endian items of the project file and of binary measurement files,
// whatever the host's order.

inline std::uint16_t LoadU16(const std::uint8_t* p) {
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

inline std::uint32_t LoadU32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

inline std::uint64_t LoadU64(const std::uint8_t* p) {
    return LoadU32(p) | (static_cast<std::uint64_t>(LoadU32(p + 4)) << 32);
}

inline std::int16_t LoadI16(const std::uint8_t* p) {
    return static_cast<std::int16_t>(LoadU16(p));
}
inline std::int32_t LoadI32(const std::uint8_t* p) {
    return static_cast<std::int32_t>(LoadU32(p));
}
inline float LoadF32(const std::uint8_t* p) {
    return std::bit_cast<float>(LoadU32(p));
}
inline double LoadF64(const std::uint8_t* p) {
    return std::bit_cast<double>(LoadU64(p));
}

// value's bytes, least significant first, into bytes[0 .. sizeof value).
template <typename Unsigned> void StoreLittleEndian(Unsigned value, std::uint8_t* bytes) {
    for (std::size_t i = 0; i < sizeof(Unsigned); ++i) {
        bytes[i] = static_cast<std::uint8_t>(value >> (8 * i));
    }
}

} // namespace kv
