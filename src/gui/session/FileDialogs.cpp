#include "session/FileDialogs.h"

#include <algorithm>
#include <cctype>

namespace kv {

std::string TitleAsFileName(const std::string& title) {
    std::string name = title;
    std::replace_if(
        name.begin(), name.end(), [](char c) { return c == '/' || c == '\\'; }, '-');
    return name;
}

FileDialogRequest DesignFileDialog(const std::string& preset) {
    return {"Kestrelvane Files (*.ksv)", "ksv", preset};
}

FileDialogRequest CfgFileDialog(const std::string& title) {
    return {"Configuration Files (*.cfg)", "cfg", TitleAsFileName(title)};
}

// Measurement programs write their extensions in either case, and file
// names are case-sensitive on most systems: every pattern is given in both.
FileDialogRequest MeasurementFileDialog(const std::string& preset) {
    static constexpr const char* kPatterns[] = {
        "*.TX*", "*.ASC", "*.DAT", "*.FR*", "*.MIC", "*.MCP", "*.KGM", "*.MDF", "*.CAL",
        "*.TDS", "*.FM*", "*.XOP", "*.IDF", "*.GDT", "*.BOD", "*.CSV", "*.WAV"};
    std::string patterns;
    for (const char* pattern : kPatterns) {
        std::string lower = pattern;
        std::transform(lower.begin(), lower.end(), lower.begin(),
                       [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        patterns += (patterns.empty() ? "" : " ") + std::string(pattern) + " " + lower;
    }
    return {"All import types (" + patterns + ");;All Files (*)", "txt", preset};
}

FileDialogRequest FilterListFileDialog() {
    return {"Filter lists (*.txt *.TXT);;All Files (*)", "txt", ""};
}

FileDialogRequest EqualiserTextFileDialog(const std::string& preset) {
    return {"PC equaliser configuration (*.txt)", "txt", preset};
}

FileDialogRequest CurveFileDialog() {
    return {"Ascii curve (*.txt)", "txt", ""};
}

} // namespace kv
