#include "archive/VSafeFile.h"

#include <cerrno>
#include <random>
#include <system_error>

#if __has_include(<unistd.h>)
#include <unistd.h>
#define KV_HAVE_FSYNC 1
#elif defined(_WIN32)
#include <io.h>
#endif

namespace kv {
namespace {

bool SyncToDisk(std::FILE* file) {
#if defined(KV_HAVE_FSYNC)
    return ::fsync(::fileno(file)) == 0;
#elif defined(_WIN32)
    return ::_commit(::_fileno(file)) == 0;
#else
    (void)file;
    return true;
#endif
}

std::filesystem::path TemporaryNameFor(const std::filesystem::path& target, unsigned salt) {
    std::filesystem::path temp = target;
    temp += ".kvtmp" + std::to_string(salt);
    return temp;
}

} // namespace

FileHandle OpenFile(const std::filesystem::path& path, const char* mode) {
#if defined(_WIN32)
    const std::string narrow(mode);
    const std::wstring wideMode(narrow.begin(), narrow.end());
    return FileHandle(::_wfopen(path.c_str(), wideMode.c_str()));
#else
    return FileHandle(std::fopen(path.c_str(), mode));
#endif
}

std::optional<std::vector<std::uint8_t>> ReadFileBytes(const std::filesystem::path& path,
                                                       std::uintmax_t maxBytes) {
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(path, error);
    if (error || size > maxBytes) {
        return std::nullopt;
    }
    const FileHandle file = OpenFile(path, "rb");
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
    if (!file || std::fread(bytes.data(), 1, bytes.size(), file.get()) != bytes.size()) {
        return std::nullopt;
    }
    return bytes;
}

std::vector<std::uint8_t> ReadFileStart(const std::filesystem::path& path, std::size_t maxBytes) {
    const FileHandle file = OpenFile(path, "rb");
    std::vector<std::uint8_t> bytes(file != nullptr ? maxBytes : 0);
    bytes.resize(bytes.empty() ? 0 : std::fread(bytes.data(), 1, bytes.size(), file.get()));
    return bytes;
}

VSafeFile::~VSafeFile() {
    Abandon();
}

bool VSafeFile::Open(const std::filesystem::path& target) {
    Abandon();
    error_ = 0;
    std::error_code status;
    if (std::filesystem::is_directory(target, status)) {
        error_ = EISDIR;
        return false;
    }
    std::random_device random;
    constexpr int kAttempts = 16;
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        const std::filesystem::path temp = TemporaryNameFor(target, random() % 1000000u);
        // "x": never reuse a file that happens to exist under the temporary name.
        errno = 0;
        file_ = OpenFile(temp, "wbx");
        if (file_ != nullptr) {
            target_ = target;
            temp_ = temp;
            return true;
        }
        error_ = errno;
        std::error_code error;
        if (!std::filesystem::exists(temp, error)) {
            return false;
        }
    }
    return false;
}

void VSafeFile::NoteError() {
    if (error_ == 0) {
        error_ = errno != 0 ? errno : EIO;
    }
}

bool VSafeFile::Write(const void* data, std::size_t bytes) {
    if (file_ == nullptr) {
        return false;
    }
    errno = 0;
    if (bytes == 0 || std::fwrite(data, 1, bytes, file_.get()) == bytes) {
        return true;
    }
    NoteError();
    return false;
}

bool VSafeFile::Commit(const Verifier& verify) {
    if (file_ == nullptr) {
        return false;
    }
    errno = 0;
    const bool flushed =
        std::fflush(file_.get()) == 0 && std::ferror(file_.get()) == 0 && SyncToDisk(file_.get());
    if (!flushed) {
        NoteError();
    }
    const bool closed = std::fclose(file_.release()) == 0;
    if (!closed) {
        NoteError();
    }
    std::error_code error;
    if (flushed && closed && (!verify || verify(temp_))) {
        std::filesystem::rename(temp_, target_, error);
        if (!error) {
            temp_.clear();
            return true;
        }
        error_ = error.default_error_condition().value();
    }
    std::filesystem::remove(temp_, error);
    temp_.clear();
    return false;
}

void VSafeFile::Abandon() {
    file_.reset();
    if (!temp_.empty()) {
        std::error_code error;
        std::filesystem::remove(temp_, error);
        temp_.clear();
    }
}

} // namespace kv
