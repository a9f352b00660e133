#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace kv {

// The first lines of every message about a file that could not be written,
// or not opened to be read.
inline constexpr const char* kCannotCreateFile = "Couldn't create the file ! ";
inline constexpr const char* kCannotOpenFile = "Couldn't open the file ! ";

// Sentences that tell the user which file a failure is about and why, for
// the paragraph under a failure's first line.

// Why path cannot be opened for reading ("… is a folder, not a file."),
// found by looking at the path again.
std::string WhyNotReadable(const std::filesystem::path& path);

// Why a file could not be written at path, from the system's error number of
// the call that failed (0 when no call failed, as when what was written did
// not read back).
std::string WhyNotWritten(const std::filesystem::path& path, int error);

// A size as a file manager shows it: "312 bytes", "1.2 kB", "3.4 MB".
std::string SizeText(std::uintmax_t bytes);

// How a file begins, for telling the user what it is: its first line in
// quotes when it starts with text ("Frequency,SPL"), otherwise its first
// bytes in hexadecimal ("the bytes 13 99 07 FE").
std::string HowItStarts(const std::uint8_t* data, std::size_t size);

// "Couldn't open the file ! " followed by a blank line and the reason.
std::string WithReason(std::string_view message, std::string_view reason);

// Writes content as the whole file at path, replacing it only once all of it
// is on the disk. Empty when written; otherwise why not, for the user.
std::string WriteWholeFile(const std::filesystem::path& path, std::string_view content);

// The path in quotes, as the sentences above name it.
std::string QuotedPath(const std::filesystem::path& path);

} // namespace kv
