#pragma once

#include "archive/IArchive.h"
#include "archive/VPersistence.h"

#include <cstdint>
#include <string>
#include <type_traits>

namespace kv {

// One item of a record, written or read as the archive's mode says, so that
// each record layout is spelled out once for both directions.
inline bool Exchange(VPersistence& archive, std::int32_t& value) {
    return archive.IsStoring() ? archive.WriteInt32(value) : archive.ReadInt32(value);
}

inline bool Exchange(VPersistence& archive, double& value) {
    return archive.IsStoring() ? archive.WriteDouble(value) : archive.ReadDouble(value);
}

inline bool Exchange(VPersistence& archive, bool& value) {
    return archive.IsStoring() ? archive.WriteBool(value) : archive.ReadBool(value);
}

// An enumeration stored as its int32 value. Any stored value is taken: the
// loader decides which values a record may hold.
template <typename Enum>
requires std::is_enum_v<Enum> && std::is_same_v<std::underlying_type_t<Enum>, std::int32_t>
bool Exchange(VPersistence& archive, Enum& value) {
    auto stored = static_cast<std::int32_t>(value);
    if (!Exchange(archive, stored)) {
        return false;
    }
    value = static_cast<Enum>(stored);
    return true;
}

// Text read into a field of fieldSize bytes (terminating 0 included) is cut
// to fit.
inline bool Exchange(VPersistence& archive, std::string& text, int fieldSize) {
    return archive.IsStoring() ? archive.WriteString(text) : archive.ReadString(text, fieldSize);
}

inline bool Exchange(VPersistence& archive, IArchive& object) {
    return object.Serialize(archive);
}

template <typename... Items> bool ExchangeAll(VPersistence& archive, Items&... items) {
    return (Exchange(archive, items) && ...);
}

} // namespace kv
