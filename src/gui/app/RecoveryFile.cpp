#include "app/RecoveryFile.h"

#include "archive/PathText.h"
#include "archive/VSafeFile.h"

#include <QDateTime>
#include <QFileInfo>
#include <system_error>

namespace kv {
namespace {

constexpr const char* kFileName = "recovery.ksv";
// A design with three long measured curves stays far below this.
constexpr std::uintmax_t kMaxBytes = 64u << 20;

} // namespace

std::filesystem::path RecoveryFile::Path() const {
    return folder_ / kFileName;
}

bool RecoveryFile::Exists() const {
    std::error_code error;
    return !folder_.empty() && std::filesystem::is_regular_file(Path(), error);
}

std::string RecoveryFile::WrittenAt() const {
    const QFileInfo info(QString::fromStdString(PathText(Path())));
    return info.lastModified().toString(QStringLiteral("yyyy-MM-dd HH:mm")).toStdString();
}

bool RecoveryFile::Write(const std::vector<std::uint8_t>& snapshot) {
    if (folder_.empty() || snapshot.empty()) {
        return false;
    }
    std::error_code error;
    std::filesystem::create_directories(folder_, error);
    VSafeFile file;
    return file.Open(Path()) && file.Write(snapshot.data(), snapshot.size()) && file.Commit();
}

void RecoveryFile::Remove() {
    std::error_code error;
    if (!folder_.empty()) {
        std::filesystem::remove(Path(), error);
    }
}

std::optional<std::vector<std::uint8_t>> RecoveryFile::Read() const {
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(Path(), error);
    if (error || size > kMaxBytes) {
        return std::nullopt;
    }
    const FileHandle file = OpenFile(Path(), "rb");
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
    if (!file || std::fread(bytes.data(), 1, bytes.size(), file.get()) != bytes.size()) {
        return std::nullopt;
    }
    return bytes;
}

std::filesystem::path RecoveryFile::SetAside() {
    const std::string stamp =
        QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss")).toStdString();
    const std::filesystem::path aside = folder_ / ("recovery-damaged-" + stamp + ".ksv");
    std::error_code error;
    std::filesystem::rename(Path(), aside, error);
    return aside;
}

} // namespace kv
