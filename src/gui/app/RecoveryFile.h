#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace kv {

// Where an unsaved design is kept while it is being edited, so that a crash
// or a power cut costs a few seconds of work: a project file in the user's
// data folder, written atomically like every save, removed by a clean exit
// and by every successful save.
class RecoveryFile {
public:
    // No folder: nothing is kept.
    void SetFolder(const std::filesystem::path& folder) { folder_ = folder; }

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
    std::filesystem::path Path() const;

    std::filesystem::path folder_;
};

} // namespace kv
