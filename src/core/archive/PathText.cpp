#include "archive/PathText.h"

namespace kv {

std::string PathText(const std::filesystem::path& path) {
    const std::u8string text = path.u8string();
    return {text.begin(), text.end()};
}

std::filesystem::path PathFromText(const std::string& utf8) {
    return std::u8string(utf8.begin(), utf8.end());
}

} // namespace kv
