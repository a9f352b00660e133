#pragma once

#include "graphs/GraphScene.h"

#include <string>

namespace kv::test {

// A monospaced font for layouts that do not paint: 7 pixels a character
// (a byte, so "µ" counts twice), "M" 9 pixels wide and 13 high.
inline TextMetrics FixedMetrics() {
    return {[](const std::string& text) { return static_cast<int>(text.size()) * 7; }, 9, 13};
}

} // namespace kv::test
