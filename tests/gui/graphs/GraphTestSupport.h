#pragma once

#include "graphs/GraphScene.h"

#include <algorithm>
#include <string>

namespace kv::test {

// A monospaced font for layouts that do not paint: 7 pixels a character
// (a byte, so "µ" counts twice), "M" 9 pixels wide and 13 high.
inline TextMetrics FixedMetrics() {
    return {[](const std::string& text) { return static_cast<int>(text.size()) * 7; }, 9, 13};
}

// The scene's text of that content, or null.
inline const SceneText* FindText(const GraphScene& scene, const std::string& content) {
    const auto found = std::find_if(scene.texts.begin(), scene.texts.end(),
                                    [&](const SceneText& text) { return text.text == content; });
    return found != scene.texts.end() ? &*found : nullptr;
}

} // namespace kv::test
