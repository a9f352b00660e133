#include "archive/VSafeFile.h"

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

VSafeFile::~VSafeFile() {
    Abandon();
}

bool VSafeFile::Open(const std::filesystem::path& target) {
    Abandon();
    std::random_device random;
    constexpr int kAttempts = 16;
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        const std::filesystem::path temp = TemporaryNameFor(target, random() % 1000000u);
        // "x": never reuse a file that happens to exist under the temporary name.
        file_ = OpenFile(temp, "wbx");
        if (file_ != nullptr) {
            target_ = target;
            temp_ = temp;
            return true;
        }
        std::error_code error;
        if (!std::filesystem::exists(temp, error)) {
            return false;
        }
    }
    return false;
}

bool VSafeFile::Write(const void* data, std::size_t bytes) {
    if (file_ == nullptr) {
        return false;
    }
    return bytes == 0 || std::fwrite(data, 1, bytes, file_.get()) == bytes;
}

bool VSafeFile::Commit(const Verifier& verify) {
    if (file_ == nullptr) {
        return false;
    }
    const bool flushed =
        std::fflush(file_.get()) == 0 && std::ferror(file_.get()) == 0 && SyncToDisk(file_.get());
    const bool closed = std::fclose(file_.release()) == 0;
    std::error_code error;
    if (flushed && closed && (!verify || verify(temp_))) {
        std::filesystem::rename(temp_, target_, error);
        if (!error) {
            temp_.clear();
            return true;
        }
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
