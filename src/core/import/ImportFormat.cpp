#include "import/ImportFormat.h"

#include "archive/PathText.h"

namespace kv {

std::string FileExtension(const std::filesystem::path& fileName) {
    const std::string name = PathText(fileName.filename());
    const std::size_t dot = name.rfind('.');
    return dot == std::string::npos ? std::string() : name.substr(dot + 1);
}

} // namespace kv
