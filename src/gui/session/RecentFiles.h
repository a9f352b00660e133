#pragma once

#include <string>
#include <vector>

namespace kv {

class ISettings;

// The designs last opened or saved, newest first, kept in the settings as
// soon as the list changes (a crash does not lose it).
class RecentFiles {
public:
    static constexpr std::size_t kMaxFiles = 5;

    explicit RecentFiles(ISettings& settings) : settings_(settings) {}

    void Read();
    const std::vector<std::string>& Files() const { return files_; }
    // Puts a file first, once.
    void Add(const std::string& path);
    void Remove(const std::string& path);

private:
    void Write();

    ISettings& settings_;
    std::vector<std::string> files_;
};

} // namespace kv
