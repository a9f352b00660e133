#pragma once

#include "app/IFileChooser.h"

namespace kv {

// The file dialogs of the program, one home for their filters.

// Project files, preset with a file name or a design's title.
FileDialogSpec DesignFileSpec(const std::string& preset);
// TAS3103 configuration files, preset with the design's title.
FileDialogSpec CfgFileSpec(const std::string& title);
// Curve exports: an empty name to start with.
FileDialogSpec CurveFileSpec();

} // namespace kv
