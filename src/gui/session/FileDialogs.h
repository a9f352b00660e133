#pragma once

#include "session/IFileChooser.h"

namespace kv {

// The file dialogs of the program, one home for their filters. A filter
// may hold several, separated by ";;".

// A design's title as the name a save dialog proposes: a "/" or "\\" in it
// would make the dialog look for a folder.
std::string TitleAsFileName(const std::string& title);

// Project files, preset with a file name or a design's title.
FileDialogRequest DesignFileDialog(const std::string& preset);
// TAS3103 configuration files, preset with the design's title.
FileDialogRequest CfgFileDialog(const std::string& title);
// Measurement files a driver's curve can come from, whatever the case of
// their names, preset with the band's current file.
FileDialogRequest MeasurementFileDialog(const std::string& preset);
// Filter lists of room-measurement programs and PC equalisers.
FileDialogRequest FilterListFileDialog();
// A band as a PC equaliser's configuration text, preset with its name.
FileDialogRequest EqualiserTextFileDialog(const std::string& preset);
// Curve exports: an empty name to start with.
FileDialogRequest CurveFileDialog();

} // namespace kv
