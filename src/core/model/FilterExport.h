#pragma once

#include <filesystem>
#include <string>

namespace kv {

class CBand;
class IMessageBox;

// The band as the configuration text of a PC equaliser, so that it can be
// heard on a PC before it goes into the unit. CR LF lines: a comment naming
// the design (by its title), the band and the sample rate; "Preamp: X dB" from the level
// the band plays at (the mute level when muted); "Delay: X ms" from its
// delay; then every section of the band in hardware order, followed by the
// bass and treble stage when its gain is not 0, each as "Filter: ON IIR
// Order 2 Coefficients b0 b1 b2 a0 a1 a2" at the design's sample rate after
// a comment naming it; a reversed band ends with a section of -1. Numbers
// read back to the same double. False, with the reason in problem, when a
// section is unstable or not finite: a PC would play it as full-scale noise.
bool FilterExportText(const CBand& band, const std::string& title, std::string& text,
                      std::string& problem);

// Writes that text to path; the previous file stays untouched unless the
// whole new one reached the disk. The user is told why it failed.
bool ExportFilters(const std::filesystem::path& path, const CBand& band, const std::string& title,
                   IMessageBox& messages);

} // namespace kv
