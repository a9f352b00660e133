#include "session/RecentFiles.h"

#include "ui/ISettings.h"

#include <algorithm>

namespace kv {
namespace {

constexpr const char* kSection = "Recent Files";

std::string ValueName(std::size_t index) {
    return "File" + std::to_string(index + 1);
}

} // namespace

void RecentFiles::Read() {
    files_.clear();
    for (std::size_t i = 0; i < kMaxFiles; ++i) {
        const std::string path = settings_.GetString(kSection, ValueName(i), "");
        if (!path.empty() && std::find(files_.begin(), files_.end(), path) == files_.end()) {
            files_.push_back(path);
        }
    }
}

void RecentFiles::Add(const std::string& path) {
    std::erase(files_, path);
    files_.insert(files_.begin(), path);
    files_.resize(std::min(files_.size(), kMaxFiles));
    Write();
}

void RecentFiles::Remove(const std::string& path) {
    std::erase(files_, path);
    Write();
}

void RecentFiles::Write() {
    for (std::size_t i = 0; i < kMaxFiles; ++i) {
        settings_.SetString(kSection, ValueName(i), i < files_.size() ? files_[i] : "");
    }
}

} // namespace kv
