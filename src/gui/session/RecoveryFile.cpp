#include "session/RecoveryFile.h"

#include "archive/PathText.h"
#include "archive/VSafeFile.h"

#include <QDateTime>
#include <QFileInfo>
#include <QLockFile>
#include <system_error>

namespace kv {
namespace {

// As many copies of the program as anyone runs at once, with room to spare.
constexpr int kMaxFiles = 8;
// A design with three long measured curves stays far below this.
constexpr std::uintmax_t kMaxBytes = 64u << 20;

// The first copy's file keeps the plain name.
std::string FileName(int index) {
    return index == 0 ? "recovery.ksv" : "recovery-" + std::to_string(index + 1) + ".ksv";
}

} // namespace

RecoveryFile::RecoveryFile() = default;
RecoveryFile::~RecoveryFile() = default;

void RecoveryFile::SetFolder(const std::filesystem::path& folder) {
    folder_ = folder;
    path_.clear();
    index_ = -1;
    lock_.reset();
}

bool RecoveryFile::Claim() {
    if (!path_.empty()) {
        return true;
    }
    if (folder_.empty()) {
        return false;
    }
    std::error_code error;
    std::filesystem::create_directories(folder_, error);
    return !error && (LockFirstFrom(0, true) || LockFirstFrom(0, false));
}

bool RecoveryFile::ClaimNextLeftBehind() {
    return !path_.empty() && LockFirstFrom(index_ + 1, true);
}

bool RecoveryFile::LockFirstFrom(int first, bool leftBehind) {
    for (int index = first; index < kMaxFiles; ++index) {
        const std::filesystem::path path = folder_ / FileName(index);
        std::error_code error;
        if (leftBehind && !std::filesystem::is_regular_file(path, error)) {
            continue;
        }
        auto lock = std::make_unique<QLockFile>(QString::fromStdString(PathText(path) + ".lock"));
        // The lock of a running copy never goes stale by age, however long
        // it runs; one whose process is gone does.
        lock->setStaleLockTime(0);
        if (lock->tryLock(0)) {
            path_ = path;
            index_ = index;
            // The file held until now is let go only once the next is held.
            lock_ = std::move(lock);
            return true;
        }
    }
    return false;
}

bool RecoveryFile::Exists() const {
    std::error_code error;
    return !path_.empty() && std::filesystem::is_regular_file(path_, error);
}

std::string RecoveryFile::WrittenAt() const {
    const QFileInfo info(QString::fromStdString(PathText(path_)));
    return info.lastModified().toString(QStringLiteral("yyyy-MM-dd HH:mm")).toStdString();
}

bool RecoveryFile::Write(const std::vector<std::uint8_t>& snapshot) {
    if (path_.empty() || snapshot.empty()) {
        return false;
    }
    VSafeFile file;
    return file.Open(path_) && file.Write(snapshot.data(), snapshot.size()) && file.Commit();
}

void RecoveryFile::Remove() {
    std::error_code error;
    if (!path_.empty()) {
        std::filesystem::remove(path_, error);
    }
}

std::optional<std::vector<std::uint8_t>> RecoveryFile::Read() const {
    return ReadFileBytes(path_, kMaxBytes);
}

std::filesystem::path RecoveryFile::SetAside() {
    const std::string stamp =
        QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss")).toStdString();
    const std::filesystem::path aside = folder_ / ("recovery-damaged-" + stamp + ".ksv");
    std::error_code error;
    std::filesystem::rename(path_, aside, error);
    return aside;
}

} // namespace kv
