#pragma once

#include <filesystem>
#include <optional>

namespace kv {

class CConfiguration;
class IFileChooser;
class IMessageBox;
class ISettings;

// The port number the programming dialog remembers for its file mode.
inline constexpr int kCfgFilePortNumber = -1;

// Whether the TAS3103 can run the design as it stands; when it cannot, one
// message lists every reason and nothing should be sent or written.
bool CheckProgrammable(const CConfiguration& design, IMessageBox& messages);

// The file mode of the programming dialog: asks for a .cfg file (preset with
// the design's title) and writes the design's image into it. The file
// written; none when the user cancelled or the file could not be written
// (the user has been told).
std::optional<std::filesystem::path> WriteCfgFileChosenByUser(const CConfiguration& design,
                                                              IFileChooser& files,
                                                              ISettings& settings,
                                                              IMessageBox& messages);

} // namespace kv
