#pragma once

#include <filesystem>
#include <string>

namespace kv {

// File names as the program shows and stores them: UTF-8 text on every
// platform, whatever the system's code page.
std::string PathText(const std::filesystem::path& path);
std::filesystem::path PathFromText(const std::string& utf8);

} // namespace kv
