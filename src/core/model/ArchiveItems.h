#pragma once

#include "model/IArchive.h"
#include "model/VPersistence.h"

#include <cstdint>
#include <string>

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
