#pragma once

#include "XSession.h"

#include <filesystem>

namespace kv {

// Writes the pixels as a PNG; false when the file could not be written.
bool WriteScreenshot(const ScreenPixels& pixels, const std::filesystem::path& file);

} // namespace kv
