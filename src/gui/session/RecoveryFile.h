#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QLockFile;

namespace kv {

// Where an unsaved design is kept while it is being edited, so that a crash
// or a power cut costs a few seconds of work: a project file in the user's
// data folder, written atomically like every save, removed by a clean exit
// and by every successful save. Each running copy of the program holds a
// file of its own under a lock, so that one copy never offers, overwrites or
// removes the work of another that is still running.
class RecoveryFile {
public:
    RecoveryFile();
    ~RecoveryFile();
    RecoveryFile(const RecoveryFile&) = delete;
    RecoveryFile& operator=(const RecoveryFile&) = delete;

    // The folder the files go to; no folder: nothing is kept.
    void SetFolder(const std::filesystem::path& folder);
    // Takes a file of the folder that no running copy holds: the first one
    // a crashed copy left, if any, else the first free one. False when there
    // is no folder, or every file is held; nothing is kept then.
    bool Claim();
    // Moves on to the next file a crashed copy left, after the one held
    // (which by now has been taken back, removed or set aside), so that the
    // work of every crashed copy is offered in turn; false, holding on to the
    // current file, when there is none.
    bool ClaimNextLeftBehind();

    bool Exists() const;
    // When the file was written, as the question to restore it shows it.
    std::string WrittenAt() const;
    bool Write(const std::vector<std::uint8_t>& snapshot);
    void Remove();
    // The file's bytes; nothing when it cannot be read or is larger than
    // any design.
    std::optional<std::vector<std::uint8_t>> Read() const;
    // Moves a damaged file out of the way, so that it is neither offered
    // again nor lost; the name it got.
    std::filesystem::path SetAside();

private:
    // Locks the first file from index on that no running copy holds and,
    // with leftBehind, that a crashed copy left.
    bool LockFirstFrom(int index, bool leftBehind);

    std::filesystem::path folder_;
    // Empty until a file is claimed.
    std::filesystem::path path_;
    int index_ = -1;
    std::unique_ptr<QLockFile> lock_;
};

} // namespace kv
