#pragma once

namespace kv {

class VPersistence;

// An object that stores itself through an archive; the archive's mode decides
// whether Serialize writes or reads.
class IArchive {
public:
    virtual ~IArchive() = default;
    virtual bool Serialize(VPersistence& archive) = 0;

protected:
    IArchive() = default;
    IArchive(const IArchive&) = default;
    IArchive& operator=(const IArchive&) = default;
};

} // namespace kv
