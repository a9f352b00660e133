#pragma once

#include "hardware/CTAS3103.h"

#include <string>

namespace kv {

// The TAS3103 configuration text of a whole image: every printed subaddress
// with its data words under the comment headings of the chip's blocks, each
// line ending in CR LF. The image must be a whole image.
std::string FormatCfgText(const CTAS3103& tas, const std::string& title,
                          const CTAS3103::Image& image);

} // namespace kv
