#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace kv {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
// An open C stream, closed when it goes. A writer that must know whether the
// close worked releases it and closes it itself.
using FileHandle = std::unique_ptr<std::FILE, FileCloser>;

// std::fopen for a path that may hold any characters on every platform; null
// when the file cannot be opened.
FileHandle OpenFile(const std::filesystem::path& path, const char* mode);

// The whole content of a file; nothing when it cannot be read or holds more
// than maxBytes.
std::optional<std::vector<std::uint8_t>> ReadFileBytes(const std::filesystem::path& path,
                                                       std::uintmax_t maxBytes);

// Up to maxBytes from the start of a file; empty when it cannot be read.
std::vector<std::uint8_t> ReadFileStart(const std::filesystem::path& path, std::size_t maxBytes);

// A file written beside its target under a temporary name and renamed over
// the target only when everything has reached the disk. Until Commit succeeds
// the target is untouched; a failed or abandoned write removes the temporary
// file, so a full disk or a vanished drive never costs the user the last good
// copy of a file.
class VSafeFile {
public:
    VSafeFile() = default;
    ~VSafeFile();
    VSafeFile(const VSafeFile&) = delete;
    VSafeFile& operator=(const VSafeFile&) = delete;

    // Creates the temporary file; false when the folder cannot take it.
    bool Open(const std::filesystem::path& target);
    bool IsOpen() const { return file_ != nullptr; }

    bool Write(const void* data, std::size_t bytes);
    bool Write(const std::string& text) { return Write(text.data(), text.size()); }

    // Judges the complete temporary file before it may replace the target.
    using Verifier = std::function<bool(const std::filesystem::path& written)>;

    // Flushes, syncs and closes the temporary file, then, when verify (if
    // given) accepts what reached the disk, renames it over the target. On
    // any failure the temporary file is removed and the target keeps its old
    // content.
    bool Commit(const Verifier& verify = {});
    // Drops everything written so far; the target keeps its old content.
    void Abandon();

    // The system's error number of the first call that failed since Open; 0
    // when none did (a write the verifier refused, for one).
    int Error() const { return error_; }

private:
    void NoteError();

    FileHandle file_;
    std::filesystem::path target_;
    std::filesystem::path temp_;
    int error_ = 0;
};

} // namespace kv
